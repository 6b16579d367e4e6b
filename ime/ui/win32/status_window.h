// The status bar ("DEDU_STATUS"): six buttons that show and switch the input state, dragged by
// its 4-pixel border.
#pragma once

#include "ui/status_bar_layout.h"
#include "ui/win32/tool_window.h"

namespace tovi {

class StatusWindow final : public ToolWindow {
public:
    // `picture` is the status bar picture from the installation folder (it may hold none: the
    // module's own resource is drawn then); it outlives the window object.
    StatusWindow(const ToolWindowServices& services, const UniqueBitmap& picture)
        : ToolWindow(L"DEDU_STATUS", &UiPrivate::status, services), picture_(picture),
          instance_(services.instance) {}

    // Made where the settings keep it, inside the work area; shown.
    void create(HWND uiWindow, UiPrivate& block) override;
    // The bar changes only when its state does.
    void update(HWND, UiPrivate&) override {}
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void paint(HWND window) override;

private:
    HBITMAP picture();
    bool onSetCursor(HWND window, UINT mouseMessage);
    void onButtonUp(HWND window);
    void onRightButtonUp(HWND window);
    void onCaptureLost(HWND window);
    void openMenu(HWND window, StatusMenu menu);
    void onHoverCheck(HWND window);
    StatusCell cellUnder(HWND window) const;
    void setHot(HWND window, StatusCell cell);

    const UniqueBitmap& picture_;
    HINSTANCE instance_;
    UniqueBitmap resourcePicture_;
    StatusCell hot_ = StatusCell::None;
    bool pressed_ = false;
    bool moving_ = false;
    UINT_PTR hoverTimer_ = 0;
    Point dragOffset_;
    Rect dragFrame_;
};

} // namespace tovi
