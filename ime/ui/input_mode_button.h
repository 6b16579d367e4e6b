// The input-mode button of the language bar (the Text Services Framework front end's picture of
// the scheme and the full-width modes), as data: its text, its tooltip, its menu and what a
// click or a menu command changes. The front end draws the button and applies the change.
#pragma once

#include "tables/scheme.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovi {

struct InputModeState {
    Scheme scheme = Scheme::Keypad;
    std::uint32_t settingsFlags = 0;
    bool englishMode = false;
    // The thread's keyboard is closed: every key is the application's.
    bool keyboardClosed = false;
};

// What a click or a command changes: the scheme chosen, the settings flags flipped.
struct InputModeChange {
    std::optional<Scheme> scheme;
    std::uint32_t settingsFlagsFlip = 0;
    bool operator==(const InputModeChange&) const = default;
};

struct InputModeMenuItem {
    std::uint32_t command = 0; // 0 for a separator
    std::u16string caption;
    bool checked = false;
};

// One character for the mode ("形", "拼", "英" in English mode or with the keyboard closed, "－"
// for a scheme without an engine), followed by "全" while full-width symbols are on and the
// keyboard is open.
std::u16string inputModeText(const InputModeState& state);
// The scheme's full name and the width of symbols and letters, or that the keyboard is closed.
std::u16string inputModeTooltip(const InputModeState& state);
// Both schemes with an engine (the current one checked), a separator, full-width symbols and
// full-width letters (checked when on).
std::vector<InputModeMenuItem> inputModeMenu(const InputModeState& state);
// The change a menu command makes; nothing for a command the menu does not hold.
InputModeChange inputModeCommand(std::uint32_t command);
// A left click goes from one scheme with an engine to the other; any other scheme goes to the
// keypad scheme.
InputModeChange inputModeClick(const InputModeState& state);

} // namespace tovi
