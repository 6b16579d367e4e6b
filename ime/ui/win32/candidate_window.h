// The candidate window ("DEDU_CAND"): the typed code with its hint, and the current page of
// candidates with their labels and the paging arrows. A click pages or selects.
#pragma once

#include "ui/candidate_layout.h"
#include "ui/win32/tool_window.h"

namespace tovi {

class CandidateWindow final : public ToolWindow {
public:
    // `background` is the candidate picture (it may hold none); it outlives the window object.
    CandidateWindow(const ToolWindowServices& services, const UniqueBitmap& background)
        : ToolWindow(L"DEDU_CAND", &UiPrivate::candidate, services), background_(background) {}

    // Sized for the layout setting, hidden.
    void create(HWND uiWindow, UiPrivate& block) override;
    // Placed from the candidate record and shown while there is a code; hidden otherwise.
    void update(HWND uiWindow, UiPrivate& block) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // What the last paint drew, in client coordinates.
    const CandidateWindowLayout& lastLayout() const { return layout_; }

protected:
    void paint(HWND window) override;

private:
    void applyRegion(HWND window, const Rect& region);
    void drawFrame(HDC dc, const CandidateWindowLayout& layout) const;
    static void drawArrows(HDC dc, const PagingArrows& arrows);

    const UniqueBitmap& background_;
    Size size_;
    CandidateWindowLayout layout_;
    Rect region_;
};

} // namespace tovi
