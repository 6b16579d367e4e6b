// The real tovi.ime loaded with given settings, an input context selected and a UI window made
// as IMM32 makes it, so that typing brings up the module's own windows. For the programs that
// picture and time those windows.
#pragma once

#include "platform/install_folder.h"
#include "typist.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace tovi::demo {

// Settings bits of config.ini.
inline constexpr unsigned kFullWidthSymbols = 0x1;
inline constexpr unsigned kRootHints = 0x4;
inline constexpr unsigned kOperationHints = 0x8;
inline constexpr unsigned kKeypadScheme = 0x20;
inline constexpr unsigned kPinyinScheme = 0x40;
inline constexpr unsigned kProgressiveHints = 0x100;
inline constexpr unsigned kVerticalLayout = 0x200;

class WindowSession {
public:
    // Writes config.ini into the installation folder, loads the module and waits until its
    // table types a word.
    WindowSession(unsigned flags, int skin) : keypad_(flags & kKeypadScheme) {
        const std::u16string install = platform::installPath();
        std::ofstream(
            std::filesystem::path(std::wstring(install.begin(), install.end()) + L"\\config.ini"),
            std::ios::binary)
            << "IME_SETTINGS " << flags << "\r\nIME_SKIN " << skin << "\r\n";
        module_ = LoadLibraryW(L"tovi.ime");
        context_ = ImmCreateContext();
        typist_ = std::make_unique<Typist>(module_, context_);
        if (!module_ || !typist_->ready())
            return;
        typist_->selectContext();
        ui_ = CreateWindowExW(0, L"ZHPYUI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, module_,
                              nullptr);
        SetWindowLongPtrW(ui_, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(context_));
        SendMessageW(ui_, WM_IME_SETCONTEXT, TRUE, 0);
        SendMessageW(ui_, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        // The table loads in the background: a word is typed until it commits (a keypad code
        // with several entries equal to it takes a second confirm).
        for (int attempt = 0; attempt < 100 && typist_->result() != L"中国"; ++attempt) {
            type(keypad_ ? "23212411" : "zhongguo");
            const UINT confirm = keypad_ ? VK_NUMPAD0 : VK_SPACE;
            if (typist_->tap(confirm, keypad_ ? L'0' : L' ').empty() && keypad_)
                typist_->tap(confirm, L'0');
            if (typist_->result() != L"中国") {
                typist_->tap(VK_ESCAPE, L'\x1b');
                Sleep(50);
            }
        }
    }
    ~WindowSession() {
        if (ui_)
            DestroyWindow(ui_);
        typist_.reset();
        if (context_)
            ImmDestroyContext(context_);
        if (module_)
            FreeLibrary(module_);
        for (int i = 0; i < 500 && GetModuleHandleW(L"tovi.ime"); ++i)
            Sleep(10);
    }
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    bool ready() const { return ui_ && typist_->result() == L"中国"; }

    // Keypad digits in the keypad scheme, letters in pinyin; '>' pages down and '<' up. The
    // windows are brought up to date as the application would have them.
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k) {
            if (*k == '>' || *k == '<')
                typist_->tap(*k == '>' ? VK_NEXT : VK_PRIOR, 0);
            else if (keypad_)
                typist_->tap(VK_NUMPAD0 + (*k - '0'), static_cast<wchar_t>(*k));
            else
                typist_->tap(static_cast<UINT>(*k - 'a' + 'A'), static_cast<wchar_t>(*k));
        }
        SendMessageW(ui_, WM_IME_COMPOSITION, 0, 0);
        settle();
    }

    // The shown window of the module's class `className`, or null.
    static HWND window(const wchar_t* className) {
        struct Search {
            const wchar_t* name;
            HWND found;
        } search{className, nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                wchar_t name[32] = {};
                GetClassNameW(window, name, 32);
                if (std::wcscmp(name, s->name) != 0 || !IsWindowVisible(window))
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Handles the thread's waiting messages, paints among them.
    static void settle() {
        MSG message;
        for (int round = 0; round < 3; ++round)
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
    }

private:
    bool keypad_;
    HMODULE module_ = nullptr;
    HIMC context_ = nullptr;
    std::unique_ptr<Typist> typist_;
    HWND ui_ = nullptr;
};

} // namespace tovi::demo
