// The module's state that belongs to one GUI thread: IMM32 gives each thread with an input
// context a UI window of its own, and the tool windows that UI window drives (status, candidate,
// prompt, info and the soft keyboard) live on that thread, with their drag, hover and pressed
// state. So do the message list being collected while ImeToAsciiEx runs, the info message with
// its timer, and the context the thread selected last.
//
// What the windows show comes from the process's module (ProcessHost); this object is the
// windows' WindowContent and reads it under the module gate like every other entry.
#pragma once

#include "message_sink.h"
#include "platform/win32_handle.h"
#include "ui/win32/candidate_window.h"
#include "ui/win32/info_window.h"
#include "ui/win32/prompt_window.h"
#include "ui/win32/soft_keyboard_window.h"
#include "ui/win32/status_window.h"
#include "ui/win32/tool_window.h"

namespace tovi {

class Module;
class ProcessHost;

class ThreadUi final : public WindowContent {
public:
    ThreadUi(ProcessHost& process, platform::UniqueHandle thread);
    ~ThreadUi() override;
    ThreadUi(const ThreadUi&) = delete;
    ThreadUi& operator=(const ThreadUi&) = delete;

    // True once the thread this object belongs to has ended.
    bool threadEnded() const;

    // Repaints: the candidate, prompt and info windows; the status bar; all tool windows the
    // settings show.
    void invalidateWindows();
    void invalidateToolWindows();

    // A transient message in this thread's info window, with its timer.
    void showInfoMessage(std::u16string_view text, unsigned milliseconds);
    void infoTimerExpired();
    void stopInfoTimer();

    // The soft keyboard on this thread's screen: shown with the current layout, hidden for good,
    // switched to another layout (and shown), or hidden and shown again with the status bar.
    void showSoftKeyboard();
    void hideSoftKeyboard();
    void selectSoftKeyboard(std::size_t layout);
    void setSoftKeyboardVisible(bool visible);

    // The window of the text-service document that has this thread's focus, else of the context
    // this thread selected last, or null: the owner of the module's dialogs.
    HWND contextWindow() const;
    // The word maker, owned by that window.
    void openWordMaker();

    std::uint32_t settingsFlags() override;
    Scheme scheme() override;
    CandidateView candidateView() override;
    PromptView promptView() override;
    void promptRow(std::array<std::u16string, PromptRow::kFields>& row) override;
    InfoMessage& infoMessage() override { return infoMessage_; }
    void turnPage(bool forward) override;
    void selectCandidate(int slot) override;
    StatusDisplay statusDisplay() override;
    StatusClickState statusClickState() override;
    void applyStatusClick(const StatusClick& click) override;
    StatusMenuMarks statusMenuMarks() override;
    void chooseMenuCommand(StatusMenu menu, std::uint32_t command) override;
    Point statusPosition() override;
    void moveStatus(Point topLeft, bool dropped) override;
    void runModal(const std::function<void()>& loop) override;

    // The messages of the ImeToAsciiEx running on this thread.
    MessageSink sink;
    // The context this thread passed to ImeSelect last.
    HIMC currentContext = nullptr;
    // The window of the document a text service of this thread serves while it has the focus;
    // a front end without input contexts names its dialogs' owner here.
    HWND documentWindow = nullptr;
    // The composition window handle; no class uses it, so it stays null.
    HWND compositionWindow = nullptr;

private:
    Module* builtModule() const;
    void runSettingsChoice(const SettingsChoice& choice);

    ProcessHost& process_;
    platform::UniqueHandle thread_;
    InfoMessage infoMessage_;
    ToolWindowServices windowServices_;
    UINT_PTR timer_ = 0;
    // The window the info timer was set on (null for a thread timer).
    HWND timerWindow_ = nullptr;

public:
    StatusWindow statusWindow;
    PromptWindow promptWindow{windowServices_};
    InfoWindow infoWindow{windowServices_};
    CandidateWindow candidateWindow;
    SoftKeyboardWindow softKeyboardWindow;
};

} // namespace tovi
