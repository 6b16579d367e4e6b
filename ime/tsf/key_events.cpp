#include "key_events.h"

#include <utility>

namespace tovi::tsf {

KeyInput readKey(WPARAM virtualKey, LPARAM keyData, bool release) {
    KeyInput key;
    if (!GetKeyboardState(key.keys.data()))
        key.keys.fill(0);
    auto data = static_cast<std::uint32_t>(keyData);
    if (release)
        data |= 0xC0000000u; // the transition and previous-state bits of a key-up
    key.event = KeyEvent{static_cast<unsigned>(virtualKey & 0xFF), 0, data, key.keys.data()};
    return key;
}

char16_t translatedCharacter(const KeyInput& key) {
    wchar_t units[4] = {};
    const UINT scan = key.event.scanCode();
    // Flag 4: the translation leaves the keyboard's dead-key state as it was.
    const int count =
        ToUnicodeEx(key.event.virtualKey, scan, key.keys.data(), units, 4, 4, GetKeyboardLayout(0));
    return count == 1 ? static_cast<char16_t>(units[0]) : u'\0';
}

void TestedKey::remember(WPARAM virtualKey, LPARAM keyData, bool release, bool claimed) {
    tested_ = Tested{virtualKey, keyData, release, claimed};
}

std::optional<bool> TestedKey::take(WPARAM virtualKey, LPARAM keyData, bool release) {
    const std::optional<Tested> tested = std::exchange(tested_, std::nullopt);
    if (tested && tested->virtualKey == virtualKey && tested->keyData == keyData &&
        tested->release == release)
        return tested->claimed;
    return std::nullopt;
}

} // namespace tovi::tsf
