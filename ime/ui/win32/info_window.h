// The info window ("DEDU_INFO"): one short message in a yellow box, shown while operation hints
// are on.
#pragma once

#include "ui/info_window.h"
#include "ui/win32/tool_window.h"

namespace tovi {

class InfoWindow final : public ToolWindow {
public:
    explicit InfoWindow(const ToolWindowServices& services)
        : ToolWindow(L"DEDU_INFO", &UiPrivate::info, services) {}

    // Made above the status window, one small line high; shown.
    void create(HWND uiWindow, UiPrivate& block) override;
    // Without the prompt window, placed under the candidate window as large as the message.
    void update(HWND uiWindow, UiPrivate& block) override;

    // Shows the current message at once, sized to it (or hides the window when there is none to
    // show): a message may come without a composition change that would update the window.
    void showMessage();

protected:
    void paint(HWND window) override;

private:
    // Sizes the window to the message and keeps it in the work area; false when nothing shows.
    bool fitToMessage(HWND window, InfoWindowLayout& layout);
};

} // namespace tovi
