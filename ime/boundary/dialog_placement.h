// Where the module's dialogs open: centred on the screen.
#pragma once

#include <windows.h>

namespace tovi {

// Moves the dialog to the middle of the screen, measured on a "DISPLAY" device context.
void centreOnScreen(HWND dialog);

} // namespace tovi
