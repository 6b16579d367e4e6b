// The prompt window ("DEDU_PROMPT"): the root chart of the keypad scheme, or the grid of pinyin
// prompts, shown under the candidate window while root hints are on.
#pragma once

#include "ui/win32/tool_window.h"

namespace tovi {

class PromptWindow final : public ToolWindow {
public:
    explicit PromptWindow(const ToolWindowServices& services)
        : ToolWindow(L"DEDU_PROMPT", &UiPrivate::prompt, services), instance_(services.instance) {}

    // Made above the status window at the size of the scheme's content; shown.
    void create(HWND uiWindow, UiPrivate& block) override;
    // Placed under (or above) the candidate position with the info window right under it;
    // shown while there are candidates.
    void update(HWND uiWindow, UiPrivate& block) override;

protected:
    void paint(HWND window) override;

private:
    Size currentSize(HWND window);
    void paintChart(HDC dc, std::size_t codeLength);
    void paintGrid(HWND window, HDC dc);
    HBITMAP chart(int resource);

    HINSTANCE instance_;
    // The two charts, loaded from the module's resources at their first use.
    UniqueBitmap oneCharacterChart_;
    UniqueBitmap keyboardChart_;
};

} // namespace tovi
