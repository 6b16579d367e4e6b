#include "tool_windows.h"

#include "boundary/process_host.h"
#include "boundary/thread_ui.h"
#include "dll_instance.h"
#include "ui/candidate_placement.h"

namespace tovi::tsf {
namespace {

constexpr wchar_t kOwnerClass[] = L"TOVI_TSF_TOOLS";

bool settingsFlag(std::uint32_t mask) {
    ProcessHost* host = processHost();
    const Module* module = host ? host->builtModule() : nullptr;
    return module && module->settings().has(mask);
}

} // namespace

bool registerOwnerClass(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = instance;
    cls.lpszClassName = kOwnerClass;
    return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void unregisterOwnerClass(HINSTANCE instance) {
    UnregisterClassW(kOwnerClass, instance);
}

ToolWindows::~ToolWindows() {
    destroy();
}

ThreadUi* ToolWindows::threadUi() {
    ProcessHost* host = processHost();
    return host && host->module() ? &host->threadUi() : nullptr;
}

bool ToolWindows::makeOwner() {
    if (IsWindow(owner_))
        return true;
    // A hidden top-level window: the tool windows are owned windows, which a message-only
    // window cannot own.
    owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, dllInstance(), nullptr);
    records_ = {};
    records_.candidate.x = -1;
    records_.candidate.y = -1;
    placed_ = false;
    return owner_ != nullptr;
}

void ToolWindows::showStatus(HWND document) {
    ThreadUi* ui = threadUi();
    if (!ui || !makeOwner())
        return;
    ui->documentWindow = document;
    ui->statusWindow.create(owner_, records_);
    if (settingsFlag(flag::RootHints))
        ui->promptWindow.create(owner_, records_);
    if (settingsFlag(flag::OperationHints))
        ui->infoWindow.create(owner_, records_);
    if (IsWindow(records_.status.window))
        ShowWindow(records_.status.window, SW_SHOWNOACTIVATE);
    ui->setSoftKeyboardVisible(true);
}

void ToolWindows::update(const std::optional<RECT>& textExtent) {
    ThreadUi* ui = threadUi();
    if (!ui || !makeOwner())
        return;
    ProcessHost* host = processHost();
    const Module* module = host ? host->builtModule() : nullptr;
    CandidatePlacement in;
    in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    in.compositionAtOrigin = !textExtent;
    if (textExtent) {
        // Just below the composition's first line, from its left edge.
        in.compositionPos = {textExtent->left, textExtent->top};
        in.charHeight = textExtent->bottom - textExtent->top;
    }
    in.caretFollow = settingsFlag(flag::CaretFollow);
    in.verticalLayout = settingsFlag(flag::VerticalLayout);
    in.statusX = module ? module->publishedStatusX : 0;
    POINT caret{};
    GetCaretPos(&caret);
    ClientToScreen(GetFocus(), &caret);
    in.caret = {caret.x, caret.y};
    // Followed exactly at the first placement; afterwards small moves keep the window still.
    const ScreenPoint current =
        placed_ ? ScreenPoint{records_.candidate.x, records_.candidate.y} : ScreenPoint{-1000, 0};
    const ScreenPoint placed = placeCandidateWindow(in, current);
    records_.candidate.x = placed.x;
    records_.candidate.y = placed.y;
    placed_ = true;
    ui->candidateWindow.update(owner_, records_);
    if (settingsFlag(flag::RootHints))
        ui->promptWindow.update(owner_, records_);
    if (settingsFlag(flag::OperationHints))
        ui->infoWindow.update(owner_, records_);
}

void ToolWindows::hide() {
    ThreadUi* ui = threadUi();
    if (!ui)
        return;
    ui->documentWindow = nullptr;
    ui->candidateWindow.hide(records_);
    ui->promptWindow.hide(records_);
    ui->infoWindow.hide(records_);
    if (IsWindow(records_.status.window))
        ShowWindow(records_.status.window, SW_HIDE);
    ui->setSoftKeyboardVisible(false);
}

void ToolWindows::destroy() {
    if (ProcessHost* host = processHost())
        if (ThreadUi* ui = host->currentThreadUi()) {
            ui->softKeyboardWindow.destroy();
            ui->stopInfoTimer();
            ui->documentWindow = nullptr;
        }
    for (const WindowRecord* record :
         {&records_.status, &records_.candidate, &records_.prompt, &records_.info})
        if (IsWindow(record->window))
            DestroyWindow(record->window);
    if (IsWindow(owner_))
        DestroyWindow(owner_);
    owner_ = nullptr;
    records_ = {};
}

} // namespace tovi::tsf
