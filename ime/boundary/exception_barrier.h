// No exception may leave the module into IMM32 or USER32: it would unwind through the system's
// frames and end the application the user is typing in. Every export and every window procedure
// runs its body through `guarded`, which turns an exception into the entry point's failure value
// and leaves the input state clean for the next key.
#pragma once

namespace tovi {

// Drops a half-collected message list and clears the engine's input; throws nothing.
void recoverFromFault() noexcept;

template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        recoverFromFault();
        return failure;
    }
}

} // namespace tovi
