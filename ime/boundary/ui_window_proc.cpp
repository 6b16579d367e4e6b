// The UI window IMM32 creates for each application thread: it receives the IME messages and
// drives the module's tool windows.
#include "context_lock.h"
#include "exception_barrier.h"
#include "exports.h"
#include "messages.h"
#include "process_host.h"
#include "thread_ui.h"
#include "ui/candidate_placement.h"
#include "ui_private.h"

namespace tovi {
namespace {

HIMC contextOf(HWND window) {
    return reinterpret_cast<HIMC>(GetWindowLongPtrW(window, IMMGWL_IMC));
}

HGLOBAL privateOf(HWND window) {
    return reinterpret_cast<HGLOBAL>(GetWindowLongPtrW(window, IMMGWL_PRIVATE));
}

bool settingsFlag(std::uint32_t mask) {
    const Module* module = modulePtr();
    return module && module->settings().has(mask);
}

void onCreate(HWND window) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(UiPrivate));
    if (!block)
        return;
    {
        GlobalMemoryLock<UiPrivate> ui(block);
        if (ui) {
            ui->candidate.x = -1;
            ui->candidate.y = -1;
        }
    }
    SetWindowLongPtrW(window, IMMGWL_PRIVATE, reinterpret_cast<LONG_PTR>(block));
}

void onDestroy(HWND window) {
    const HGLOBAL block = privateOf(window);
    if (!block)
        return;
    {
        GlobalMemoryLock<UiPrivate> ui(block);
        if (!ui)
            return;
        // The thread's soft keyboard goes first: its status bar owns it.
        if (ThreadUi* thread = threadUiPtr()) {
            thread->softKeyboardWindow.destroy();
            thread->stopInfoTimer();
        }
        for (const WindowRecord* record : {&ui->status, &ui->candidate, &ui->prompt, &ui->info})
            if (IsWindow(record->window))
                DestroyWindow(record->window);
    }
    GlobalFree(block);
    SetWindowLongPtrW(window, IMMGWL_PRIVATE, 0);
}

void updateTools(ThreadUi& thread, HWND window, UiPrivate& ui) {
    thread.candidateWindow.update(window, ui);
    thread.promptWindow.update(window, ui);
    thread.infoWindow.update(window, ui);
}

void onSetContext(HWND window, WPARAM active) {
    ThreadUi* thread = threadUiPtr();
    if (!active || !thread)
        return;
    GlobalMemoryLock<UiPrivate> ui(privateOf(window));
    if (!ui)
        return;
    const HIMC context = contextOf(window);
    if (!context) {
        thread->candidateWindow.hide(*ui.get());
        if (const HWND status = thread->statusWindow.handle())
            ShowWindow(status, SW_HIDE);
        return;
    }
    ContextLock ic(context);
    if (!ic) {
        thread->candidateWindow.hide(*ui.get());
        return;
    }
    thread->candidateWindow.update(window, *ui.get());
    if (settingsFlag(flag::RootHints))
        thread->promptWindow.update(window, *ui.get());
    if (settingsFlag(flag::OperationHints))
        thread->infoWindow.update(window, *ui.get());
    if (IsWindow(ui->status.window))
        ShowWindow(ui->status.window, SW_SHOWNOACTIVATE);
}

// The candidate font's "A", which sets how far below the caret the window goes.
SIZE letterSize(HWND window) {
    SIZE size{8, 16};
    WindowDc dc(window);
    if (dc.get()) {
        const HGDIOBJ old = SelectObject(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32W(dc.get(), L"A", 1, &size);
        SelectObject(dc.get(), old);
    }
    return size;
}

void placeCandidate(UiPrivate& ui, const INPUTCONTEXT& ic) {
    const Module* module = modulePtr();
    CandidatePlacement in;
    in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    POINT p = ic.cfCompForm.ptCurrentPos;
    in.compositionAtOrigin = p.x == 0 && p.y == 0;
    ClientToScreen(ic.hWnd, &p);
    in.compositionPos = {p.x, p.y};
    const SIZE letter = letterSize(ic.hWnd);
    in.charWidth = letter.cx;
    in.charHeight = letter.cy;
    in.caretFollow = settingsFlag(flag::CaretFollow);
    in.verticalLayout = settingsFlag(flag::VerticalLayout);
    in.statusX = module ? module->publishedStatusX : 0;
    POINT caret{};
    GetCaretPos(&caret);
    ClientToScreen(GetFocus(), &caret);
    in.caret = {caret.x, caret.y};
    const ScreenPoint placed = placeCandidateWindow(in, {ui.candidate.x, ui.candidate.y});
    ui.candidate.x = placed.x;
    ui.candidate.y = placed.y;
}

void onNotify(HWND window, WPARAM code) {
    ThreadUi* thread = threadUiPtr();
    Module* module = modulePtr();
    if (!thread || !module)
        return;
    const HIMC context = contextOf(window);
    ContextLock ic(context);
    if (!ic)
        return;
    GlobalMemoryLock<UiPrivate> ui(privateOf(window));
    if (!ui)
        return;
    switch (code) {
    case IMN_CLOSESTATUSWINDOW:
        if (IsWindow(ui->status.window)) {
            if (!processHost()->inputOfAnotherThread())
                module->resetInput();
            ShowWindow(ui->status.window, SW_HIDE);
            thread->setSoftKeyboardVisible(false);
        }
        break;
    case IMN_OPENSTATUSWINDOW:
        thread->statusWindow.create(window, *ui.get());
        if (settingsFlag(flag::RootHints))
            thread->promptWindow.create(window, *ui.get());
        if (settingsFlag(flag::OperationHints))
            thread->infoWindow.create(window, *ui.get());
        thread->setSoftKeyboardVisible(true);
        break;
    case IMN_SETCONVERSIONMODE:
        thread->invalidateToolWindows();
        break;
    case IMN_SETOPENSTATUS:
        if (!module->process().contextSelected)
            EndComposition(context, false);
        thread->invalidateToolWindows();
        break;
    case IMN_SETCANDIDATEPOS:
    case IMN_SETCOMPOSITIONWINDOW:
        placeCandidate(*ui.get(), *ic);
        updateTools(*thread, window, *ui.get());
        break;
    default:
        break;
    }
}

} // namespace
} // namespace tovi

using namespace tovi;

namespace {

LRESULT uiWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool imeTraffic = (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION) ||
                            (message >= WM_IME_NOTIFY && message <= WM_IME_CHAR);
    if (imeTraffic && !contextOf(window))
        return 0;
    if (imeTraffic)
        if (ProcessHost* host = processHost())
            host->noteContext(contextOf(window));
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_CONTROL:
    case WM_IME_COMPOSITIONFULL:
    case WM_IME_SELECT:
        return 0;
    case WM_IME_ENDCOMPOSITION:
        if (ThreadUi* thread = threadUiPtr()) {
            GlobalMemoryLock<UiPrivate> ui(privateOf(window));
            if (ui) {
                thread->candidateWindow.hide(*ui.get());
                thread->promptWindow.hide(*ui.get());
            }
        }
        return 0;
    case WM_IME_COMPOSITION:
        if (ThreadUi* thread = threadUiPtr()) {
            ContextLock ic(contextOf(window));
            GlobalMemoryLock<UiPrivate> ui(privateOf(window));
            if (ic && ui)
                updateTools(*thread, window, *ui.get());
        }
        return 0;
    case WM_IME_SETCONTEXT:
        onSetContext(window, wParam);
        return 0;
    case WM_IME_NOTIFY:
        onNotify(window, wParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

extern "C" LRESULT WINAPI UIWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(0, [&] { return uiWindowProc(window, message, wParam, lParam); });
}
