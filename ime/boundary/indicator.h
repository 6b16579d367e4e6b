// The system language indicator: its icon, tooltip and menu for the module's layout.
#pragma once

#include <windows.h>

namespace tovi {

// The installed keyboard layout whose IME file is "tovi.ime", or null.
HKL FindOwnLayout();
// Tells the indicator window (class "Indicator") about the module's layout.
void UpdateIndicator();

} // namespace tovi
