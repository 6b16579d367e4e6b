#include "tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

namespace tovi::screen {
namespace {

void copyTip(NOTIFYICONDATAW& data, const std::wstring& tip) {
    const std::size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
    std::copy_n(tip.begin(), length, data.szTip);
    data.szTip[length] = L'\0';
}

} // namespace

TrayIcon::TrayIcon(HWND window, UINT callback, HICON icon, const std::wstring& tip) {
    data_.cbSize = sizeof(data_);
    data_.hWnd = window;
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callback;
    data_.hIcon = icon;
    copyTip(data_, tip);
    shown_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

TrayIcon::~TrayIcon() {
    if (shown_)
        Shell_NotifyIconW(NIM_DELETE, &data_);
}

void TrayIcon::setTip(const std::wstring& tip) {
    copyTip(data_, tip);
    if (shown_)
        Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::restore() {
    shown_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

} // namespace tovi::screen
