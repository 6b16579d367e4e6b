#include "typing_window.h"

#include "win_test_support.h"

namespace tovi::wintest {
namespace {

bool isToviLayout(HKL layout) {
    wchar_t file[MAX_PATH] = {};
    ImmGetIMEFileNameW(layout, file, MAX_PATH);
    const std::wstring path = file;
    return path.size() >= 8 && _wcsicmp(path.c_str() + path.size() - 8, L"tovi.ime") == 0;
}

HKL loadedToviLayout() {
    HKL layouts[64];
    const int count = GetKeyboardLayoutList(64, layouts);
    for (int i = 0; i < count; ++i)
        if (isToviLayout(layouts[i]))
            return layouts[i];
    return nullptr;
}

} // namespace

void pump() {
    MSG msg;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

void tap(WORD key) {
    for (const bool up : {false, true}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        // No scan code for keypad keys: the system would read one as its arrow-key twin.
        const bool keypad = key >= VK_NUMPAD0 && key <= VK_DIVIDE;
        input.ki.wScan = keypad ? 0 : static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof(input));
        pump();
    }
}

void chord(WORD modifier, WORD key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = modifier;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(modifier, MAPVK_VK_TO_VSC));
    SendInput(1, &input, sizeof(input));
    pump();
    tap(key);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
    pump();
}

HKL installBuiltLayout() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring built = ownExecutable();
    built = built.substr(0, built.find_last_of(L'\\') + 1) + L"tovi.ime";
    CopyFileW(built.c_str(), (std::wstring(system) + L"\\tovi.ime").c_str(), FALSE);
    if (const HKL loaded = loadedToviLayout())
        return loaded;
    return ImmInstallIMEW(L"tovi.ime", L"tovi");
}

HKL installedLayout() {
    HKEY layouts = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts",
                      0, KEY_READ, &layouts) != ERROR_SUCCESS)
        return nullptr;
    bool loaded = false;
    wchar_t name[KL_NAMELENGTH + 8] = {};
    for (DWORD i = 0; !loaded; ++i) {
        DWORD length = KL_NAMELENGTH + 8;
        if (RegEnumKeyExW(layouts, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        wchar_t file[MAX_PATH] = {};
        DWORD bytes = sizeof(file) - sizeof(wchar_t);
        if (RegGetValueW(layouts, name, L"Ime File", RRF_RT_REG_SZ, nullptr, file, &bytes) ==
                ERROR_SUCCESS &&
            _wcsicmp(file, L"tovi.ime") == 0)
            loaded = LoadKeyboardLayoutW(name, 0) != nullptr;
    }
    RegCloseKey(layouts);
    // Loaded, it is in the list under the handle IMM32 knows it by.
    return loaded ? loadedToviLayout() : nullptr;
}

TypingWindow::TypingWindow(HKL layout) {
    if (!layout) {
        failure_ = 10;
        return;
    }
    wchar_t name[KL_NAMELENGTH] = {};
    wsprintfW(name, L"%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout)));
    LoadKeyboardLayoutW(name, KLF_ACTIVATE);
    ActivateKeyboardLayout(layout, 0);
    top_ = CreateWindowExW(0, L"STATIC", L"tovi", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400,
                           200, nullptr, nullptr, nullptr, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 300, 30,
                            top_, nullptr, nullptr, nullptr);
    if (!top_ || !edit_) {
        failure_ = 11;
        return;
    }
    SetForegroundWindow(top_);
    SetFocus(edit_);
    context_ = ImmGetContext(edit_);
    if (!context_) {
        failure_ = 12;
        return;
    }
    ImmSetOpenStatus(context_, TRUE);
    pump();
    if (!(GetKeyState(VK_NUMLOCK) & 1))
        tap(VK_NUMLOCK);
}

TypingWindow::~TypingWindow() {
    if (context_)
        ImmReleaseContext(edit_, context_);
    if (top_)
        DestroyWindow(top_);
}

bool TypingWindow::typeUntil(const std::wstring& keys, WORD confirm,
                             const std::wstring& expected) const {
    if (failure_)
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (const wchar_t unit : keys)
            tap(unit >= L'0' && unit <= L'9' ? static_cast<WORD>(VK_NUMPAD0 + (unit - L'0'))
                                             : static_cast<WORD>(unit - L'a' + 'A'));
        tap(confirm);
        if (resultString(context_) != expected)
            tap(confirm); // a code with several exact matches takes a second confirm
        if (resultString(context_) == expected)
            return true;
        tap(VK_ESCAPE);
        Sleep(50); // the table is still loading
    }
    return false;
}

} // namespace tovi::wintest
