#include "window_classes.h"

#include "exception_barrier.h"
#include "exports.h"
#include "process_host.h"
#include "thread_ui.h"

namespace tovi {
namespace {

HINSTANCE gRegisteredWith = nullptr;

// Hands a tool window's messages to the object of the window's thread (the one running this),
// after noting the handle the class was called for; without settings there is no object to ask.
template <typename Window>
LRESULT forward(Window ThreadUi::*object, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ThreadUi* ui = threadUiPtr();
    if (!ui || !modulePtr())
        return 0;
    ToolWindow& tool = ui->*object;
    tool.setHandle(window);
    return tool.windowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK promptWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(
        0, [&] { return forward(&ThreadUi::promptWindow, window, message, wParam, lParam); });
}

LRESULT CALLBACK infoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(
        0, [&] { return forward(&ThreadUi::infoWindow, window, message, wParam, lParam); });
}

LRESULT CALLBACK softKeyboardWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(0, [&] {
        ThreadUi* ui = threadUiPtr();
        if (!ui)
            return DefWindowProcW(window, message, wParam, lParam);
        return ui->softKeyboardWindow.windowProc(window, message, wParam, lParam);
    });
}

bool registerOne(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int extraBytes,
                 LPCWSTR cursor) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.style = CS_IME | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = proc;
    cls.cbWndExtra = extraBytes;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, cursor);
    cls.lpszClassName = name;
    return RegisterClassExW(&cls) != 0;
}

} // namespace

LRESULT candidateWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return forward(&ThreadUi::candidateWindow, window, message, wParam, lParam);
}

LRESULT statusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return forward(&ThreadUi::statusWindow, window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    gRegisteredWith = instance;
    // The UI window keeps the context and its private block; the tool windows three values.
    constexpr int kUiExtra = 2 * sizeof(LONG_PTR);
    constexpr int kToolExtra = 3 * sizeof(LONG_PTR);
    registerOne(instance, L"ZHPYUI", UIWndProc, kUiExtra, IDC_ARROW) &&
        registerOne(instance, L"DEDU_CAND", CandWndProc, kToolExtra, IDC_SIZE) &&
        registerOne(instance, L"DEDU_PROMPT", promptWndProc, kToolExtra, IDC_SIZE) &&
        registerOne(instance, L"DEDU_INFO", infoWndProc, kToolExtra, IDC_SIZE) &&
        registerOne(instance, L"DEDU_STATUS", StatusWndProc, kToolExtra, IDC_SIZE) &&
        registerOne(instance, kSoftKeyboardClass, softKeyboardWndProc, 0, IDC_ARROW);
}

void UnregisterClasses() {
    for (const wchar_t* name : {L"DEDU_PROMPT", L"DEDU_INFO", L"DEDU_CAND", L"DEDU_STATUS",
                                kSoftKeyboardClass, L"ZHPYUI"}) {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof(cls);
        if (GetClassInfoExW(gRegisteredWith, name, &cls))
            UnregisterClassW(name, gRegisteredWith);
    }
}

} // namespace tovi
