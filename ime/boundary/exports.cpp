#include "exports.h"

#include "context_private.h"
#include "indicator.h"
#include "message_sink.h"
#include "messages.h"
#include "module.h"
#include "resources/resource_ids.h"
#include "win32_module.h"

#include <cwchar>

namespace tovi {
namespace {

ContextHandle handleOf(HIMC context) {
    return reinterpret_cast<ContextHandle>(context);
}

// The minimal procedure of the settings dialog as the control panel opens it: centred, closed by
// either button, and touching no setting.
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
} // namespace tovi

using namespace tovi;

extern "C" {

BOOL WINAPI ImeInquire(LPIMEINFO info, LPWSTR uiClass, DWORD systemInfo) {
    if (systemInfo & IME_SYSINFO_WINLOGON)
        if (Module* module = modulePtr())
            module->markSecureDesktop();
    if (!info || !uiClass)
        return FALSE;
    info->dwPrivateDataSize = 80;
    info->fdwProperty = IME_PROP_KBD_CHAR_FIRST | IME_PROP_SPECIAL_UI | IME_PROP_UNICODE;
    info->fdwConversionCaps = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE | IME_CMODE_CHARCODE |
                              IME_CMODE_SOFTKBD | IME_CMODE_NOCONVERSION;
    info->fdwSentenceCaps = 0;
    info->fdwUICaps = UI_CAP_ROT90 | UI_CAP_SOFTKBD;
    info->fdwSCSCaps = SCS_CAP_COMPSTR | SCS_CAP_MAKEREAD;
    info->fdwSelectCaps = SELECT_CAP_CONVERSION;
    std::wcscpy(uiClass, L"ZHPYUI");
    return TRUE;
}

BOOL WINAPI ImeConfigure(HKL, HWND owner, DWORD, LPVOID) {
    const Module* module = modulePtr();
    const Win32Module* win32 = win32Module();
    // No dialog may open on the logon desktop.
    if (!module || !win32 || !module->mayLaunch())
        return FALSE;
    DialogBoxParamW(win32->instance(), MAKEINTRESOURCEW(kSettingsDialog), owner,
                    configureDialogProc, 0);
    if (owner)
        InvalidateRect(owner, nullptr, FALSE);
    return TRUE;
}

DWORD WINAPI ImeConversionList(HIMC, LPCWSTR, LPCANDIDATELIST, DWORD, UINT) {
    return 0;
}

BOOL WINAPI ImeDestroy(UINT reserved) {
    return reserved == 0 ? TRUE : FALSE;
}

UINT WINAPI ImeEnumRegisterWord(REGISTERWORDENUMPROCW, LPCWSTR, DWORD, LPCWSTR, LPVOID) {
    return 0;
}

LRESULT WINAPI ImeEscape(HIMC, UINT, LPVOID) {
    return 0;
}

UINT WINAPI ImeGetRegisterWordStyle(UINT, LPSTYLEBUFW) {
    return 0;
}

BOOL WINAPI ImeProcessKey(HIMC context, UINT virtualKey, LPARAM keyData, CONST LPBYTE keyState) {
    Module* module = modulePtr();
    ImeEngine* engine = module ? module->engine() : nullptr;
    if (!engine || !keyState)
        return FALSE;
    return engine->ProcessKey(handleOf(context), virtualKey, static_cast<std::uint32_t>(keyData),
                              keyState)
               ? TRUE
               : FALSE;
}

BOOL WINAPI ImeRegisterWord(LPCWSTR, DWORD, LPCWSTR) {
    return FALSE;
}

BOOL WINAPI ImeSelect(HIMC context, BOOL select) {
    if (select)
        UpdateIndicator();
    Module* module = modulePtr();
    if (!context)
        return TRUE;
    if (module)
        module->currentContext = handleOf(context);
    ContextLock ic(context);
    if (!ic)
        return TRUE;
    if (select) {
        if (module)
            module->contextSelected = true;
        ic->fOpen = TRUE;
        if (HIMCC resized = ImmReSizeIMCC(ic->hCompStr, sizeof(ContextPrivate))) {
            ic->hCompStr = resized;
            ContextPrivateLock block(*ic);
            if (block) {
                initContextPrivate(*block.get());
                if (ImeEngine* engine = module ? module->engine() : nullptr)
                    engine->Clear();
            }
        }
    }
    return TRUE;
}

BOOL WINAPI ImeSetActiveContext(HIMC context, BOOL active) {
    UpdateIndicator();
    Module* module = modulePtr();
    Win32Module* win32 = win32Module();
    if (!active && context && win32) {
        if (module)
            module->resetInput();
        if (IsWindow(win32->compositionWindow))
            ShowWindow(win32->compositionWindow, SW_HIDE);
        if (const HWND candidate = win32->candidateWindow.handle())
            ShowWindow(candidate, SW_HIDE);
        if (const HWND info = win32->infoWindow.handle())
            ShowWindow(info, SW_HIDE);
    }
    if (win32) {
        win32->statusWindow.invalidate();
        if (module && module->settings().has(flag::RootHints))
            win32->promptWindow.invalidate();
        if (module && module->settings().has(flag::OperationHints))
            win32->infoWindow.invalidate();
    }
    return TRUE;
}

BOOL WINAPI ImeSetCompositionString(HIMC, DWORD, LPCVOID, DWORD, LPCVOID, DWORD) {
    return FALSE;
}

UINT WINAPI ImeToAsciiEx(UINT virtualKey, UINT scanCode, CONST LPBYTE keyState, LPTRANSMSGLIST list,
                         UINT, HIMC context) {
    MessageSink& sink = messageSink();
    sink.install(list, context);
    if (scanCode & 0x8000) { // a key release
        sink.remove();
        return 0;
    }
    if (Module* module = modulePtr(); module && module->engine() && keyState)
        module->engine()->ToAscii(handleOf(context), virtualKey, keyState);
    const UINT count = sink.finish();
    if (!sink.overflowed())
        if (const Win32Module* win32 = win32Module()) {
            if (IsWindow(win32->compositionWindow))
                InvalidateRect(win32->compositionWindow, nullptr, FALSE);
            win32->candidateWindow.invalidate();
        }
    return count;
}

BOOL WINAPI ImeUnregisterWord(LPCWSTR, DWORD, LPCWSTR) {
    return FALSE;
}

BOOL WINAPI NotifyIME(HIMC context, DWORD action, DWORD, DWORD value) {
    if (action != NI_CONTEXTUPDATED || value != IMC_SETOPENSTATUS || !context)
        return FALSE;
    {
        ContextLock ic(context);
        Module* module = modulePtr();
        ImeEngine* engine = module ? module->engine() : nullptr;
        if (ic && engine && !module->contextSelected && !engine->GetCode().empty())
            EndComposition(context, false);
    }
    UpdateIndicator();
    return TRUE;
}

LRESULT WINAPI CandWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return candidateWindowProc(window, message, wParam, lParam);
}

LRESULT WINAPI StatusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return statusWindowProc(window, message, wParam, lParam);
}

LRESULT WINAPI CompWndProc(HWND window, UINT, WPARAM, LPARAM) {
    if (Win32Module* win32 = win32Module())
        win32->compositionWindow = window;
    return 0;
}

} // extern "C"
