// The engine: turns the key events of the input-method manager into an input code, candidates
// and committed text. One engine per process, rebuilt at every change of scheme.
#pragma once

#include "engine/ime_host.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tovi {

// The 256-byte key-state array of the system; the high bit of an entry means "down".
using KeyState = const std::uint8_t*;

class ImeEngine {
public:
    virtual ~ImeEngine() = default;

    // Whether the key belongs to the module (it then reaches toAscii) or to the application.
    virtual bool processKey(ContextHandle context, unsigned virtualKey, std::uint32_t keyData,
                            KeyState keyState) = 0;
    // Handles a key the module claimed; the low word of `virtualKeyArg` is the virtual key, the
    // high word the character the system translated it to.
    virtual void toAscii(ContextHandle context, std::uint32_t virtualKeyArg, KeyState keyState) = 0;
    // Drops the code and the candidates.
    virtual void clear() = 0;
    virtual std::u16string code() const = 0;
    virtual void sendCompositionUpdate() = 0;
    virtual void sendEndComposition() = 0;
};

// The engine for a scheme index; schemes without an engine of their own get one that claims no
// key, so that every entry point keeps working.
std::unique_ptr<ImeEngine> createEngine(int schemeIndex, ImeHost& host);

} // namespace tovi
