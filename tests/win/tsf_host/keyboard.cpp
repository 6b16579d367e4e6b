#include "keyboard.h"

#include <vector>

namespace tovi::tsfhost::keyboard {
namespace {

INPUT event(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    // No scan code for keypad keys: the system would read one as its arrow-key twin.
    const bool keypad = key >= VK_NUMPAD0 && key <= VK_DIVIDE;
    input.ki.wScan = keypad ? 0 : static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    const bool extended = key == VK_RCONTROL || key == VK_RMENU || key == VK_INSERT ||
                          key == VK_DELETE || key == VK_HOME || key == VK_END || key == VK_PRIOR ||
                          key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN);
    if (extended)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

int send(std::vector<INPUT> inputs) {
    return static_cast<int>(
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)));
}

} // namespace

int press(WORD key) {
    return send({event(key, false)});
}

int release(WORD key) {
    return send({event(key, true)});
}

int tap(WORD key) {
    return send({event(key, false), event(key, true)});
}

int chord(std::initializer_list<WORD> modifiers, WORD key) {
    std::vector<INPUT> inputs;
    for (const WORD modifier : modifiers)
        inputs.push_back(event(modifier, false));
    inputs.push_back(event(key, false));
    inputs.push_back(event(key, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        inputs.push_back(event(*it, true));
    return send(std::move(inputs));
}

int repeat(WORD key, int count) {
    std::vector<INPUT> inputs(static_cast<size_t>(count), event(key, false));
    inputs.push_back(event(key, true));
    return send(std::move(inputs));
}

} // namespace tovi::tsfhost::keyboard
