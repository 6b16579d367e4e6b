// The real tovi.ime under Wine with a real UI window and IMM32 context, as the tests of its tool
// windows drive it: keys as IMM32 hands them over, the thread's messages handled as an
// application's loop does, and the windows' pixels read back.
#pragma once

#include "boundary/imm_ddk.h"
#include "tables/code_table_file.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tovi {

using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImeProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, CONST LPBYTE);
using ImeToAsciiExFn = UINT(WINAPI*)(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC);
using ImeSetActiveContextFn = BOOL(WINAPI*)(HIMC, BOOL);

template <typename Fn>
inline Fn exported(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Settings bits of config.ini.
inline constexpr unsigned kKeypadScheme = 0x20;
inline constexpr unsigned kPinyinScheme = 0x40;
inline constexpr unsigned kRootHints = 0x4;
inline constexpr unsigned kOperationHints = 0x8;
inline constexpr unsigned kProgressiveHints = 0x100;
inline constexpr unsigned kVerticalLayout = 0x200;

// Twelve candidates for the keypad code "1": a first page of nine and a second one.
inline std::string keypadTable() {
    CodeTableData data(CodeTableLayout::Digits);
    const char16_t* entries[][2] = {{u"11", u"一"},  {u"12", u"中"},  {u"13", u"三"},
                                    {u"14", u"四"},  {u"15", u"五"},  {u"111", u"二"},
                                    {u"112", u"人"}, {u"113", u"大"}, {u"114", u"小"},
                                    {u"115", u"上"}, {u"121", u"下"}, {u"122", u"天"}};
    for (const auto& [code, text] : entries)
        data.append(code, text);
    return writeCodeTable(data);
}

// "zhong" and "zhongguo" for the pinyin scheme.
inline std::string pinyinTable() {
    CodeTableData data(CodeTableLayout::Letters);
    data.append(u"zhong", u"中");
    data.append(u"zhongguo", u"中国");
    return writeCodeTable(data);
}

// A prompt file with the one row every pinyin code shows: a mark, then UTF-16 text.
inline std::string promptFile(std::u16string_view row) {
    std::string bytes("\xFF\xFE");
    for (const char16_t unit : row) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

struct ThreadWindowSearch {
    const wchar_t* name;
    HWND found;
};

// A named callback, not a lambda: on 32-bit Windows the enumeration calls it with the stdcall
// convention, which a lambda does not convert to.
inline BOOL CALLBACK matchThreadWindow(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<ThreadWindowSearch*>(data);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wcscmp(name, s->name) != 0)
        return TRUE;
    s->found = window;
    return FALSE;
}

inline HWND findThreadWindow(const wchar_t* className) {
    ThreadWindowSearch search{className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchThreadWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The module loaded with a UI window and a context, over whatever folders the registry names.
class ModuleWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"tovi-test-editor";
        RegisterClassW(&cls);
    }
    // Loads the module, opens a context with a UI window as IMM32 does, and waits until the table
    // of the scheme that `flags` (the settings in use) name has loaded.
    void open(unsigned flags) {
        module = LoadLibraryW(L"tovi.ime");
        ASSERT_NE(module, nullptr);
        select = exported<ImeSelectFn>(module, "ImeSelect");
        processKey = exported<ImeProcessKeyFn>(module, "ImeProcessKey");
        toAscii = exported<ImeToAsciiExFn>(module, "ImeToAsciiEx");
        setActive = exported<ImeSetActiveContextFn>(module, "ImeSetActiveContext");
        app = CreateWindowExW(0, L"tovi-test-editor", L"editor", WS_OVERLAPPEDWINDOW, 100, 100, 400,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        himc = ImmCreateContext();
        ASSERT_TRUE(app && himc && select && processKey && toAscii && setActive);
        ASSERT_TRUE(select(himc, TRUE));
        INPUTCONTEXT* ic = ImmLockIMC(himc);
        ic->hWnd = app;
        ImmUnlockIMC(himc);
        ui = CreateWindowExW(0, L"ZHPYUI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, module,
                             nullptr);
        ASSERT_NE(ui, nullptr);
        SetWindowLongPtrW(ui, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(himc));
        SendMessageW(ui, WM_IME_SETCONTEXT, TRUE, 0);
        SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        // A scheme without an engine types nothing to wait for.
        if (!(flags & (kKeypadScheme | kPinyinScheme)))
            return;
        // Once the table is there, the probe's keypad code and 0 or its pinyin and Space commit
        // its word.
        const bool pinyin = flags & kPinyinScheme;
        for (int attempt = 0; attempt < 100 && result() != probe.word; ++attempt) {
            // A second confirmation takes the first of several words equal to the code.
            if (pinyin) {
                letters(probe.pinyin);
                key(VK_SPACE, L' ');
                if (result() != probe.word)
                    key(VK_SPACE, L' ');
            } else {
                for (const char* d = probe.keypad; *d; ++d)
                    keypad(*d - '0');
                keypad(0);
                if (result() != probe.word)
                    keypad(0);
            }
            if (result() != probe.word) {
                key(VK_ESCAPE, 0x1B);
                Sleep(20);
            }
        }
        ASSERT_EQ(result(), probe.word) << "the table did not load";
    }
    // What open() types until the table is there: "12" on the keypad (one entry equal to it) or
    // "zhong" in pinyin give 中 with the tests' tables.
    struct Probe {
        const char* keypad = "12";
        const char* pinyin = "zhong";
        std::wstring word = L"中";
    } probe;
    void TearDown() override { unloadModule(); }
    // Closes the context and unloads the module.
    void unloadModule() {
        if (ui)
            DestroyWindow(std::exchange(ui, nullptr));
        if (himc)
            ImmDestroyContext(std::exchange(himc, nullptr));
        if (app)
            DestroyWindow(std::exchange(app, nullptr));
        if (module)
            FreeLibrary(std::exchange(module, nullptr));
        for (int i = 0; i < 1000 && GetModuleHandleW(L"tovi.ime"); ++i)
            Sleep(10);
    }

    // A key as IMM32 hands it over, then the composition message the application passes on.
    void key(UINT vk, wchar_t unit, bool shift = false) {
        BYTE keys[256] = {};
        keys[vk] = 0x80;
        if (shift)
            keys[VK_SHIFT] = 0x80;
        if (!processKey(himc, vk, 1, keys))
            return;
        struct {
            TRANSMSGLIST list;
            TRANSMSG more[31];
        } buffer{};
        buffer.list.uMsgCount = 32;
        toAscii(vk | (static_cast<UINT>(unit) << 16), 1, keys, &buffer.list, 0, himc);
        SendMessageW(ui, WM_IME_COMPOSITION, 0, 0);
    }
    void keypad(int digit) { key(VK_NUMPAD0 + static_cast<UINT>(digit), L'0' + digit); }
    void letters(const char* typed) {
        for (const char* c = typed; *c; ++c)
            key(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
    }
    std::wstring result() const { return wintest::resultString(himc); }
    // The window of `className` once the thread's messages are handled, as an application's
    // message loop does (a window that resizes itself while painting paints again).
    HWND painted(const wchar_t* className) {
        const HWND window = findThreadWindow(className);
        settle();
        return window;
    }
    static void settle() {
        MSG message;
        for (int round = 0; round < 3; ++round)
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
    }
    static COLORREF pixel(HWND window, int x, int y) {
        const HDC dc = GetDC(window);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    }
    // How many pixels of the client rectangle differ from `background`.
    static int pixelsUnlike(HWND window, RECT area, COLORREF background) {
        const HDC dc = GetDC(window);
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += GetPixel(dc, x, y) != background;
        ReleaseDC(window, dc);
        return count;
    }
    static SIZE sizeOf(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return {r.right - r.left, r.bottom - r.top};
    }

    HMODULE module = nullptr;
    ImeSelectFn select = nullptr;
    ImeProcessKeyFn processKey = nullptr;
    ImeToAsciiExFn toAscii = nullptr;
    ImeSetActiveContextFn setActive = nullptr;
    HWND app = nullptr;
    HWND ui = nullptr;
    HIMC himc = nullptr;
};

// The module over a scratch installation folder holding the tests' small tables.
class ToolWindows : public ModuleWindows {
protected:
    // Loads the module with these settings and waits until the table has loaded.
    void start(unsigned flags, int skin = 0) {
        wintest::writeBytes(scratch.file(L"toviwb.mb"), keypadTable());
        wintest::writeBytes(scratch.file(L"tovipy.mb"), pinyinTable());
        wintest::writeBytes(scratch.file(L"config.ini"), "IME_SETTINGS " + std::to_string(flags) +
                                                             "\r\nIME_SKIN " +
                                                             std::to_string(skin) + "\r\n");
        open(flags);
    }
    // Closes the context and unloads the module; returns config.ini as the module left it (the
    // user's copy once it saved one).
    std::string unload() {
        unloadModule();
        return wintest::readBytes(scratch.fileInUse(L"config.ini"));
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
};

} // namespace tovi
