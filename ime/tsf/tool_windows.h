// A text service's tool windows: the status, candidate, prompt and info windows and the soft
// keyboard of the calling thread (the same windows and painters the IMM32 module drives from its
// UI window), owned here by a hidden window of the text service's own, with their records.
#pragma once

#include "ui/win32/window_record.h"

#include <optional>
#include <windows.h>

namespace tovi {
class ThreadUi;
}

namespace tovi::tsf {

class ToolWindows {
public:
    ToolWindows() = default;
    ~ToolWindows();
    ToolWindows(const ToolWindows&) = delete;
    ToolWindows& operator=(const ToolWindows&) = delete;

    // The status bar (and the hint windows and the soft keyboard the settings show) for a
    // document that has the focus; `document` is its window (null when unknown), which owns the
    // dialogs the status bar opens.
    void showStatus(HWND document);
    // Places the candidate window below `textExtent` (screen coordinates of the composition;
    // none when the document cannot tell) and brings the candidate, prompt and info windows up
    // to date.
    void update(const std::optional<RECT>& textExtent);
    // Hides every tool window (no document has the focus).
    void hide();
    // Destroys the windows and the owner (the text service deactivates).
    void destroy();

    HWND owner() const { return owner_; }
    const UiPrivate& records() const { return records_; }

private:
    bool makeOwner();
    ThreadUi* threadUi();

    HWND owner_ = nullptr;
    UiPrivate records_{};
    bool placed_ = false;
};

// Registers the owner window's class with the DLL's instance; false when it cannot.
bool registerOwnerClass(HINSTANCE instance);
void unregisterOwnerClass(HINSTANCE instance);

} // namespace tovi::tsf
