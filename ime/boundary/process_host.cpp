#include "process_host.h"

#include "clipboard_selection.h"
#include "exception_barrier.h"
#include "messages.h"
#include "platform/install_folder.h"
#include "settings_dialog.h"
#include "thread_ui.h"
#include "window_classes.h"
#include "word_maker_dialog.h"

#include <shellapi.h>

namespace tovi {
namespace {

std::unique_ptr<ProcessHost>& owner() {
    static std::unique_ptr<ProcessHost> host;
    return host;
}

HIMC toHimc(ContextHandle context) {
    return reinterpret_cast<HIMC>(context);
}

HBITMAP loadBitmap(const platform::InstallFolder& folder, std::u16string_view name) {
    // The user's copy, made when a skin was chosen, else the installed picture.
    const std::u16string path = folder.fileToRead(name);
    return static_cast<HBITMAP>(LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(path.c_str()),
                                           IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

// Plain message boxes without an owner window: the loading thread shows some, and owning them
// by a window of the input thread would make the two threads wait for each other. It holds no
// state, so a box may still be open after the module's objects are gone. A thread inside the
// module lets go of the gate while its box is up.
class MessageBoxReporter final : public CodeTableReporter {
public:
    void messageBox(std::u16string_view text, std::u16string_view caption, Style style) override {
        const std::wstring body(text.begin(), text.end());
        const std::wstring title(caption.begin(), caption.end());
        const ModuleGate::Released released(moduleGate());
        MessageBoxW(nullptr, body.c_str(), title.c_str(),
                    MB_OK | MB_SETFOREGROUND | MB_TOPMOST |
                        (style == Style::Warning ? MB_ICONWARNING : 0));
    }
};

// A program of the Windows folder, by its full path.
std::wstring windowsFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    std::wstring path =
        length > 0 && length < MAX_PATH ? std::wstring(folder, length) : L"C:\\Windows";
    if (path.back() != L'\\')
        path += L'\\';
    return path + name;
}

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

ProcessHost::ProcessHost(HINSTANCE instance) : instance_(instance) {}

ProcessHost::~ProcessHost() = default;

Module* ProcessHost::module() {
    if (module_)
        return module_.get();
    try {
        const platform::InstallFolder folder = platform::InstallFolder::fromSystem();
        module_ = std::make_unique<Module>(*this, folder, takeInstanceNumber());
        module_->process().secureDesktop = secureDesktop_;
        reloadBitmaps();
        module_->resetInput();
    } catch (...) {
        module_.reset(); // tried again at the next use
    }
    return module_.get();
}

void ProcessHost::markSecureDesktop() {
    secureDesktop_ = true;
    if (module_)
        module_->process().secureDesktop = true;
}

ThreadUi& ProcessHost::threadUi() {
    const DWORD id = GetCurrentThreadId();
    if (const auto found = threads_.find(id); found != threads_.end())
        return *found->second;
    forgetEndedThreads();
    // Held open, the thread's handle keeps its number from going to a new thread before this
    // entry is forgotten.
    platform::UniqueHandle thread(OpenThread(SYNCHRONIZE, FALSE, id));
    auto made = std::make_unique<ThreadUi>(*this, std::move(thread));
    return *threads_.emplace(id, std::move(made)).first->second;
}

ThreadUi* ProcessHost::currentThreadUi() {
    const auto found = threads_.find(GetCurrentThreadId());
    return found == threads_.end() ? nullptr : found->second.get();
}

void ProcessHost::forgetEndedThreads() {
    std::erase_if(threads_, [](const auto& entry) { return entry.second->threadEnded(); });
}

void ProcessHost::noteContext(HIMC context) {
    if (!context)
        return;
    // Contexts come and go without telling the module; a table that grew past any real use is
    // started again, and each context is noted anew at its thread's next call.
    constexpr std::size_t kMostContexts = 4096;
    if (contextThreads_.size() >= kMostContexts && !contextThreads_.contains(context))
        contextThreads_.clear();
    contextThreads_[context] = GetCurrentThreadId();
}

bool ProcessHost::ofAnotherThread(HIMC context) const {
    const auto found = contextThreads_.find(context);
    return found != contextThreads_.end() && found->second != GetCurrentThreadId();
}

bool ProcessHost::inputOfAnotherThread() const {
    const ImeEngine* engine = module_ ? module_->engine() : nullptr;
    return engine && ofAnotherThread(toHimc(engine->context()));
}

void ProcessHost::saveSettings() {
    // Written when they change, so that a process that ends has nothing left to save.
    if (module_)
        module_->saveSettingsIfChanged();
}

void ProcessHost::startComposition(ContextHandle context) {
    GenerateMessage(toHimc(context), WM_IME_STARTCOMPOSITION, 0, 0);
}

void ProcessHost::updateComposition(ContextHandle context) {
    GenerateMessage(toHimc(context), WM_IME_COMPOSITION, 0, 0);
}

void ProcessHost::endComposition(ContextHandle context) {
    GenerateMessage(toHimc(context), WM_IME_ENDCOMPOSITION, 0, 0);
}

void ProcessHost::commitText(ContextHandle context, std::u16string_view text) {
    CommitText(toHimc(context), text);
}

void ProcessHost::invalidateWindows() {
    if (ThreadUi* ui = currentThreadUi())
        ui->invalidateWindows();
}

void ProcessHost::invalidateStatusWindow() {
    if (ThreadUi* ui = currentThreadUi())
        ui->statusWindow.invalidate();
}

void ProcessHost::invalidateCandidateWindow() {
    if (ThreadUi* ui = currentThreadUi())
        ui->candidateWindow.invalidate();
}

void ProcessHost::showInfoMessage(std::u16string_view text, unsigned milliseconds) {
    threadUi().showInfoMessage(text, milliseconds);
}

void ProcessHost::beep() {
    MessageBeep(0xFFFFFFFF);
}

bool ProcessHost::isKeyDown(unsigned virtualKey) {
    return (GetKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

bool ProcessHost::mayLaunch() {
    return !secureDesktop_ && module_ && module_->process().mayLaunch();
}

void ProcessHost::openUrl(std::u16string_view url) {
    if (!mayLaunch())
        return;
    const std::wstring address(url.begin(), url.end());
    // The shell may wait for windows of its own; the other threads go on meanwhile.
    const ModuleGate::Released released(moduleGate());
    ShellExecuteW(nullptr, L"open", address.c_str(), L"", L"", SW_SHOWNORMAL);
}

void ProcessHost::launch(const ProgramStart& start) {
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
        // By its full path: a file of that name in the application's folder must not run.
        const std::wstring viewer = windowsFile(L"hh.exe");
        const ModuleGate::Released released(moduleGate());
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, L"open", viewer.c_str(), quoted.c_str(), folder.c_str(), SW_SHOW));
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

// The program of a command line that starts with a quoted path, when that path is absolute and
// names a file: a bare name would be looked for in the application's folders first.
static std::optional<std::wstring> quotedProgram(const std::wstring& line) {
    if (line.size() < 2 || line.front() != L'"')
        return std::nullopt;
    const std::size_t close = line.find(L'"', 1);
    if (close == std::wstring::npos)
        return std::nullopt;
    std::wstring path = line.substr(1, close - 1);
    const bool absolute =
        (path.size() > 2 && path[1] == L':' && path[2] == L'\\') || path.starts_with(L"\\\\");
    const DWORD attributes = absolute ? GetFileAttributesW(path.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return path;
}

void ProcessHost::startProgram(std::u16string_view commandLine) {
    if (!mayLaunch())
        return;
    std::wstring line(commandLine.begin(), commandLine.end());
    const std::optional<std::wstring> program = quotedProgram(line);
    if (!program)
        return;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(program->c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        // The program runs on its own; only the handles are released here.
        const platform::UniqueHandle process(info.hProcess);
        const platform::UniqueHandle thread(info.hThread);
    }
}

std::shared_ptr<CodeTableReporter> ProcessHost::codeTableReporter() {
    return std::make_shared<MessageBoxReporter>();
}

void ProcessHost::sendBackspace() {
    keybd_event(VK_BACK, 14, 0, 0);
    keybd_event(VK_BACK, 14, KEYEVENTF_KEYUP, 0);
}

bool ProcessHost::runSettingsDialog(HWND owner) {
    if (!module() || !mayLaunch() || (openDialogs & dialog_open::SettingsDialog))
        return false;
    const DialogRuns running(openDialogs, dialog_open::SettingsDialog);
    ThreadUi& ui = threadUi();
    showSettingsDialog(IsWindow(owner) ? owner : nullptr, *this, ui);
    // A skin chosen and then cancelled still colours the candidates, and is kept.
    saveSettings();
    ui.statusWindow.invalidate();
    return true;
}

void ProcessHost::openWordMaker(HWND owner) {
    Module* built = builtModule();
    if (!built || !mayLaunch() || (openDialogs & dialog_open::WordMaker))
        return;
    WordMaker& maker = built->wordMaker();
    {
        // The copy asks the application's windows, which may belong to other threads.
        std::optional<std::u16string> selection;
        {
            const ModuleGate::Released released(moduleGate());
            selection = collectSelection(WordMaker::kMaxWordUnits);
        }
        maker.takeSelection(std::move(selection));
    }
    const DialogRuns running(openDialogs, dialog_open::WordMaker);
    showWordMakerDialog(instance_, IsWindow(owner) ? owner : nullptr, maker);
}

void ProcessHost::reloadBitmaps() {
    const Module* built = builtModule();
    if (!built)
        return;
    candidateBitmap.reset(loadBitmap(built->folder(), kInstalledCandidatePicture));
    statusBitmap.reset(loadBitmap(built->folder(), kInstalledStatusPicture));
    if (ThreadUi* ui = currentThreadUi()) {
        ui->statusWindow.invalidate();
        ui->candidateWindow.invalidate();
    }
}

ProcessHost* processHost() {
    return owner().get();
}

Module* modulePtr() {
    ProcessHost* host = processHost();
    return host ? host->module() : nullptr;
}

ThreadUi* threadUiPtr() {
    ProcessHost* host = processHost();
    return host ? &host->threadUi() : nullptr;
}

void InitGlobals(HINSTANCE instance) {
    if (owner())
        return;
    try {
        owner() = std::make_unique<ProcessHost>(instance);
    } catch (...) {
        return; // the process runs without the module
    }
    RegisterClasses(instance);
}

void FreeGlobals() {
    UnregisterClasses();
    owner().reset();
}

} // namespace tovi
