// The module's candidate, info and prompt windows as a user sees them: the real tovi.ime under
// Wine drives them from a real UI window and IMM32 context, and the tests read their pixels.
#include "boundary/imm_ddk.h"
#include "tables/code_table_file.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tovi {
namespace {

using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImeProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, CONST LPBYTE);
using ImeToAsciiExFn = UINT(WINAPI*)(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC);
using ImeSetActiveContextFn = BOOL(WINAPI*)(HIMC, BOOL);

template <typename Fn>
Fn exported(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Settings bits of config.ini.
constexpr unsigned kKeypadScheme = 0x20;
constexpr unsigned kPinyinScheme = 0x40;
constexpr unsigned kRootHints = 0x4;
constexpr unsigned kOperationHints = 0x8;
constexpr unsigned kProgressiveHints = 0x100;
constexpr unsigned kVerticalLayout = 0x200;

// Twelve candidates for the keypad code "1": a first page of nine and a second one.
std::string keypadTable() {
    CodeTableData data(CodeTableLayout::Digits);
    const char16_t* entries[][2] = {{u"11", u"一"},  {u"12", u"中"},  {u"13", u"三"},
                                    {u"14", u"四"},  {u"15", u"五"},  {u"111", u"二"},
                                    {u"112", u"人"}, {u"113", u"大"}, {u"114", u"小"},
                                    {u"115", u"上"}, {u"121", u"下"}, {u"122", u"天"}};
    for (const auto& [code, text] : entries)
        data.append(code, text);
    return writeCodeTable(data);
}

// "zhong" and "zhongguo" for the pinyin scheme.
std::string pinyinTable() {
    CodeTableData data(CodeTableLayout::Letters);
    data.append(u"zhong", u"中");
    data.append(u"zhongguo", u"中国");
    return writeCodeTable(data);
}

// A prompt file with the one row every pinyin code shows: a mark, then UTF-16 text.
std::string promptFile(std::u16string_view row) {
    std::string bytes("\xFF\xFE");
    for (const char16_t unit : row) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

HWND findThreadWindow(const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        HWND found;
    } search{className, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wcscmp(name, s->name) != 0)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class ToolWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"tovi-test-editor";
        RegisterClassW(&cls);
    }
    // Loads the module with these settings, opens a context with a UI window as IMM32 does, and
    // waits until the table has loaded.
    void start(unsigned flags, int skin = 0) {
        wintest::writeBytes(scratch.file(L"toviwb.mb"), keypadTable());
        wintest::writeBytes(scratch.file(L"tovipy.mb"), pinyinTable());
        wintest::writeBytes(scratch.file(L"config.ini"), "IME_SETTINGS " + std::to_string(flags) +
                                                             "\r\nIME_SKIN " +
                                                             std::to_string(skin) + "\r\n");
        module = LoadLibraryW(L"tovi.ime");
        ASSERT_NE(module, nullptr);
        select = exported<ImeSelectFn>(module, "ImeSelect");
        processKey = exported<ImeProcessKeyFn>(module, "ImeProcessKey");
        toAscii = exported<ImeToAsciiExFn>(module, "ImeToAsciiEx");
        setActive = exported<ImeSetActiveContextFn>(module, "ImeSetActiveContext");
        app = CreateWindowExW(0, L"tovi-test-editor", L"editor", WS_OVERLAPPEDWINDOW, 100, 100, 400,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        himc = ImmCreateContext();
        ASSERT_TRUE(app && himc && select && processKey && toAscii && setActive);
        ASSERT_TRUE(select(himc, TRUE));
        INPUTCONTEXT* ic = ImmLockIMC(himc);
        ic->hWnd = app;
        ImmUnlockIMC(himc);
        ui = CreateWindowExW(0, L"ZHPYUI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, module,
                             nullptr);
        ASSERT_NE(ui, nullptr);
        SetWindowLongPtrW(ui, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(himc));
        SendMessageW(ui, WM_IME_SETCONTEXT, TRUE, 0);
        SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        // Once the table is there, "12" on the keypad (one entry equal to it) or "zhong" and
        // Space in pinyin commit at once.
        const bool pinyin = flags & kPinyinScheme;
        for (int attempt = 0; attempt < 100 && result() != L"中"; ++attempt) {
            if (pinyin) {
                letters("zhong");
                key(VK_SPACE, L' ');
            } else {
                keypad(1);
                keypad(2);
                keypad(0);
            }
            if (result() != L"中") {
                key(VK_ESCAPE, 0x1B);
                Sleep(20);
            }
        }
        ASSERT_EQ(result(), L"中") << "the table did not load";
    }
    void TearDown() override { unload(); }
    // Closes the context and unloads the module (detach writes config.ini); returns the file.
    std::string unload() {
        if (ui)
            DestroyWindow(std::exchange(ui, nullptr));
        if (himc)
            ImmDestroyContext(std::exchange(himc, nullptr));
        if (app)
            DestroyWindow(std::exchange(app, nullptr));
        if (module)
            FreeLibrary(std::exchange(module, nullptr));
        for (int i = 0; i < 1000 && GetModuleHandleW(L"tovi.ime"); ++i)
            Sleep(10);
        return wintest::readBytes(scratch.file(L"config.ini"));
    }

    // A key as IMM32 hands it over, then the composition message the application passes on.
    void key(UINT vk, wchar_t unit) {
        BYTE keys[256] = {};
        keys[vk] = 0x80;
        if (!processKey(himc, vk, 1, keys))
            return;
        struct {
            TRANSMSGLIST list;
            TRANSMSG more[31];
        } buffer{};
        buffer.list.uMsgCount = 32;
        toAscii(vk | (static_cast<UINT>(unit) << 16), 1, keys, &buffer.list, 0, himc);
        SendMessageW(ui, WM_IME_COMPOSITION, 0, 0);
    }
    void keypad(int digit) { key(VK_NUMPAD0 + static_cast<UINT>(digit), L'0' + digit); }
    void letters(const char* typed) {
        for (const char* c = typed; *c; ++c)
            key(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
    }
    std::wstring result() const { return wintest::resultString(himc); }
    // The window of `className` once the thread's messages are handled, as an application's
    // message loop does (a window that resizes itself while painting paints again).
    HWND painted(const wchar_t* className) {
        const HWND window = findThreadWindow(className);
        settle();
        return window;
    }
    static void settle() {
        MSG message;
        for (int round = 0; round < 3; ++round)
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
    }
    static COLORREF pixel(HWND window, int x, int y) {
        const HDC dc = GetDC(window);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    }
    // How many pixels of the client rectangle differ from `background`.
    static int pixelsUnlike(HWND window, RECT area, COLORREF background) {
        const HDC dc = GetDC(window);
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += GetPixel(dc, x, y) != background;
        ReleaseDC(window, dc);
        return count;
    }
    static SIZE sizeOf(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return {r.right - r.left, r.bottom - r.top};
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    HMODULE module = nullptr;
    ImeSelectFn select = nullptr;
    ImeProcessKeyFn processKey = nullptr;
    ImeToAsciiExFn toAscii = nullptr;
    ImeSetActiveContextFn setActive = nullptr;
    HWND app = nullptr;
    HWND ui = nullptr;
    HIMC himc = nullptr;
};

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

// The sum of a cell's inner pixels, inside the edge a hot cell gets.
long cellSignature(HWND bar, int cell) {
    const HDC dc = GetDC(bar);
    long sum = 0;
    for (int y = 3; y < 17; ++y)
        for (int x = cell * 20 + 3; x < cell * 20 + 17; ++x)
            sum += static_cast<long>(GetPixel(dc, x, y) & 0xFFFFFF) % 9973;
    ReleaseDC(bar, dc);
    return sum;
}

void clickAt(HWND window, int x, int y) {
    RECT frame{};
    GetWindowRect(window, &frame);
    SetCursorPos(frame.left + x, frame.top + y);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST_F(ToolWindows, AClickOnTheStatusBarTogglesFullWidthLettersAndTheBarShowsIt) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(sizeOf(bar).cx, 120);
    EXPECT_EQ(sizeOf(bar).cy, 20);
    const long halfWidth = cellSignature(bar, 2);
    clickAt(bar, 50, 10);
    settle();
    EXPECT_NE(cellSignature(bar, 2), halfWidth); // the other look of the button
    clickAt(bar, 50, 10);
    settle();
    EXPECT_EQ(cellSignature(bar, 2), halfWidth);
    clickAt(bar, 50, 10);
    const std::string saved = unload();
    EXPECT_EQ(saved.substr(0, 17), "IME_SETTINGS " + std::to_string(kKeypadScheme | 0x2) + "\r\n");
}

TEST_F(ToolWindows, TheStatusBarDraggedByItsBorderStaysInTheWorkAreaAndIsKept) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame{};
    GetWindowRect(bar, &frame);
    SetCursorPos(frame.left + 1, frame.top + 1); // on the border
    SendMessageW(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SetCursorPos(area.right - 2, frame.top + 1);
    SendMessageW(bar, WM_MOUSEMOVE, 0, 0);
    SendMessageW(bar, WM_LBUTTONUP, 0, 0);
    GetWindowRect(bar, &frame);
    EXPECT_EQ(frame.right, area.right);
    const std::string saved = unload();
    EXPECT_NE(saved.find("IME_STATUS_X " + std::to_string(area.right - 120) + "\r\n"),
              std::string::npos)
        << saved;
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
