#include "win32_module.h"

#include "clipboard_selection.h"
#include "context_lock.h"
#include "messages.h"
#include "platform/install_folder.h"
#include "platform/win32_handle.h"
#include "settings_dialog.h"
#include "window_classes.h"
#include "word_maker_dialog.h"

#include <new>
#include <shellapi.h>

namespace tovi {
namespace {

std::unique_ptr<Win32Module>& owner() {
    static std::unique_ptr<Win32Module> module;
    return module;
}

HIMC toHimc(ContextHandle context) {
    return reinterpret_cast<HIMC>(context);
}

HBITMAP loadBitmap(const platform::InstallFolder& folder, std::u16string_view name) {
    const std::u16string path = folder.file(name);
    return static_cast<HBITMAP>(LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(path.c_str()),
                                           IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

// Plain message boxes without an owner window: the loading thread shows some, and owning them
// by a window of the input thread would make the two threads wait for each other. It holds no
// state, so a box may still be open after the module's objects are gone.
class MessageBoxReporter final : public CodeTableReporter {
public:
    void messageBox(std::u16string_view text, std::u16string_view caption, Style style) override {
        const std::wstring body(text.begin(), text.end());
        const std::wstring title(caption.begin(), caption.end());
        MessageBoxW(nullptr, body.c_str(), title.c_str(),
                    MB_OK | MB_SETFOREGROUND | MB_TOPMOST |
                        (style == Style::Warning ? MB_ICONWARNING : 0));
    }
};

// The info message's timer: it stops; the message stays.
void CALLBACK infoTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (Win32Module* win32 = win32Module())
        win32->infoTimerExpired();
}

} // namespace

Win32Module::Win32Module(HINSTANCE instance, std::uint32_t instanceNumber)
    : windowServices_{*this, fonts_, instance}, instance_(instance),
      instanceNumber_(instanceNumber) {}

Win32Module::~Win32Module() = default;

Module* Win32Module::module() {
    if (module_)
        return module_.get();
    try {
        const platform::InstallFolder folder = platform::InstallFolder::fromSystem();
        module_ = std::make_unique<Module>(*this, folder, instanceNumber_);
        module_->process().secureDesktop = secureDesktop_;
        reloadBitmaps();
        if (ImeEngine* engine = module_->engine())
            engine->SendCompositionUpdate(); // no context yet: nothing is sent
        module_->resetInput();
    } catch (...) {
        module_.reset(); // tried again at the next use
    }
    return module_.get();
}

void Win32Module::startComposition(ContextHandle context) {
    GenerateMessage(toHimc(context), WM_IME_STARTCOMPOSITION, 0, 0);
}

void Win32Module::updateComposition(ContextHandle context) {
    GenerateMessage(toHimc(context), WM_IME_COMPOSITION, 0, 0);
}

void Win32Module::endComposition(ContextHandle context) {
    GenerateMessage(toHimc(context), WM_IME_ENDCOMPOSITION, 0, 0);
}

void Win32Module::commitText(ContextHandle context, std::u16string_view text) {
    CommitText(toHimc(context), text);
}

void Win32Module::invalidateWindows() {
    candidateWindow.invalidate();
    promptWindow.invalidate();
    infoWindow.invalidate();
}

void Win32Module::invalidateStatusWindow() {
    statusWindow.invalidate();
}

void Win32Module::invalidateCandidateWindow() {
    candidateWindow.invalidate();
}

void Win32Module::invalidateToolWindows() {
    statusWindow.invalidate();
    const Module* built = builtModule();
    if (built && built->settings().has(flag::RootHints))
        promptWindow.invalidate();
    if (built && built->settings().has(flag::OperationHints))
        infoWindow.invalidate();
}

void Win32Module::showInfoMessage(std::u16string_view text, unsigned milliseconds) {
    infoMessage_.post(text, milliseconds);
    stopInfoTimer();
    // On the info window when there is one; a thread timer otherwise.
    timerWindow_ = infoWindow.handle();
    timer = SetTimer(timerWindow_, InfoMessage::kTimerId, infoMessage_.durationMs(), infoTimerProc);
    // Shown now: a message may come without a composition change that would update the window.
    infoWindow.showMessage();
}

void Win32Module::stopInfoTimer() {
    if (timer)
        KillTimer(IsWindow(timerWindow_) ? timerWindow_ : nullptr, timer);
    timer = 0;
    timerWindow_ = nullptr;
}

void Win32Module::infoTimerExpired() {
    stopInfoTimer();
    infoMessage_.timerExpired();
}

std::uint32_t Win32Module::settingsFlags() {
    const Module* built = builtModule();
    return built ? built->settings().flags : 0;
}

Scheme Win32Module::scheme() {
    const Module* built = builtModule();
    return built ? built->settings().scheme() : Scheme::Keypad;
}

CandidateView Win32Module::candidateView() {
    CandidateView view;
    Module* built = builtModule();
    const ImeEngine* engine = built ? built->engine() : nullptr;
    if (!engine)
        return view;
    view.code = engine->GetCode();
    view.codeHint = built->currentCodeHint(view.code);
    view.setPage(engine->candidates());
    view.spaceSelects = engine->SpaceSelects();
    view.selectionPending = built->flags().selectionPending;
    view.flags = built->settings().flags;
    view.skin = built->settings().skin;
    return view;
}

PromptView Win32Module::promptView() {
    PromptView view;
    Module* built = builtModule();
    if (!built)
        return view;
    view.scheme = built->settings().scheme();
    view.flags = built->settings().flags;
    if (const ImeEngine* engine = built->engine()) {
        view.codeLength = engine->GetCode().size();
        view.spaceSelects = engine->SpaceSelects();
        view.totalCount = engine->candidates().totalCount();
    }
    return view;
}

void Win32Module::promptRow(std::array<std::u16string, PromptRow::kFields>& row) {
    Module* built = builtModule();
    if (ImeEngine* engine = built ? built->engine() : nullptr)
        engine->GetPromptRow(row);
    else
        row.fill({});
}

void Win32Module::turnPage(bool forward) {
    Module* built = builtModule();
    if (ImeEngine* engine = built ? built->engine() : nullptr)
        engine->turnPage(forward);
    candidateWindow.invalidate();
}

StatusDisplay Win32Module::statusDisplay() {
    StatusDisplay display;
    Module* built = builtModule();
    if (!built)
        return display;
    display.englishMode = built->flags().englishMode;
    display.settingsFlags = built->settings().flags;
    display.softKeyboardShown = built->softKeyboard().isShown();
    display.scheme = built->settings().scheme();
    return display;
}

StatusClickState Win32Module::statusClickState() {
    StatusClickState state;
    Module* built = builtModule();
    if (!built)
        return state;
    state.englishMode = built->flags().englishMode;
    state.capsLock = built->flags().capsLock;
    state.settingsFlags = built->settings().flags;
    state.softKeyboardShown = built->softKeyboard().isShown();
    return state;
}

void Win32Module::applyStatusClick(const StatusClick& click) {
    Module* built = builtModule();
    if (!built)
        return;
    if (click.pressCapsLock) {
        keybd_event(VK_CAPITAL, 0x3A, KEYEVENTF_EXTENDEDKEY, 0);
        keybd_event(VK_CAPITAL, 0x3A, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    }
    if (click.resetInput) {
        built->resetInput();
        if (ImeEngine* engine = built->engine())
            engine->SendEndComposition();
    }
    if (click.englishMode)
        built->flags().englishMode = *click.englishMode;
    built->settings().flags ^= click.settingsFlagsFlip;
    if (click.softKeyboard == SoftKeyboardChange::Show)
        showSoftKeyboard();
    else if (click.softKeyboard == SoftKeyboardChange::Hide)
        hideSoftKeyboard();
    invalidateToolWindows();
    // The menu is the status window's to show.
    if (click.openWordMaker)
        openWordMaker();
}

StatusMenuMarks Win32Module::statusMenuMarks() {
    StatusMenuMarks marks;
    Module* built = builtModule();
    if (!built)
        return marks;
    marks.scheme = built->settings().scheme();
    marks.softKeyboard = built->softKeyboard().current();
    marks.settings = settingsMenuMarks(built->flags().traditionalOutput, openDialogs);
    return marks;
}

void Win32Module::chooseMenuCommand(StatusMenu menu, std::uint32_t command) {
    // Everything is looked up now: the menu ran a message loop, and the engine may have been
    // replaced (or be none, for a scheme without one) while it did.
    Module* built = builtModule();
    if (!built || command == 0)
        return;
    switch (menu) {
    case StatusMenu::InputMode:
        if (const auto scheme = schemeForCommand(command))
            built->settings().setScheme(*scheme);
        break;
    case StatusMenu::SoftKeyboard:
        if (const auto layout = softKeyboardForCommand(command))
            selectSoftKeyboard(*layout);
        break;
    case StatusMenu::Settings:
        runSettingsChoice(settingsMenuChoice(command));
        break;
    case StatusMenu::None:
        break;
    }
    invalidateToolWindows();
}

void Win32Module::runSettingsChoice(const SettingsChoice& choice) {
    Module* built = builtModule();
    if (!built)
        return;
    switch (choice.action) {
    case SettingsAction::StartProgram:
        launch(choice.program);
        break;
    case SettingsAction::ToggleTraditional:
        built->flags().traditionalOutput = !built->flags().traditionalOutput;
        break;
    case SettingsAction::SelectSoftKeyboard:
        selectSoftKeyboard(choice.layout);
        break;
    case SettingsAction::OpenSettingsDialog:
        runSettingsDialog(contextWindow());
        break;
    case SettingsAction::None:
        break;
    }
}

namespace {

// Marks one of the module's dialogs as running for a scope.
class DialogRuns {
public:
    DialogRuns(DialogOpenFlags& flags, DialogOpenFlags dialog) : flags_(flags), dialog_(dialog) {
        flags_ |= dialog_;
    }
    ~DialogRuns() { flags_ &= static_cast<DialogOpenFlags>(~dialog_); }
    DialogRuns(const DialogRuns&) = delete;
    DialogRuns& operator=(const DialogRuns&) = delete;

private:
    DialogOpenFlags& flags_;
    DialogOpenFlags dialog_;
};

} // namespace

HWND Win32Module::contextWindow() {
    const Module* built = builtModule();
    if (!built)
        return nullptr;
    const ContextLock ic(reinterpret_cast<HIMC>(built->process().currentContext));
    return ic && IsWindow(ic->hWnd) ? ic->hWnd : nullptr;
}

bool Win32Module::runSettingsDialog(HWND owner) {
    if (!mayLaunch() || (openDialogs & dialog_open::SettingsDialog))
        return false;
    const DialogRuns running(openDialogs, dialog_open::SettingsDialog);
    showSettingsDialog(IsWindow(owner) ? owner : nullptr, *this);
    statusWindow.invalidate();
    return true;
}

void Win32Module::openWordMaker() {
    Module* built = builtModule();
    if (!built || !mayLaunch() || (openDialogs & dialog_open::WordMaker))
        return;
    WordMaker& maker = built->wordMaker();
    maker.takeSelection(collectSelection(WordMaker::kMaxWordUnits));
    const DialogRuns running(openDialogs, dialog_open::WordMaker);
    showWordMakerDialog(instance_, contextWindow(), maker);
}

void Win32Module::reloadBitmaps() {
    const Module* built = builtModule();
    if (!built)
        return;
    candidateBitmap.reset(loadBitmap(built->folder(), kInstalledCandidatePicture));
    statusBitmap.reset(loadBitmap(built->folder(), kInstalledStatusPicture));
    statusWindow.invalidate();
    candidateWindow.invalidate();
}

void Win32Module::showSoftKeyboard() {
    Module* built = builtModule();
    if (!built)
        return;
    SoftKeyboard& keyboard = built->softKeyboard();
    keyboard.showLayout();
    softKeyboardWindow.show(statusWindow.handle(), keyboard.layout(), keyboard.isVisible());
    statusWindow.invalidate();
}

void Win32Module::hideSoftKeyboard() {
    if (Module* built = builtModule())
        built->softKeyboard().hideKeyboard();
    softKeyboardWindow.destroy();
    statusWindow.invalidate();
}

void Win32Module::selectSoftKeyboard(std::size_t layout) {
    if (Module* built = builtModule()) {
        built->softKeyboard().selectLayout(layout);
        showSoftKeyboard();
    }
}

void Win32Module::setSoftKeyboardVisible(bool visible) {
    if (Module* built = builtModule()) {
        built->softKeyboard().setVisible(visible);
        if (built->softKeyboard().isShown())
            softKeyboardWindow.setVisible(visible);
    }
}

Point Win32Module::statusPosition() {
    const Module* built = builtModule();
    return built ? Point{built->settings().statusX, built->settings().statusY} : Point{};
}

void Win32Module::moveStatus(Point topLeft) {
    Module* built = builtModule();
    if (!built)
        return;
    built->settings().statusX = topLeft.x;
    built->settings().statusY = topLeft.y;
    built->publishedStatusX = topLeft.x;
}

void Win32Module::selectCandidate(int slot) {
    Module* built = builtModule();
    if (ImeEngine* engine = built ? built->engine() : nullptr)
        engine->OnCandidateClicked(slot);
    candidateWindow.invalidate();
}

void Win32Module::beep() {
    MessageBeep(0xFFFFFFFF);
}

bool Win32Module::isKeyDown(unsigned virtualKey) {
    return (GetKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

void Win32Module::markSecureDesktop() {
    secureDesktop_ = true;
    if (module_)
        module_->process().secureDesktop = true;
}

bool Win32Module::mayLaunch() {
    const Module* built = builtModule();
    return !secureDesktop_ && built && built->process().mayLaunch();
}

void Win32Module::openUrl(std::u16string_view url) {
    if (!mayLaunch())
        return;
    const std::wstring address(url.begin(), url.end());
    ShellExecuteW(nullptr, L"open", address.c_str(), L"", L"", SW_SHOWNORMAL);
}

void Win32Module::launch(const ProgramStart& start) {
    const Module* built = builtModule();
    if (!built || !mayLaunch())
        return;
    const std::u16string file = built->folder().file(start.file);
    const std::wstring path(file.begin(), file.end());
    const std::wstring folder(built->folder().path().begin(), built->folder().path().end());
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (built->folder().path().empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        showInfoMessage(info::missingFile(start.file), info::kDefaultMilliseconds);
        return;
    }
    // The path is quoted, so that a folder with spaces names the right file.
    std::wstring quoted = L"\"" + path + L"\"";
    bool started = false;
    if (start.helpFile) {
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", L"hh.exe", quoted.c_str(), folder.c_str(), SW_SHOW));
        started = result > 32;
    } else {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION info{};
        started = CreateProcessW(path.c_str(), quoted.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.c_str(), &startup, &info);
        if (started) {
            const platform::UniqueHandle process(info.hProcess);
            const platform::UniqueHandle thread(info.hThread);
        }
    }
    if (!started)
        showInfoMessage(info::cannotStart(start.file), info::kDefaultMilliseconds);
}

void Win32Module::startProgram(std::u16string_view commandLine) {
    if (!mayLaunch())
        return;
    std::wstring line(commandLine.begin(), commandLine.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        // The program runs on its own; only the handles are released here.
        const platform::UniqueHandle process(info.hProcess);
        const platform::UniqueHandle thread(info.hThread);
    }
}

std::shared_ptr<CodeTableReporter> Win32Module::codeTableReporter() {
    return std::make_shared<MessageBoxReporter>();
}

void Win32Module::sendBackspace() {
    keybd_event(VK_BACK, 14, 0, 0);
    keybd_event(VK_BACK, 14, KEYEVENTF_KEYUP, 0);
}

Win32Module* win32Module() {
    return owner().get();
}

Module* modulePtr() {
    Win32Module* win32 = win32Module();
    return win32 ? win32->module() : nullptr;
}

void InitGlobals(HINSTANCE instance) {
    if (owner())
        return;
    try {
        owner() = std::make_unique<Win32Module>(instance, takeInstanceNumber());
    } catch (...) {
        return; // the process runs without the module
    }
    RegisterClasses(instance);
}

void FreeGlobals() {
    if (Win32Module* win32 = win32Module()) {
        win32->stopInfoTimer();
        win32->softKeyboardWindow.destroy(); // its class goes next
    }
    UnregisterClasses();
    owner().reset(); // saves the settings of a module that was built
}

} // namespace tovi
