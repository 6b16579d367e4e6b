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
    // The numeric keypad's keys mean the same character on every layout; a VK_NUMPADn key only
    // exists while Num Lock is on, whatever the key-state array says of Num Lock.
    const unsigned vk = key.event.virtualKey;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return static_cast<char16_t>(u'0' + (vk - VK_NUMPAD0));
    switch (vk) {
    case VK_MULTIPLY:
        return u'*';
    case VK_ADD:
        return u'+';
    case VK_SUBTRACT:
        return u'-';
    case VK_DECIMAL:
        return u'.';
    case VK_DIVIDE:
        return u'/';
    default:
        break;
    }
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
