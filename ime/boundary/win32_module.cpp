#include "win32_module.h"

#include "messages.h"
#include "module.h"
#include "platform/install_folder.h"
#include "platform/win32_handle.h"
#include "window_classes.h"

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

HBITMAP loadBitmap(const wchar_t* name) {
    const std::u16string path = platform::installFilePath(reinterpret_cast<const char16_t*>(name));
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

} // namespace

Win32Module::Win32Module(HINSTANCE instance) : instance_(instance) {}

Win32Module::~Win32Module() = default;

bool Win32Module::generateMessage(ContextHandle context, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) {
    return GenerateMessage(toHimc(context), message, wParam, lParam);
}

void Win32Module::commitText(ContextHandle context, std::u16string_view text) {
    CommitText(toHimc(context), text);
}

void Win32Module::endComposition(ContextHandle context, bool withResult) {
    EndComposition(toHimc(context), withResult);
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

void Win32Module::showInfoMessage(std::u16string_view text, unsigned milliseconds) {
    infoText = text;
    infoMilliseconds = milliseconds;
    infoWindow.invalidate();
}

void Win32Module::beep() {
    MessageBeep(0xFFFFFFFF);
}

bool Win32Module::isKeyDown(unsigned virtualKey) {
    return (GetKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

void Win32Module::openUrl(std::u16string_view url) {
    const Module* module = modulePtr();
    if (!module || !module->mayLaunch())
        return;
    const std::wstring address(url.begin(), url.end());
    ShellExecuteW(nullptr, L"open", address.c_str(), L"", L"", SW_SHOWNORMAL);
}

void Win32Module::startProgram(std::u16string_view commandLine) {
    const Module* module = modulePtr();
    if (!module || !module->mayLaunch())
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

void InitGlobals(HINSTANCE instance) {
    try {
        owner() = std::make_unique<Win32Module>(instance);
    } catch (const std::bad_alloc&) {
        return;
    }
    Win32Module& win32 = *owner();
    // The instance number, the settings and the engine.
    if (!attachModule(win32)) {
        owner().reset();
        return;
    }
    win32.candidateBitmap.reset(loadBitmap(L"tovi_cand.bmp"));
    win32.statusBitmap.reset(loadBitmap(L"tovi.bmp"));
    Module& module = *modulePtr();
    if (ImeEngine* engine = module.engine())
        engine->SendCompositionUpdate(); // no context yet: nothing is sent
    module.resetInput();
    RegisterClasses(instance);
}

void FreeGlobals() {
    UnregisterClasses();
    if (Win32Module* win32 = win32Module(); win32 && win32->timer) {
        KillTimer(nullptr, win32->timer);
        win32->timer = 0;
    }
    detachModule(); // saves the settings
    owner().reset();
}

} // namespace tovi
