// One key as the input-method manager reports it, decoded from its packed arguments by the
// boundary: the virtual key, the character the system translated it to, the key data of the
// message and the 256-byte key-state array.
#pragma once

#include <cstdint>

namespace tovi {

struct KeyEvent {
    unsigned virtualKey = 0;
    // The translated character; 0 when there is none (and for every key before translation).
    char16_t character = 0;
    // Repeat count, scan code, extended, previous-state and transition bits.
    std::uint32_t keyData = 0;
    // The high bit of an entry means "down", the low bit of a toggle key means "on". Never null
    // in an event the engine receives.
    const std::uint8_t* keyState = nullptr;

    bool isDown(unsigned key) const { return (keyState[key & 0xFF] & 0x80) != 0; }
    bool isToggled(unsigned key) const { return (keyState[key & 0xFF] & 0x01) != 0; }

    // The transition bit: the key is being released.
    bool isRelease() const { return (keyData & 0x80000000u) != 0; }
    // A press whose previous-state bit is clear: the key went down now, not an auto-repeat of a
    // key held down.
    bool isFirstPress() const { return (keyData & 0xC0000000u) == 0; }
    // The key's scan code; 0 when the key data carries none.
    unsigned scanCode() const { return (keyData >> 16) & 0xFF; }
};

} // namespace tovi
