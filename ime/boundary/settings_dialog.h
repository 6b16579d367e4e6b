// The settings dialog (resource kSettingsDialog).
#pragma once

#include <windows.h>

namespace tovi {

// Runs the dialog modally, owned by `owner` (which may be null).
void showSettingsDialog(HINSTANCE instance, HWND owner);

} // namespace tovi
