// Real mouse input on the status bar under Wine, and a second thread that reads and works the
// popup menus the bar opens while the first thread is inside the menu's loop.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace tovi {

// Real mouse input, as the system delivers it to the disabled bar (WM_SETCURSOR while the
// cursor is over it, then the button-up to the window that captured the mouse).
inline void pressButton(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    input.mi.dy = dy;
    SendInput(1, &input, sizeof(input));
}

// The thread's messages, until the input sent has arrived and been handled.
inline void handleInput() {
    MSG message;
    for (int round = 0; round < 10; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
}

// Moves the cursor to (x, y) of the window, in the screen's normalised coordinates.
inline void moveTo(HWND window, int x, int y) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    const auto normalised = [](LONG at, LONG size) {
        return static_cast<LONG>((at * 65535LL + size / 2) / (size - 1));
    };
    pressButton(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(frame.left + x, width),
                normalised(frame.top + y, height));
    handleInput();
}

// Drags the bar by its border until the cursor is past the work area's right edge, and drops it
// there; returns that edge. The mouse stays captured by the bar away from it only while its
// thread is in the foreground, as it is while the user types into the application `app`.
inline LONG dragPastWorkAreaRightEdge(HWND bar, HWND app) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ShowWindow(app, SW_SHOW);
    SetForegroundWindow(app);
    RECT frame{};
    GetWindowRect(bar, &frame);
    moveTo(bar, 1, 1); // on the border
    pressButton(MOUSEEVENTF_LEFTDOWN);
    handleInput();
    moveTo(bar, area.right - 2 - frame.left, 1);
    pressButton(MOUSEEVENTF_LEFTUP);
    handleInput();
    return area.right;
}

// Which row of the module's status picture (resource 103) a cell of the bar shows: 0 or 1, or
// -1 for neither. Only the cell's inside is compared, away from the edge a hot cell gets.
inline int rowShown(HWND bar, HMODULE module, int cell) {
    const HBITMAP picture = LoadBitmapW(module, MAKEINTRESOURCEW(103));
    const HDC screen = GetDC(bar);
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(memory, picture);
    int row = -1;
    for (int candidate = 0; candidate < 2 && row < 0; ++candidate) {
        bool same = true;
        for (int y = 3; y < 17 && same; ++y)
            for (int x = cell * 20 + 3; x < cell * 20 + 17 && same; ++x)
                same = GetPixel(screen, x, y) == GetPixel(memory, x, candidate * 20 + y);
        if (same)
            row = candidate;
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(bar, screen);
    DeleteObject(picture);
    return row;
}

inline void clickAt(HWND window, int x, int y) {
    moveTo(window, x, y);
    pressButton(MOUSEEVENTF_LEFTDOWN);
    pressButton(MOUSEEVENTF_LEFTUP);
    handleInput();
}

// What the popup menu showed: each item's text and state, the items of a cascade after a tab.
struct MenuItem {
    std::wstring text;
    UINT state = 0;
    bool checked() const { return state & MF_CHECKED; }
    bool grayed() const { return state & MF_GRAYED; }
    bool cascade() const { return state & MF_POPUP; }
};

inline std::vector<MenuItem> readMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        items.push_back({text, GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION)});
    }
    return items;
}

// The visible popup menu windows.
inline std::vector<HWND> visibleMenuWindows() {
    std::vector<HWND> windows;
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32768", nullptr)))
        if (IsWindowVisible(found))
            windows.push_back(found);
    return windows;
}

inline HMENU menuOf(HWND menuWindow) {
    return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

inline void pressInMenu(HWND menuWindow, UINT vk) {
    PostMessageW(menuWindow, WM_KEYDOWN, vk, 0);
    PostMessageW(menuWindow, WM_KEYUP, vk, 0xC0000000);
}

// Moves the highlight of `menu` down to the item at `position`, as a user does with the arrow
// keys, waiting for each step to show.
inline bool highlight(HWND menuWindow, HMENU menu, int position) {
    for (int press = 0; press < 40; ++press) {
        if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE)
            return true;
        pressInMenu(menuWindow, VK_DOWN);
        for (int wait = 0; wait < 20; ++wait) {
            Sleep(5);
            if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE)
                return true;
        }
    }
    return false;
}

// A second thread that waits for the bar's popup menu (the first thread is inside the menu's
// loop) and reads it. Then it follows `path`: the item at each position is highlighted, a cascade
// opened with the right arrow, the last item chosen with Return. An empty path dismisses the
// menu with Escape.
class MenuWatcher {
public:
    explicit MenuWatcher(std::vector<int> path = {}) : thread_([this, path] { watch(path); }) {}
    ~MenuWatcher() { finish(); }
    // Waits for the thread; the items of the menu it saw (none if no menu opened).
    const std::vector<MenuItem>& items() {
        finish();
        return items_;
    }

private:
    void finish() {
        if (thread_.joinable())
            thread_.join();
    }
    // The first visible menu window that is not one of `opened`.
    static HWND waitForNewMenu(const std::vector<HWND>& opened) {
        for (int i = 0; i < 500; ++i) {
            for (const HWND window : visibleMenuWindows())
                if (std::find(opened.begin(), opened.end(), window) == opened.end())
                    return window;
            Sleep(10);
        }
        return nullptr;
    }
    void watch(const std::vector<int>& path) {
        std::vector<HWND> opened;
        HWND window = waitForNewMenu(opened);
        if (!window)
            return;
        items_ = readMenu(menuOf(window));
        for (std::size_t level = 0; level < path.size() && window; ++level) {
            if (!highlight(window, menuOf(window), path[level]))
                break;
            if (level + 1 < path.size()) {
                opened.push_back(window);
                pressInMenu(window, VK_RIGHT);
                window = waitForNewMenu(opened);
            } else {
                // The menu chooses on the character a Return key makes.
                PostMessageW(window, WM_CHAR, L'\r', 0);
                for (int i = 0; i < 100 && !visibleMenuWindows().empty(); ++i)
                    Sleep(10);
            }
        }
        // Whatever is still open is closed, so that the first thread never stays in the menu.
        for (int i = 0; i < 200; ++i) {
            const std::vector<HWND> open = visibleMenuWindows();
            if (open.empty())
                break;
            pressInMenu(open.front(), VK_ESCAPE);
            Sleep(20);
        }
    }
    std::vector<MenuItem> items_;
    std::thread thread_;
};

// A right click on the bar at (x, y): the menu it opens is read by a MenuWatcher.
inline void rightClickAt(HWND bar, int x, int y) {
    moveTo(bar, x, y);
    pressButton(MOUSEEVENTF_RIGHTDOWN);
    pressButton(MOUSEEVENTF_RIGHTUP);
    handleInput();
}

inline std::vector<std::wstring> textsOf(const std::vector<MenuItem>& items) {
    std::vector<std::wstring> texts;
    for (const MenuItem& item : items)
        texts.push_back(item.text);
    return texts;
}

} // namespace tovi
