// The info window ("DEDU_INFO"): one short message in a yellow box, shown while operation hints
// are on.
#pragma once

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

protected:
    void paint(HWND window) override;
};

} // namespace tovi
