// Every export and every window procedure of the module runs its body through `guarded`:
// - No exception may leave the module into IMM32 or USER32: it would unwind through the system's
//   frames and end the application the user is typing in. An exception becomes the entry
//   point's failure value and leaves the input state clean for the next key.
// - The body runs inside the module gate, so that the threads of a process reach the module's
//   state one at a time. A thread that cannot enter within kEntryWait gets the failure value
//   rather than hanging behind another.
#pragma once

#include "core/module_gate.h"

#include <chrono>

namespace tovi {

inline constexpr std::chrono::milliseconds kEntryWait{3000};

// The process's gate.
ModuleGate& moduleGate();

// Drops the calling thread's half-collected message list and clears the engine's input; throws
// nothing.
void recoverFromFault() noexcept;

template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept {
    try {
        const GateEntry entry(moduleGate(), kEntryWait);
        if (!entry.entered())
            return failure;
        try {
            return body();
        } catch (...) {
            recoverFromFault();
            return failure;
        }
    } catch (...) {
        return failure;
    }
}

} // namespace tovi
