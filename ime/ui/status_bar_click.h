// What a click on a status-bar button does, as a list of changes for the Windows layer to carry
// out in the order the fields are listed.
#pragma once

#include "ui/status_bar_layout.h"

#include <cstdint>
#include <optional>

namespace tovi {

// The state a click reads.
struct StatusClickState {
    bool englishMode = false;
    bool capsLock = false;           // Caps Lock was on when the engine last saw its key
    std::uint32_t settingsFlags = 0; // ImeSettings::flags
    bool softKeyboardShown = false;
};

enum class StatusMenu { None, InputMode, SoftKeyboard, Settings };
enum class SoftKeyboardChange { None, Show, Hide };

struct StatusClick {
    bool pressCapsLock = false;          // synthesise a Caps Lock press and release
    bool resetInput = false;             // reset the input and end the composition
    std::optional<bool> englishMode;     // the new English mode
    std::uint32_t settingsFlagsFlip = 0; // xor into ImeSettings::flags
    SoftKeyboardChange softKeyboard = SoftKeyboardChange::None;
    bool openWordMaker = false;         // run the manual word maker
    StatusMenu menu = StatusMenu::None; // the popup menu to show
    bool operator==(const StatusClick&) const = default;
};

// A left click released over `cell`. The language button releases a locked Caps Lock (which
// also put the engine into English mode), clears the input and flips English mode; English mode
// turns full-width letters and symbols off, Chinese mode turns full-width symbols on.
StatusClick leftClick(StatusCell cell, const StatusClickState& state);

// The menu a right click released over `cell` opens: the input-mode menu on the scheme button,
// the soft-keyboard menu on the soft-keyboard button, the settings menu anywhere else.
StatusMenu rightClickMenu(StatusCell cell);

} // namespace tovi
