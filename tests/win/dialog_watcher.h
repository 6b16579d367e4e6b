// The module's dialogs found and worked from a second thread while the first runs the dialog's
// loop: their controls read and set with messages, their buttons pressed with BM_CLICK.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tovi {

inline std::wstring controlText(HWND dialog, int control) {
    wchar_t text[300] = {};
    GetDlgItemTextW(dialog, control, text, 300);
    return text;
}

inline void press(HWND dialog, int button) {
    SendMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
}

// The visible dialogs with this title.
inline std::vector<HWND> dialogsTitled(const wchar_t* title) {
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32770", title)))
        if (IsWindowVisible(window))
            found.push_back(window);
    return found;
}

// Waits on a second thread for the dialog titled `title`, then runs `work` on it; a dialog left
// open afterwards is closed with its cancel button, so that the first thread gets out.
class DialogWatcher {
public:
    DialogWatcher(const wchar_t* title, std::function<void(HWND)> work)
        : thread_([this, title, work] { watch(title, work); }) {}
    ~DialogWatcher() { join(); }
    // Whether the dialog showed.
    bool seen() {
        join();
        return seen_;
    }

private:
    void join() {
        if (thread_.joinable())
            thread_.join();
    }
    void watch(const wchar_t* title, const std::function<void(HWND)>& work) {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i) {
            Sleep(10);
            const std::vector<HWND> open = dialogsTitled(title);
            dialog = open.empty() ? nullptr : open.front();
        }
        if (!dialog)
            return;
        seen_ = true;
        work(dialog);
        for (int i = 0; i < 100 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) {
            press(dialog, IDCANCEL);
            Sleep(20);
        }
    }
    bool seen_ = false;
    std::thread thread_;
};

} // namespace tovi
