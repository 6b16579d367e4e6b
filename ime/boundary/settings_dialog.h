// The settings dialog ("输入法设置"): the settings flags as check boxes and the skins with a
// preview of each one's status bar. OK saves the flags and installs the chosen skin's pictures;
// Cancel keeps the skin chosen for the candidate colours but installs nothing.
#pragma once

#include <windows.h>

namespace tovi {

class Win32Module;

// Runs the dialog modally, owned by `owner` (which may be null).
void showSettingsDialog(HWND owner, Win32Module& win32);

} // namespace tovi
