#include "exports.h"

#include "context_private.h"
#include "exception_barrier.h"
#include "indicator.h"
#include "message_sink.h"
#include "messages.h"
#include "process_host.h"
#include "thread_ui.h"

#include <cwchar>

namespace tovi {
namespace {

ContextHandle handleOf(HIMC context) {
    return reinterpret_cast<ContextHandle>(context);
}

// Notes that the calling thread uses `context`, before the module acts on it.
void note(HIMC context) {
    if (ProcessHost* host = processHost())
        host->noteContext(context);
}

// Whether the engine's input is free to be reset by what this thread's contexts do.
bool inputIsThisThreads() {
    const ProcessHost* host = processHost();
    return host && !host->inputOfAnotherThread();
}

// ImeProcessKey's arguments: the virtual key and the key data of the key message.
KeyEvent pressedKey(UINT virtualKey, LPARAM keyData, const BYTE* keyState) {
    return KeyEvent{virtualKey, 0, static_cast<std::uint32_t>(keyData), keyState};
}

// ImeToAsciiEx packs the translated character into the high word of the virtual key.
KeyEvent translatedKey(UINT packed, const BYTE* keyState) {
    return KeyEvent{packed & 0xFFFF, static_cast<char16_t>(packed >> 16), 0, keyState};
}

} // namespace
} // namespace tovi

using namespace tovi;

extern "C" {

BOOL WINAPI ImeInquire(LPIMEINFO info, LPWSTR uiClass, DWORD systemInfo) {
    return guarded<BOOL>(FALSE, [&] {
        if (systemInfo & IME_SYSINFO_WINLOGON)
            if (ProcessHost* host = processHost())
                host->markSecureDesktop();
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
    });
}

BOOL WINAPI ImeConfigure(HKL, HWND owner, DWORD, LPVOID) {
    return guarded<BOOL>(FALSE, [&] {
        ProcessHost* host = processHost();
        if (!host || !host->runSettingsDialog(owner))
            return FALSE;
        if (owner)
            InvalidateRect(owner, nullptr, FALSE);
        return TRUE;
    });
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
    return guarded<BOOL>(FALSE, [&] {
        note(context);
        Module* module = modulePtr();
        if (!module || !keyState)
            return FALSE;
        return module->processKey(handleOf(context), pressedKey(virtualKey, keyData, keyState))
                   ? TRUE
                   : FALSE;
    });
}

BOOL WINAPI ImeRegisterWord(LPCWSTR, DWORD, LPCWSTR) {
    return FALSE;
}

BOOL WINAPI ImeSelect(HIMC context, BOOL select) {
    return guarded<BOOL>(FALSE, [&] {
        note(context);
        if (select)
            UpdateIndicator();
        Module* module = modulePtr();
        if (!context)
            return TRUE;
        if (ThreadUi* ui = threadUiPtr())
            ui->currentContext = context;
        ContextLock ic(context);
        if (!ic)
            return TRUE;
        if (select) {
            if (module)
                module->process().contextSelected = true;
            ic->fOpen = TRUE;
            if (HIMCC resized = ImmReSizeIMCC(ic->hCompStr, sizeof(ContextPrivate))) {
                ic->hCompStr = resized;
                ContextPrivateLock block(*ic);
                if (block) {
                    initContextPrivate(*block.get());
                    ImeEngine* engine = module ? module->engine() : nullptr;
                    if (engine && inputIsThisThreads())
                        engine->Clear();
                }
            }
        }
        return TRUE;
    });
}

BOOL WINAPI ImeSetActiveContext(HIMC context, BOOL active) {
    return guarded<BOOL>(FALSE, [&] {
        note(context);
        UpdateIndicator();
        Module* module = modulePtr();
        ThreadUi* ui = threadUiPtr();
        if (!active && context && ui) {
            // Another thread's composition goes on: only this thread's input ends here.
            if (module && inputIsThisThreads())
                module->resetInput();
            if (IsWindow(ui->compositionWindow))
                ShowWindow(ui->compositionWindow, SW_HIDE);
            if (const HWND candidate = ui->candidateWindow.handle())
                ShowWindow(candidate, SW_HIDE);
            if (const HWND info = ui->infoWindow.handle())
                ShowWindow(info, SW_HIDE);
        }
        if (ui)
            ui->invalidateToolWindows();
        return TRUE;
    });
}

BOOL WINAPI ImeSetCompositionString(HIMC, DWORD, LPCVOID, DWORD, LPCVOID, DWORD) {
    return FALSE;
}

UINT WINAPI ImeToAsciiEx(UINT virtualKey, UINT scanCode, CONST LPBYTE keyState, LPTRANSMSGLIST list,
                         UINT, HIMC context) {
    return guarded<UINT>(0, [&] {
        note(context);
        ThreadUi* ui = threadUiPtr();
        if (!ui)
            return 0u;
        MessageSink& sink = ui->sink;
        sink.install(list, context);
        if (scanCode & 0x8000) { // a key release
            sink.remove();
            return 0u;
        }
        if (Module* module = modulePtr(); module && keyState)
            module->toAscii(handleOf(context), translatedKey(virtualKey, keyState));
        const UINT count = sink.finish();
        if (!sink.overflowed()) {
            if (IsWindow(ui->compositionWindow))
                InvalidateRect(ui->compositionWindow, nullptr, FALSE);
            ui->candidateWindow.invalidate();
        }
        return count;
    });
}

BOOL WINAPI ImeUnregisterWord(LPCWSTR, DWORD, LPCWSTR) {
    return FALSE;
}

BOOL WINAPI NotifyIME(HIMC context, DWORD action, DWORD, DWORD value) {
    return guarded<BOOL>(FALSE, [&] {
        note(context);
        if (action != NI_CONTEXTUPDATED || value != IMC_SETOPENSTATUS || !context)
            return FALSE;
        {
            ContextLock ic(context);
            Module* module = modulePtr();
            ImeEngine* engine = module ? module->engine() : nullptr;
            if (ic && engine && !module->process().contextSelected && !engine->GetCode().empty())
                EndComposition(context, false);
        }
        UpdateIndicator();
        return TRUE;
    });
}

LRESULT WINAPI CandWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(0,
                            [&] { return candidateWindowProc(window, message, wParam, lParam); });
}

LRESULT WINAPI StatusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(0, [&] { return statusWindowProc(window, message, wParam, lParam); });
}

LRESULT WINAPI CompWndProc(HWND window, UINT, WPARAM, LPARAM) {
    return guarded<LRESULT>(0, [&] {
        if (ThreadUi* ui = threadUiPtr())
            ui->compositionWindow = window;
        return LRESULT{0};
    });
}

} // extern "C"
