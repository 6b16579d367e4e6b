// The module's modal dialogs, run on an object of their own: the object reaches the dialog's
// handlers, the dialog opens centred on the screen, Cancel closes it, and nothing thrown leaves
// its procedure. While the dialog runs, the module's other threads go on.
#pragma once

#include "dialog_placement.h"
#include "exception_barrier.h"

#include <windows.h>

namespace tovi {

template <typename State>
struct DialogHandlers {
    void (*init)(HWND dialog, State& state);
    // A WM_COMMAND; true when the dialog handled it.
    bool (*command)(HWND dialog, State& state, WORD id, WORD notification);
};

namespace modal_dialog_detail {

template <typename State>
struct Run {
    State& state;
    DialogHandlers<State> handlers;
};

template <typename State>
INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            centreOnScreen(dialog);
            auto& run = *reinterpret_cast<Run<State>*>(lParam);
            run.handlers.init(dialog, run.state);
            return TRUE;
        }
        auto* run = reinterpret_cast<Run<State>*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (message != WM_COMMAND || !run)
            return FALSE;
        if (run->handlers.command(dialog, run->state, LOWORD(wParam), HIWORD(wParam)))
            return TRUE;
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        EndDialog(dialog, 1);
        return TRUE;
    });
}

} // namespace modal_dialog_detail

// Runs dialog `resource` modally, owned by `owner` (which may be null), on `state`.
template <typename State>
void runModalDialog(HINSTANCE instance, int resource, HWND owner, State& state,
                    DialogHandlers<State> handlers) {
    modal_dialog_detail::Run<State> run{state, handlers};
    // The dialog's procedure enters the module for each message; the other threads use it in
    // between.
    const ModuleGate::Released released(moduleGate());
    DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner,
                    modal_dialog_detail::procedure<State>, reinterpret_cast<LPARAM>(&run));
}

} // namespace tovi
