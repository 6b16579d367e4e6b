#include "screen_arguments.h"

namespace tovi::screen {

ScreenArguments parseArguments(std::span<const std::u16string> arguments) {
    ScreenArguments parsed;
    if (arguments.empty() || arguments[0] != u"get")
        return parsed;
    parsed.mode = ScreenMode::OneShot;
    if (arguments.size() > 1)
        parsed.text = arguments[1];
    return parsed;
}

} // namespace tovi::screen
