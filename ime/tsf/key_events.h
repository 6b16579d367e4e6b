// The keys of the key event sink as the engine takes them: the same virtual key, key data and
// key-state array ImeProcessKey gets, and for a claimed press the character the keyboard layout
// gives it, as ImeToAsciiEx gets it. A key tested first (OnTestKeyDown) is decided once: the
// answer is kept for the handler that follows with the same key.
#pragma once

#include "engine/key_event.h"

#include <array>
#include <cstdint>
#include <optional>
#include <windows.h>

namespace tovi::tsf {

// The calling thread's keyboard state and one key in it.
struct KeyInput {
    std::array<BYTE, 256> keys{};
    KeyEvent event;
};

// `release` marks a key-up whose key data lacks the transition bit.
KeyInput readKey(WPARAM virtualKey, LPARAM keyData, bool release);
// The character of a claimed press, as the keyboard layout translates it; 0 when none.
char16_t translatedCharacter(const KeyInput& key);

// The engine's answer for the key tested last, until a handler takes it.
class TestedKey {
public:
    void remember(WPARAM virtualKey, LPARAM keyData, bool release, bool claimed);
    // The answer for this key if it was the one tested; forgotten either way.
    std::optional<bool> take(WPARAM virtualKey, LPARAM keyData, bool release);

private:
    struct Tested {
        WPARAM virtualKey;
        LPARAM keyData;
        bool release;
        bool claimed;
    };
    std::optional<Tested> tested_;
};

} // namespace tovi::tsf
