// The status bar's popup menus on screen: loaded from the module's resources, marked with the
// current state, tracked at the bar's client origin and destroyed again.
#pragma once

#include "ui/status_bar_click.h"
#include "ui/status_menus.h"

#include <windows.h>

#include <cstdint>

namespace tovi {

// Shows `menu` for the bar and waits for the user; the command chosen, 0 for none (dismissed, or
// a menu that could not be loaded).
std::uint32_t trackStatusMenu(HINSTANCE instance, HWND bar, StatusMenu menu,
                              const StatusMenuMarks& marks);

} // namespace tovi
