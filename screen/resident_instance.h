// One resident program per session: its card window carries a mark that a second resident
// start looks for. One-shot cards have the same caption but no mark, so they never stop the
// resident program from starting.
#pragma once

#include <windows.h>

namespace tovi::screen {

inline constexpr wchar_t kFormClass[] = L"TFormVemoraScreen";
inline constexpr wchar_t kFormCaption[] = L"FormVemoraScreen";

void markResident(HWND form);
void unmarkResident(HWND form);
bool residentInstanceRunning();

} // namespace tovi::screen
