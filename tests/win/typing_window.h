// Real keystrokes through the input method's keyboard layout into an EDIT control, as a user
// types: the child modes of the end-to-end, companion and installer tests use them.
#pragma once

#include <windows.h>

#include <imm.h>
#include <string>

namespace tovi::wintest {

// Handles the thread's messages for a moment, as an application's loop does.
void pump();
// A key pressed and released through SendInput.
void tap(WORD key);
// `key` tapped while `modifier` is held (as Ctrl with the period).
void chord(WORD modifier, WORD key);

// The module built beside this test program, copied into the system folder and installed as a
// keyboard layout unless one with it is loaded; null when it cannot be.
HKL installBuiltLayout();
// The layout an installer registered (the Keyboard Layouts key whose IME file is tovi.ime),
// loaded; null when there is none.
HKL installedLayout();

// A top-level window with an EDIT control that has the focus, `layout` active, its input context
// open and NumLock on (the keypad types digits only then).
class TypingWindow {
public:
    explicit TypingWindow(HKL layout);
    ~TypingWindow();
    TypingWindow(const TypingWindow&) = delete;
    TypingWindow& operator=(const TypingWindow&) = delete;

    // 0 when ready, else the child mode's exit code for what failed (10 no layout, 11 no
    // window, 12 no context).
    int failure() const { return failure_; }
    // Types `keys` (keypad digits, or lower-case letters) and `confirm` (again when the first
    // only listed the candidates) until the context's result string is `expected`; false when it
    // never is (the table loads in the background, so a few attempts may be needed).
    bool typeUntil(const std::wstring& keys, WORD confirm, const std::wstring& expected) const;

private:
    HWND top_ = nullptr;
    HWND edit_ = nullptr;
    HIMC context_ = nullptr;
    int failure_ = 0;
};

} // namespace tovi::wintest
