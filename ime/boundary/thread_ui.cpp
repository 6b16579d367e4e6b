#include "thread_ui.h"

#include "context_lock.h"
#include "exception_barrier.h"
#include "process_host.h"

namespace tovi {
namespace {

// The info message's timer: it stops; the message stays. It fires on the thread that set it.
void CALLBACK infoTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    guarded(0, [] {
        if (ProcessHost* host = processHost())
            if (ThreadUi* ui = host->currentThreadUi())
                ui->infoTimerExpired();
        return 0;
    });
}

} // namespace

ThreadUi::ThreadUi(ProcessHost& process, platform::UniqueHandle thread)
    : process_(process),
      thread_(std::move(thread)), windowServices_{*this, process.fonts(), process.instance()},
      statusWindow(windowServices_, process.statusBitmap),
      candidateWindow(windowServices_, process.candidateBitmap),
      softKeyboardWindow(process.instance(), process.fonts()) {}

// The windows are the thread's: they end with their UI window or with the thread, never here.
ThreadUi::~ThreadUi() = default;

bool ThreadUi::threadEnded() const {
    return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0;
}

Module* ThreadUi::builtModule() const {
    return process_.builtModule();
}

void ThreadUi::invalidateWindows() {
    candidateWindow.invalidate();
    promptWindow.invalidate();
    infoWindow.invalidate();
}

void ThreadUi::invalidateToolWindows() {
    statusWindow.invalidate();
    const Module* built = builtModule();
    if (built && built->settings().has(flag::RootHints))
        promptWindow.invalidate();
    if (built && built->settings().has(flag::OperationHints))
        infoWindow.invalidate();
}

void ThreadUi::showInfoMessage(std::u16string_view text, unsigned milliseconds) {
    infoMessage_.post(text, milliseconds);
    stopInfoTimer();
    // On the info window when there is one; a thread timer otherwise.
    timerWindow_ = infoWindow.handle();
    timer_ =
        SetTimer(timerWindow_, InfoMessage::kTimerId, infoMessage_.durationMs(), infoTimerProc);
    // Shown now: a message may come without a composition change that would update the window.
    infoWindow.showMessage();
}

void ThreadUi::stopInfoTimer() {
    if (timer_)
        KillTimer(IsWindow(timerWindow_) ? timerWindow_ : nullptr, timer_);
    timer_ = 0;
    timerWindow_ = nullptr;
}

void ThreadUi::infoTimerExpired() {
    stopInfoTimer();
    infoMessage_.timerExpired();
}

void ThreadUi::showSoftKeyboard() {
    Module* built = builtModule();
    if (!built)
        return;
    SoftKeyboard& keyboard = built->softKeyboard();
    keyboard.showLayout();
    softKeyboardWindow.show(statusWindow.handle(), keyboard.layout(), keyboard.isVisible());
    statusWindow.invalidate();
}

void ThreadUi::hideSoftKeyboard() {
    if (Module* built = builtModule())
        built->softKeyboard().hideKeyboard();
    softKeyboardWindow.destroy();
    statusWindow.invalidate();
}

void ThreadUi::selectSoftKeyboard(std::size_t layout) {
    if (Module* built = builtModule()) {
        built->softKeyboard().selectLayout(layout);
        showSoftKeyboard();
    }
}

void ThreadUi::setSoftKeyboardVisible(bool visible) {
    Module* built = builtModule();
    if (!built)
        return;
    SoftKeyboard& keyboard = built->softKeyboard();
    keyboard.setVisible(visible);
    if (!keyboard.isShown())
        return;
    // The keyboard follows the thread whose status bar shows: another thread may have turned
    // it on.
    if (visible && !softKeyboardWindow.handle() && statusWindow.handle())
        softKeyboardWindow.show(statusWindow.handle(), keyboard.layout(), true);
    else
        softKeyboardWindow.setVisible(visible);
}

HWND ThreadUi::contextWindow() const {
    if (documentWindow && IsWindow(documentWindow))
        return documentWindow;
    const ContextLock ic(currentContext);
    return ic && IsWindow(ic->hWnd) ? ic->hWnd : nullptr;
}

void ThreadUi::runModal(const std::function<void()>& loop) {
    const ModuleGate::Released released(moduleGate());
    loop();
}

void ThreadUi::openWordMaker() {
    process_.openWordMaker(contextWindow());
}

} // namespace tovi
