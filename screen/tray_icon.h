// The program's icon in the notification area, present for the life of the object.
#pragma once

#include <windows.h>

#include <string>

namespace tovi::screen {

class TrayIcon {
public:
    // Adds the icon; `callback` is the message the window receives for mouse events on it.
    TrayIcon(HWND window, UINT callback, HICON icon, const std::wstring& tip);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void setTip(const std::wstring& tip);
    // Adds the icon again after the taskbar was re-created (Explorer restarted).
    void restore();
    bool shown() const { return shown_; }

private:
    NOTIFYICONDATAW data_{};
    bool shown_ = false;
};

} // namespace tovi::screen
