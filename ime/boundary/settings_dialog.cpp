#include "settings_dialog.h"

#include "resources/resource_ids.h"

namespace tovi {
namespace {

// The minimal procedure of the settings dialog: centred, closed by either button, and touching no
// setting.
INT_PTR CALLBACK configureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        const HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
        if (display) {
            const int width = GetDeviceCaps(display, HORZRES);
            const int height = GetDeviceCaps(display, VERTRES);
            DeleteDC(display);
            RECT rect{};
            GetWindowRect(dialog, &rect);
            SetWindowPos(dialog, nullptr, (width - (rect.right - rect.left)) / 2,
                         (height - (rect.bottom - rect.top)) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void showSettingsDialog(HINSTANCE instance, HWND owner) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kSettingsDialog), owner, configureDialogProc, 0);
}

} // namespace tovi
