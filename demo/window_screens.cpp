// Pictures of the module's windows for the README: the real tovi.ime with the real tables of its
// package folder, driven as IMM32 drives it, its candidate, prompt and info windows shown by a
// real UI window and saved as BMP files (the script turns them into PNG).
#include "platform/win32_handle.h"
#include "window_session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tovi::demo;

// Writes the pixels of the window's client area as a 24-bit BMP file (under Wine without a
// window manager the caption is not drawn where a window DC could read it).
bool saveWindow(HWND window, const std::wstring& path) {
    RECT r{};
    GetClientRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> bits(static_cast<std::size_t>(stride) * height);
    const HDC dc = GetDC(window);
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    const bool read = GetDIBits(memory, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS) != 0;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    if (!read)
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
    return out.good();
}

struct Scene {
    const wchar_t* name;
    unsigned flags;
    int skin;
    const char* keys;                    // as WindowSession::type takes them
    std::vector<const wchar_t*> windows; // the classes of the windows to save
    bool softKeyboard = false;           // click the bar's soft-keyboard button first
};

// A left click on a status-bar button, as the disabled bar sees one.
void clickBarAt(int x) {
    const HWND bar = WindowSession::window(L"DEDU_STATUS");
    if (!bar)
        return;
    RECT frame{};
    GetWindowRect(bar, &frame);
    SetCursorPos(frame.left + x, frame.top + 10);
    SendMessageW(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    WindowSession::settle();
}

// Loads the module with the scene's settings, types its keys and saves the shown windows.
int shoot(const Scene& scene, const std::wstring& folder) {
    WindowSession session(scene.flags, scene.skin);
    if (!session.ready())
        return 1;
    session.type(scene.keys);
    if (scene.softKeyboard)
        clickBarAt(90);
    int saved = 0;
    for (const auto& [cls, part] :
         {std::pair{L"DEDU_CAND", L"candidates"}, std::pair{L"DEDU_PROMPT", L"prompt"},
          std::pair{L"DEDU_INFO", L"info"}, std::pair{L"DEDU_STATUS", L"status"},
          std::pair{L"DEDU_SOFTKBD", L"keyboard"}}) {
        bool wanted = false;
        for (const wchar_t* name : scene.windows)
            wanted = wanted || std::wcscmp(name, cls) == 0;
        if (const HWND window = wanted ? WindowSession::window(cls) : nullptr) {
            const std::wstring path = folder + L"\\" + scene.name + L"-" + part + L".bmp";
            saved += saveWindow(window, path);
        }
    }
    std::printf("%ls: %d windows\n", scene.name, saved);
    return saved > 0 ? 0 : 1;
}

// Opens a dialog by `open` (which runs it modally) and, from a second thread, saves it as
// `path` once it shows, then closes it.
int shootDialog(const wchar_t* title, const std::wstring& path, void (*open)()) {
    bool saved = false;
    std::thread watcher([&] {
        for (int i = 0; i < 500; ++i) {
            Sleep(10);
            const HWND dialog = FindWindowW(L"#32770", title);
            if (!dialog || !IsWindowVisible(dialog))
                continue;
            Sleep(300); // painted
            saved = saveWindow(dialog, path);
            SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            return;
        }
    });
    open();
    watcher.join();
    std::printf("%ls: %s\n", path.c_str(), saved ? "saved" : "not shown");
    return saved ? 0 : 1;
}

// The word maker from the bar's button, the settings dialog as the control panel opens it.
int shootDialogs(const std::wstring& folder, unsigned flags) {
    WindowSession session(flags, 0);
    if (!session.ready())
        return 1;
    // An application with a word selected, which the word maker takes up.
    const HWND editor = CreateWindowExW(0, L"EDIT", L"中国", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                        40, 240, 80, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(editor);
    SetFocus(editor);
    SendMessageW(editor, EM_SETSEL, 0, -1);
    int failures =
        shootDialog(L"手工造词", folder + L"\\dialog-word-maker.bmp", [] { clickBarAt(110); });
    failures += shootDialog(L"输入法设置", folder + L"\\dialog-settings.bmp", [] {
        using ImeConfigureFn = BOOL(WINAPI*)(HKL, HWND, DWORD, LPVOID);
        const auto configure = reinterpret_cast<ImeConfigureFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"tovi.ime"), "ImeConfigure")));
        if (configure)
            configure(nullptr, nullptr, 1, nullptr);
    });
    DestroyWindow(editor);
    return failures;
}

// Starts the installer, saves its first page once it shows, and ends it (nothing is installed
// before the user goes on).
int shootInstaller(const std::wstring& setup, const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + setup + L"\"";
    if (!CreateProcessW(setup.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 1;
    bool saved = false;
    for (int i = 0; i < 600 && !saved; ++i) {
        Sleep(50);
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != process.dwProcessId || !IsWindowVisible(window))
                continue;
            Sleep(1000); // painted
            saved = saveWindow(window, path);
            break;
        }
    }
    const tovi::platform::UniqueHandle running(process.hProcess);
    const tovi::platform::UniqueHandle thread(process.hThread);
    TerminateProcess(running.get(), 0);
    WaitForSingleObject(running.get(), 10000);
    std::printf("%ls: %s\n", path.c_str(), saved ? "saved" : "not shown");
    return saved ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"--installer")
        return shootInstaller(argv[2], std::wstring(argv[3]) + L"\\installer.bmp");
    if (argc < 2) {
        std::printf("usage: window_screens OUTPUT-FOLDER | --installer SETUP.EXE OUTPUT-FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const unsigned hints = kFullWidthSymbols | kProgressiveHints | kRootHints | kOperationHints;
    const Scene scenes[] = {
        {L"keypad", hints | kKeypadScheme, 0, "23", {L"DEDU_CAND", L"DEDU_PROMPT", L"DEDU_STATUS"}},
        {L"keypad-vertical",
         hints | kKeypadScheme | kVerticalLayout,
         0,
         "2",
         {L"DEDU_CAND", L"DEDU_PROMPT"}},
        {L"pinyin",
         hints | kPinyinScheme,
         0,
         "zhong",
         {L"DEDU_CAND", L"DEDU_PROMPT", L"DEDU_STATUS"}},
        {L"info", (hints & ~kRootHints) | kPinyinScheme, 0, "shi<", {L"DEDU_INFO"}},
        {L"soft", hints | kKeypadScheme, 0, "", {L"DEDU_STATUS", L"DEDU_SOFTKBD"}, true},
    };
    int failures = 0;
    for (const Scene& scene : scenes)
        failures += shoot(scene, folder);
    failures += shootDialogs(folder, hints | kKeypadScheme);
    return failures ? 1 : 0;
}
