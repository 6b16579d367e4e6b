// The process-wide byte that records which of the module's modal dialogs runs, so that a menu
// or a hotkey does not open one twice.
#pragma once

#include <cstdint>

namespace tovi {

using DialogOpenFlags = std::uint8_t;

namespace dialog_open {
inline constexpr DialogOpenFlags SettingsDialog = 0x4; // the settings menu grays its item
inline constexpr DialogOpenFlags WordMaker = 0x8;      // the manual word maker
} // namespace dialog_open

} // namespace tovi
