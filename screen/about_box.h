// The modal about box of the tray menu.
#pragma once

#include <windows.h>

namespace tovi::screen {

// Shows the box until "确定" (or Escape) closes it.
void showAboutBox(HINSTANCE instance, HWND owner);

} // namespace tovi::screen
