// The settings dialog ("输入法设置"): the settings flags as check boxes and the skins with a
// preview of each one's status bar. OK saves the flags and installs the chosen skin's pictures;
// Cancel keeps the skin chosen for the candidate colours but installs nothing.
#pragma once

#include <windows.h>

namespace tovi {

class ProcessHost;
class ThreadUi;

// Runs the dialog modally, owned by `owner` (which may be null), on the calling thread, whose
// windows show its choices at once.
void showSettingsDialog(HWND owner, ProcessHost& process, ThreadUi& ui);

} // namespace tovi
