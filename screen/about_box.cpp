#include "about_box.h"

#include "resources/screen_ids.h"
#include "win32_owners.h"

namespace tovi::screen {
namespace {

// The box's layout in pixels: client 286 x 157, the controls where the original form has them.
constexpr int kClientWidth = 286;
constexpr int kClientHeight = 157;

void place(HWND dialog, int id, int x, int y, int width, int height) {
    if (const HWND control = GetDlgItem(dialog, id))
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void layOut(HWND dialog) {
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    place(dialog, kAboutIconControl, 24, 24, 32, 32);
    place(dialog, kAboutTitleControl, 101, 24, 170, 22);
    place(dialog, kAboutVersionControl, 115, 48, 150, 16);
    place(dialog, IDOK, 108, 120, 75, 21);
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        // The title's 19-pixel bold face lives as long as the box: its owner sits in the
        // window's property list and is released at WM_DESTROY.
        const HFONT title = CreateFontW(-19, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, L"宋体");
        if (title) {
            SetPropW(dialog, L"TitleFont", title);
            SendDlgItemMessageW(dialog, kAboutTitleControl, WM_SETFONT,
                                reinterpret_cast<WPARAM>(title), FALSE);
        }
        layOut(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    case WM_DESTROY: {
        const OwnedFont title(static_cast<HFONT>(RemovePropW(dialog, L"TitleFont")));
        break;
    }
    default:
        break;
    }
    return FALSE;
}

} // namespace

void showAboutBox(HINSTANCE instance, HWND owner) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kAboutDialog), owner, aboutProc, 0);
}

} // namespace tovi::screen
