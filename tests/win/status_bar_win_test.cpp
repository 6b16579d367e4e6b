// The status bar under Wine as a user works it with real mouse input: its buttons clicked, its
// border dragged, its three popup menus opened with the right button and read, and the soft
// keyboard they choose.
#include "status_bar_input.h"
#include "tool_windows_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace tovi {
namespace {

// Started as "Lexquire.exe" from the status bar's settings menu, this program records how it was
// started (its command line and its working folder) next to itself and ends before any test.
const bool startedAsReverseLookup = [] {
    const std::wstring self = wintest::ownExecutable();
    const auto endsWith = [&](const std::wstring& name) {
        return self.size() >= name.size() &&
               self.compare(self.size() - name.size(), name.size(), name) == 0;
    };
    // Also as "hh.exe" beside the test, where a help viewer started by bare name would be found.
    const std::wstring name = endsWith(L"Lexquire.exe") ? L"Lexquire.exe" : L"hh.exe";
    if (!endsWith(name))
        return false;
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    const std::wstring record = std::wstring(GetCommandLineW()) + L"\n" + folder;
    const std::wstring marker = self.substr(0, self.size() - name.size()) + L"launched.txt";
    wintest::writeBytes(marker, std::string(reinterpret_cast<const char*>(record.data()),
                                            record.size() * sizeof(wchar_t)));
    ExitProcess(0);
}();

class StatusBar : public ToolWindows {
protected:
    // Types `letters` and Space until the pinyin table, loading in the background, gives `word`.
    void typePinyin(const char* typed, const std::wstring& word) {
        for (int attempt = 0; attempt < 100 && result() != word; ++attempt) {
            letters(typed);
            key(VK_SPACE, L' ');
            if (result() != word) {
                key(VK_ESCAPE, 0x1B);
                Sleep(20);
            }
        }
        EXPECT_EQ(result(), word);
    }
};

TEST_F(StatusBar, EachButtonShowsItsStateAndAClickFlipsIt) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(sizeOf(bar).cx, 120);
    EXPECT_EQ(sizeOf(bar).cy, 20);
    const auto rows = [&] {
        settle();
        return std::vector<int>{rowShown(bar, module, 0), rowShown(bar, module, 2),
                                rowShown(bar, module, 3), rowShown(bar, module, 4)};
    };
    // Chinese mode, half-width letters and symbols, no soft keyboard.
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 1, 1}));
    clickAt(bar, 50, 10); // full-width letters
    clickAt(bar, 70, 10); // full-width symbols
    clickAt(bar, 90, 10); // the soft keyboard
    EXPECT_EQ(rows(), (std::vector<int>{0, 0, 0, 0}));
    // English mode turns full-width letters and symbols off; Chinese mode turns symbols on.
    clickAt(bar, 10, 10);
    EXPECT_EQ(rows(), (std::vector<int>{1, 1, 1, 0}));
    BYTE keys[256] = {};
    keys['A'] = 0x80;
    EXPECT_FALSE(processKey(himc, 'A', 1, keys)); // English mode leaves letters alone
    clickAt(bar, 10, 10);
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 0, 0}));
    clickAt(bar, 90, 10);
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 0, 1}));
    const std::string saved = unload();
    EXPECT_EQ(saved.substr(0, 17), "IME_SETTINGS " + std::to_string(kKeypadScheme | 0x1) + "\r\n");
}

TEST_F(StatusBar, TheStatusBarDraggedByItsBorderStaysInTheWorkAreaAndIsKept) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    const LONG edge = dragPastWorkAreaRightEdge(bar, app);
    RECT frame{};
    GetWindowRect(bar, &frame);
    EXPECT_EQ(frame.right, edge);
    const std::string saved = unload();
    EXPECT_NE(saved.find("IME_STATUS_X " + std::to_string(edge - 120) + "\r\n"), std::string::npos)
        << saved;
}

// Another window takes the mouse in the middle of a drag (as Alt+Tab does): the drag ends where
// it began, its outline gone, the bar not moved and nothing pressed.
TEST_F(StatusBar, ALostCaptureEndsTheDragWithoutMovingTheBarOrLeavingItsOutline) {
    start(kKeypadScheme);
    const std::string settings = wintest::readBytes(scratch.fileInUse(L"config.ini"));
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    ShowWindow(app, SW_SHOW);
    SetForegroundWindow(app);
    RECT before{};
    GetWindowRect(bar, &before);
    // A point on the top edge of the outline once the cursor is at (200, 60) of the bar.
    const POINT edge{before.left + 199 + 30, before.top + 59};
    const HDC screen = GetDC(nullptr);
    const COLORREF plain = GetPixel(screen, edge.x, edge.y);
    moveTo(bar, 1, 1); // on the border
    pressButton(MOUSEEVENTF_LEFTDOWN);
    handleInput();
    moveTo(bar, 200, 60);
    const COLORREF outlined = GetPixel(screen, edge.x, edge.y);
    SetCapture(app);
    handleInput();
    const COLORREF afterwards = GetPixel(screen, edge.x, edge.y);
    ReleaseDC(nullptr, screen);
    pressButton(MOUSEEVENTF_LEFTUP);
    handleInput();
    ReleaseCapture();
    EXPECT_NE(outlined, plain); // the outline was drawn there
    EXPECT_EQ(afterwards, plain);
    RECT after{};
    GetWindowRect(bar, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(GetWindowLongW(bar, 4), 0); // the bar's mouse state: nothing pressed
    // Nothing changed, so nothing was written.
    EXPECT_EQ(unload(), settings);
}

TEST_F(StatusBar, TheRightButtonOpensTheMenuOfTheCellUnderIt) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    {
        MenuWatcher watcher;
        rightClickAt(bar, 30, 10); // the scheme letter
        const std::vector<MenuItem> modes = watcher.items();
        EXPECT_EQ(textsOf(modes), (std::vector<std::wstring>{L"朔昕拼形", L"汉语拼音"}));
        ASSERT_EQ(modes.size(), 2u);
        EXPECT_TRUE(modes[0].checked());
        EXPECT_FALSE(modes[1].checked());
    }
    {
        MenuWatcher watcher;
        rightClickAt(bar, 90, 10); // the soft keyboard
        const std::vector<MenuItem> keyboards = watcher.items();
        ASSERT_EQ(keyboards.size(), 13u);
        EXPECT_EQ(keyboards[0].text, L"常用符号");
        EXPECT_TRUE(keyboards[0].checked());
        EXPECT_EQ(keyboards[9].text, L"日文片假名");
        EXPECT_EQ(keyboards[10].text, L"日文平假名");
    }
    {
        MenuWatcher watcher;
        rightClickAt(bar, 50, 10); // anywhere else: the settings
        const std::vector<MenuItem> settings = watcher.items();
        EXPECT_EQ(
            textsOf(settings),
            (std::vector<std::wstring>{L"属性设置...", L"选软键盘", L"繁体　　Ctrl + J", L"",
                                       L"帮助...", L"编码速查字典...", L"朔昕输入法反向查找..."}));
        ASSERT_EQ(settings.size(), 7u);
        EXPECT_TRUE(settings[1].cascade());
        EXPECT_FALSE(settings[0].grayed());
        EXPECT_FALSE(settings[2].checked());
    }
}

TEST_F(StatusBar, ChoosingPinyinInTheInputModeMenuSwitchesTheScheme) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    {
        MenuWatcher watcher({1}); // 汉语拼音
        clickAt(bar, 30, 10);     // a left click on the letter opens the same menu
        EXPECT_EQ(watcher.items().size(), 2u);
    }
    typePinyin("zhongguo", L"中国");
    const std::string saved = unload();
    EXPECT_EQ(saved.substr(0, 17), "IME_SETTINGS " + std::to_string(kPinyinScheme) + "\r\n");
}

// Scheme 0 has no engine: every menu command still does what it says, or nothing, and the input
// mode menu brings an engine back.
TEST_F(StatusBar, MenusWorkWithoutAnEngine) {
    start(0);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    // Dismissed, 繁体, and the two help files, which are missing.
    for (const std::vector<int>& path : {std::vector<int>{}, {2}, {4}, {5}}) {
        MenuWatcher watcher(path);
        rightClickAt(bar, 50, 10);
        EXPECT_EQ(watcher.items().size(), 7u);
    }
    {
        MenuWatcher watcher({3}); // 表格线
        rightClickAt(bar, 90, 10);
        EXPECT_EQ(watcher.items().size(), 13u);
    }
    EXPECT_NE(painted(L"DEDU_SOFTKBD"), nullptr);
    {
        MenuWatcher watcher({0}); // 朔昕拼形
        rightClickAt(bar, 30, 10);
        ASSERT_EQ(watcher.items().size(), 2u);
        EXPECT_FALSE(watcher.items()[0].checked()); // neither scheme is current
        EXPECT_FALSE(watcher.items()[1].checked());
    }
    // The keypad engine takes the keys now, and the soft keyboard is still the box-drawing one.
    key('1', L'1');
    EXPECT_EQ(result(), L"┍");
}

TEST_F(StatusBar, ASoftKeyboardChosenFromAMenuShowsItsKeysAndTypesItsSymbols) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(rowShown(bar, module, 4), 1);
    {
        MenuWatcher watcher({11}); // 希腊字母
        rightClickAt(bar, 90, 10);
        ASSERT_EQ(watcher.items().size(), 13u);
    }
    const HWND keyboard = painted(L"DEDU_SOFTKBD");
    ASSERT_NE(keyboard, nullptr);
    EXPECT_TRUE(IsWindowVisible(keyboard));
    EXPECT_EQ(rowShown(bar, module, 4), 0);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame{};
    GetWindowRect(keyboard, &frame);
    EXPECT_EQ(frame.right, area.right);
    EXPECT_EQ(frame.bottom, area.bottom);
    // The keys are drawn: symbols in the key caps, not just their faces.
    RECT client{};
    GetClientRect(keyboard, &client);
    EXPECT_GT(
        pixelsUnlike(keyboard, {4, 22, client.right - 4, client.bottom - 4}, RGB(250, 250, 250)),
        2000);

    key('A', L'a');
    EXPECT_EQ(result(), L"κ");
    key('A', L'A', true);
    EXPECT_EQ(result(), L"Κ");

    // Another layout from the settings menu's cascade takes the same window at the same place.
    {
        MenuWatcher watcher({1, 12}); // 选软键盘 ▸ 俄文字母
        rightClickAt(bar, 10, 10);
        EXPECT_EQ(watcher.items().size(), 7u);
    }
    settle();
    EXPECT_EQ(findThreadWindow(L"DEDU_SOFTKBD"), keyboard);
    RECT again{};
    GetWindowRect(keyboard, &again);
    EXPECT_TRUE(EqualRect(&frame, &again));
    key('A', L'a');
    EXPECT_EQ(result(), L"л");
    key(VK_OEM_1, L';');
    EXPECT_EQ(result(), L"ф");

    // It hides and shows with the status window, and the button puts it away.
    SendMessageW(ui, WM_IME_NOTIFY, IMN_CLOSESTATUSWINDOW, 0);
    EXPECT_FALSE(IsWindowVisible(keyboard));
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(keyboard));
    clickAt(bar, 90, 10);
    settle();
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(rowShown(bar, module, 4), 1);
}

TEST_F(StatusBar, TheTraditionalItemTogglesAndShowsItsCheck) {
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    {
        MenuWatcher watcher({2});   // 繁体
        rightClickAt(bar, 110, 10); // the word maker's button opens the settings menu too
        EXPECT_FALSE(watcher.items().at(2).checked());
    }
    MenuWatcher watcher;
    rightClickAt(bar, 110, 10);
    EXPECT_TRUE(watcher.items().at(2).checked());
}

// The settings menu's last item starts "Lexquire.exe" of the installation folder, whose name has a
// space and Chinese characters; the program records how it was started.
class ReverseLookup : public StatusBar {
protected:
    void choose() {
        const HWND bar = painted(L"DEDU_STATUS");
        ASSERT_NE(bar, nullptr);
        MenuWatcher watcher({6}); // 朔昕输入法反向查找...
        rightClickAt(bar, 50, 10);
        EXPECT_EQ(watcher.items().size(), 7u);
    }
    std::wstring record(DWORD waitMs) const {
        const std::wstring marker = scratch.file(L"launched.txt");
        for (DWORD waited = 0; waited < waitMs; waited += 50) {
            if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
                Sleep(100); // written whole
                const std::string bytes = wintest::readBytes(marker);
                return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                                    bytes.size() / sizeof(wchar_t));
            }
            Sleep(50);
        }
        return {};
    }
};

TEST_F(ReverseLookup, StartsTheProgramByItsQuotedPathInItsFolder) {
    ASSERT_TRUE(
        CopyFileW(wintest::ownExecutable().c_str(), scratch.file(L"Lexquire.exe").c_str(), FALSE));
    start(kKeypadScheme);
    choose();
    EXPECT_EQ(record(20000), L"\"" + scratch.file(L"Lexquire.exe") + L"\"\n" + scratch.path());
}

// The help viewer starts from the Windows folder: a program called hh.exe in the folder it is
// started in (the installation folder), searched first for a bare name, never runs.
TEST_F(ReverseLookup, HelpStartsTheSystemsViewerNotAProgramOfItsFolder) {
    const std::wstring self = wintest::ownExecutable();
    const std::wstring impostor = scratch.file(L"hh.exe");
    const std::wstring marker = scratch.file(L"launched.txt");
    ASSERT_TRUE(CopyFileW(self.c_str(), impostor.c_str(), FALSE));
    wintest::writeBytes(scratch.file(L"tovi.chm"), "ITSF");
    start(kKeypadScheme);
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    {
        MenuWatcher watcher({4}); // 帮助...
        rightClickAt(bar, 50, 10);
        EXPECT_EQ(watcher.items().size(), 7u);
    }
    // The program is started before the menu command returns; an impostor writes its record at
    // once.
    bool ran = false;
    for (DWORD waited = 0; waited < 3000 && !ran; waited += 50) {
        ran = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
        Sleep(50);
    }
    EXPECT_FALSE(ran);
    DeleteFileW(marker.c_str());
    for (int i = 0; i < 100 && !DeleteFileW(impostor.c_str()); ++i)
        Sleep(50);
}

TEST_F(ReverseLookup, AMissingProgramIsReportedInTheInfoWindow) {
    start(kKeypadScheme | kOperationHints);
    const HWND info = painted(L"DEDU_INFO");
    ASSERT_NE(info, nullptr);
    const SIZE before = sizeOf(info);
    choose();
    settle();
    // The message "找不到文件：Lexquire.exe" widens the window and is drawn in it.
    const SIZE after = sizeOf(info);
    EXPECT_GT(after.cx, before.cx);
    EXPECT_GT(pixelsUnlike(info, {2, 3, after.cx - 2, after.cy - 3}, RGB(255, 255, 0)), 50);
}

TEST_F(ReverseLookup, NothingStartsOnTheLogonDesktop) {
    ASSERT_TRUE(
        CopyFileW(wintest::ownExecutable().c_str(), scratch.file(L"Lexquire.exe").c_str(), FALSE));
    start(kKeypadScheme);
    using ImeInquireFn = BOOL(WINAPI*)(LPIMEINFO, LPWSTR, DWORD);
    IMEINFO imeInfo{};
    wchar_t uiClass[64] = {};
    ASSERT_TRUE(
        exported<ImeInquireFn>(module, "ImeInquire")(&imeInfo, uiClass, IME_SYSINFO_WINLOGON));
    choose();
    EXPECT_EQ(record(1500), L"");
}

} // namespace
} // namespace tovi
