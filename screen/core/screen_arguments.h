// The program's command line: "get TEXT" asks for one card for TEXT; anything else (or nothing)
// starts the resident tray program.
#pragma once

#include <span>
#include <string>

namespace tovi::screen {

enum class ScreenMode { Resident, OneShot };

struct ScreenArguments {
    ScreenMode mode = ScreenMode::Resident;
    std::u16string text; // the text of one-shot mode
};

// `arguments` are those after the program name.
ScreenArguments parseArguments(std::span<const std::u16string> arguments);

} // namespace tovi::screen
