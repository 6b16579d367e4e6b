// The module's candidate, info and prompt windows as a user sees them: the real tovi.ime under
// Wine drives them from a real UI window and IMM32 context, and the tests read their pixels.
#include "tool_windows_fixture.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

TEST_F(ToolWindows, TheListShowsTheSkinTheArrowsAndTheCandidates) {
    start(kKeypadScheme | kProgressiveHints, 2);
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    EXPECT_TRUE(IsWindowVisible(candidates));
    EXPECT_EQ(sizeOf(candidates).cx, 470);
    EXPECT_EQ(pixel(candidates, 1, 10), RGB(250, 119, 209));        // skin 2's border
    EXPECT_EQ(pixel(candidates, 470 - 12, 12), RGB(0, 0, 255));     // a next page
    EXPECT_EQ(pixel(candidates, 470 - 25, 12), RGB(160, 160, 160)); // no previous page
    // The first label and candidate are drawn below the code line.
    EXPECT_GT(pixelsUnlike(candidates, {6, 28, 60, 46}, RGB(255, 255, 255)), 20);

    key(VK_NEXT, 0);
    settle();
    EXPECT_EQ(pixel(candidates, 470 - 25, 12), RGB(0, 0, 255));     // now a previous page
    EXPECT_EQ(pixel(candidates, 470 - 12, 12), RGB(160, 160, 160)); // and no next one
}

TEST_F(ToolWindows, WithoutProgressiveHintsOnlyTheCodeBoxShows) {
    start(kKeypadScheme);
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    RECT box{};
    ASSERT_NE(GetWindowRgnBox(candidates, &box), ERROR);
    EXPECT_EQ(box.right - box.left, 110);
    EXPECT_EQ(box.bottom - box.top, 22);
    EXPECT_EQ(pixel(candidates, 1, 10), RGB(138, 255, 255)); // skin 0's border
}

TEST_F(ToolWindows, AClickOnACandidateOfTheVerticalListCommitsIt) {
    start(kKeypadScheme | kProgressiveHints | kVerticalLayout);
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    const SIZE size = sizeOf(candidates);
    EXPECT_EQ(size.cx, 210);
    EXPECT_EQ(size.cy, 210);
    // The second candidate's line starts 20 pixels under the first, which is at (6, 28).
    SendMessageW(candidates, WM_LBUTTONUP, 0, MAKELPARAM(12, 28 + 20 + 6));
    EXPECT_EQ(result(), L"中");
}

TEST_F(ToolWindows, AMessageShowsInTheYellowInfoWindow) {
    start(kKeypadScheme | kProgressiveHints | kOperationHints);
    keypad(1);
    key(VK_PRIOR, 0); // no page before the first: "已至最前页！"
    const HWND info = painted(L"DEDU_INFO");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(IsWindowVisible(info));
    const SIZE size = sizeOf(info);
    EXPECT_EQ(pixel(info, size.cx - 3, size.cy - 3), RGB(255, 255, 0));
    EXPECT_GT(pixelsUnlike(info, {2, 3, size.cx - 2, size.cy - 3}, RGB(255, 255, 0)), 20);
}

TEST_F(ToolWindows, TheKeypadPromptShowsTheChartForTheCode) {
    start(kKeypadScheme | kProgressiveHints | kRootHints);
    keypad(1);
    const HWND prompt = painted(L"DEDU_PROMPT");
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(IsWindowVisible(prompt));
    EXPECT_EQ(sizeOf(prompt).cx, 172); // the one-character chart
    EXPECT_GT(pixelsUnlike(prompt, {6, 6, 166, 91}, RGB(245, 245, 245)), 200);
    keypad(1);
    settle();
    EXPECT_EQ(sizeOf(prompt).cx, 512); // the keyboard chart
}

TEST_F(ToolWindows, ThePinyinPromptShowsTheGridOfTheRow) {
    wintest::writeBytes(scratch.file(L"vemoraSP.pmt"), promptFile(u"0 b p m f d t n l\r\n"));
    start(kPinyinScheme | kProgressiveHints | kRootHints);
    letters("zh");
    const HWND prompt = painted(L"DEDU_PROMPT");
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(IsWindowVisible(prompt));
    RECT client{};
    GetClientRect(prompt, &client);
    // The grid is seven cells of four "啊" wide and five of one "啊" high: the first row holds
    // prompts, the first cell of the last row is empty.
    const int charWidth = (client.right - 33) / 28;
    const int cellWidth = 4 * charWidth + 3;
    const int cellHeight = (client.bottom - 27) / 5 + 3;
    EXPECT_GT(
        pixelsUnlike(prompt, {8, 4, 6 + cellWidth - 3, 3 + cellHeight - 2}, RGB(245, 245, 245)), 5);
    const int lastRow = 3 + 4 * cellHeight;
    EXPECT_EQ(pixelsUnlike(prompt, {8, lastRow + 1, 6 + cellWidth - 3, lastRow + cellHeight - 2},
                           RGB(245, 245, 245)),
              0);
}

TEST_F(ToolWindows, DeactivatingTheContextHidesTheCandidateWindow) {
    start(kKeypadScheme | kProgressiveHints);
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    ASSERT_TRUE(IsWindowVisible(candidates));
    setActive(himc, FALSE);
    EXPECT_FALSE(IsWindowVisible(candidates));
}

TEST_F(ToolWindows, AWindowDraggedPastTheWorkAreaEndsFlushWithItsEdge) {
    start(kKeypadScheme | kProgressiveHints);
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT window{};
    GetWindowRect(candidates, &window);
    SetCursorPos(window.left + 200, window.top + 10);
    SendMessageW(candidates, WM_SETCURSOR, reinterpret_cast<WPARAM>(candidates),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SetCursorPos(area.right - 5, window.top + 10);
    SendMessageW(candidates, WM_MOUSEMOVE, 0, 0);
    SendMessageW(candidates, WM_MOUSEMOVE, 0, 0);
    SendMessageW(candidates, WM_RBUTTONUP, 0, 0);
    GetWindowRect(candidates, &window);
    EXPECT_EQ(window.right, area.right);
}

TEST_F(ToolWindows, RepaintingAThousandTimesLeaksNoGdiObject) {
    start(kKeypadScheme | kProgressiveHints | kOperationHints | kRootHints);
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    const HWND prompt = painted(L"DEDU_PROMPT");
    const HWND info = painted(L"DEDU_INFO");
    ASSERT_TRUE(candidates && prompt && info);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0)
        GTEST_SKIP() << "this system does not count GDI objects";
    for (int i = 0; i < 1000; ++i) {
        key(i % 2 ? VK_NEXT : VK_PRIOR, 0);
        for (const HWND window : {candidates, prompt, info}) {
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
        }
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
}

} // namespace
} // namespace tovi
