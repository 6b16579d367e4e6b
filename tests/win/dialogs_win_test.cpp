// The word maker and the settings dialog under Wine, opened from the status bar as a user opens
// them; a second thread finds each dialog, reads and sets its controls with messages and presses
// its buttons with BM_CLICK while the first thread runs the dialog's loop.
#include "dialog_watcher.h"
#include "status_bar_input.h"
#include "tool_windows_fixture.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

class Dialogs : public ToolWindows {
protected:
    // The application in the foreground with an edit control holding `text`, all of it
    // selected and focused, as a user leaves it before opening the word maker.
    void selectInEditor(const wchar_t* text) {
        ShowWindow(app, SW_SHOW);
        SetForegroundWindow(app);
        editor = CreateWindowExW(0, L"EDIT", text, WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, app,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(editor, nullptr);
        SetFocus(editor);
        SendMessageW(editor, EM_SETSEL, 0, -1);
    }
    void openWordMaker() {
        const HWND bar = painted(L"DEDU_STATUS");
        ASSERT_NE(bar, nullptr);
        clickAt(bar, 110, 10);
    }
    // The settings dialog from the settings menu's first item.
    void openSettings() {
        const HWND bar = painted(L"DEDU_STATUS");
        ASSERT_NE(bar, nullptr);
        MenuWatcher menu({0});
        rightClickAt(bar, 50, 10);
        EXPECT_EQ(menu.items().size(), 7u);
    }
    // Types a keypad code, then 0, which takes the first candidate.
    void typeCode(const char* digits) {
        for (const char* d = digits; *d; ++d)
            keypad(*d - '0');
        keypad(0);
    }
    HWND editor = nullptr;
};

TEST_F(Dialogs, TheWordMakerAddsTheSelectedWordUnderItsCodeAndDeletesItAgain) {
    start(kKeypadScheme | kOperationHints);
    selectInEditor(L"上下");
    std::wstring word;
    std::wstring code;
    int open = 0;
    {
        DialogWatcher watcher(L"手工造词", [&](HWND dialog) {
            word = controlText(dialog, 1036);
            code = controlText(dialog, 1034);
            // The button again while the dialog is open opens no second one.
            const HWND bar = findThreadWindow(L"DEDU_STATUS");
            SendMessageW(bar, WM_LBUTTONUP, 0, 0);
            Sleep(100);
            open = static_cast<int>(dialogsTitled(L"手工造词").size());
            press(dialog, IDOK);
            EXPECT_EQ(controlText(dialog, 1034), L"");
            EXPECT_EQ(controlText(dialog, 1036), L"");
        });
        openWordMaker();
        EXPECT_TRUE(watcher.seen());
    }
    EXPECT_EQ(word, L"上下");
    EXPECT_EQ(code, L"1151"); // three units of 上's code, one of 下's
    EXPECT_EQ(open, 1);
    typeCode("1151");
    EXPECT_EQ(result(), L"上下");

    {
        DialogWatcher watcher(L"手工造词", [&](HWND dialog) {
            SetDlgItemTextW(dialog, 1034, L"1151");
            SetDlgItemTextW(dialog, 1036, L"上下");
            press(dialog, 1064);
            EXPECT_EQ(controlText(dialog, 1036), L"");
        });
        openWordMaker();
        EXPECT_TRUE(watcher.seen());
    }
    typeCode("12");
    ASSERT_EQ(result(), L"中");
    typeCode("1151"); // nothing under the code now: nothing is committed
    EXPECT_EQ(result(), L"中");
}

TEST_F(Dialogs, ARefusedWordLeavesTheDialogAsItIs) {
    start(kKeypadScheme | kOperationHints);
    const std::string before = wintest::readBytes(scratch.file(L"toviwb.mb"));
    {
        DialogWatcher watcher(L"手工造词", [&](HWND dialog) {
            SetDlgItemTextW(dialog, 1034, L"abc"); // letters in the keypad scheme
            SetDlgItemTextW(dialog, 1036, L"上下");
            press(dialog, IDOK);
            EXPECT_EQ(controlText(dialog, 1034), L"abc");
            EXPECT_EQ(controlText(dialog, 1036), L"上下");
        });
        openWordMaker();
        EXPECT_TRUE(watcher.seen());
    }
    EXPECT_EQ(wintest::readBytes(scratch.fileInUse(L"toviwb.mb")), before);
}

TEST_F(Dialogs, TheVerticalLayoutChosenInTheSettingsShapesTheNextCandidateWindow) {
    start(kKeypadScheme | kProgressiveHints);
    {
        DialogWatcher watcher(L"输入法设置", [&](HWND dialog) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, 1069), BST_CHECKED); // 逐渐提示
            EXPECT_EQ(IsDlgButtonChecked(dialog, 1074), BST_UNCHECKED);
            EXPECT_TRUE(GetDlgItem(dialog, 1050) && !IsWindowVisible(GetDlgItem(dialog, 1050)));
            press(dialog, 1074); // 竖排显示
            press(dialog, IDOK);
        });
        openSettings();
        EXPECT_TRUE(watcher.seen());
    }
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    EXPECT_EQ(sizeOf(candidates).cx, 210);
    EXPECT_EQ(sizeOf(candidates).cy, 210);
    const std::string saved = unload();
    EXPECT_EQ(saved.substr(0, 18),
              "IME_SETTINGS " + std::to_string(kKeypadScheme | kProgressiveHints | 0x200) + "\r\n");
}

// The skins of the package folder, copied into the installation folder.
class Skins : public Dialogs {
protected:
    void SetUp() override {
        CreateDirectoryW(scratch.file(L"skin").c_str(), nullptr);
        for (const wchar_t* name :
             {L"default.bmp", L"skin-01.bmp", L"skin-02.bmp", L"skin-03.bmp", L"skin-04.bmp",
              L"cand-0.bmp", L"cand-1.bmp", L"cand-2.bmp", L"cand-3.bmp", L"cand-4.bmp"})
            ASSERT_TRUE(CopyFileW((std::wstring(TOVI_DIST_DIR) + L"\\skin\\" + name).c_str(),
                                  scratch.file(std::wstring(L"skin\\") + name).c_str(), FALSE))
                << "no artwork in the package folder";
        for (const wchar_t* name : {L"tovi.bmp", L"tovi_cand.bmp"})
            ASSERT_TRUE(CopyFileW((std::wstring(TOVI_DIST_DIR) + L"\\" + name).c_str(),
                                  scratch.file(name).c_str(), FALSE));
    }
    void TearDown() override {
        unload();
        for (const wchar_t* name :
             {L"default.bmp", L"skin-01.bmp", L"skin-02.bmp", L"skin-03.bmp", L"skin-04.bmp",
              L"cand-0.bmp", L"cand-1.bmp", L"cand-2.bmp", L"cand-3.bmp", L"cand-4.bmp"})
            DeleteFileW(scratch.file(std::wstring(L"skin\\") + name).c_str());
        RemoveDirectoryW(scratch.file(L"skin").c_str());
    }
    // Chooses the list entry `index` as a click in the list does.
    static void chooseSkin(HWND dialog, int index) {
        const HWND list = GetDlgItem(dialog, 1070);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1070, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    // A file of the installation folder, and the file the module reads.
    std::string file(const wchar_t* name) const { return wintest::readBytes(scratch.file(name)); }
    std::string inUse(const wchar_t* name) const {
        return wintest::readBytes(scratch.fileInUse(name));
    }
};

TEST_F(Skins, OkInstallsTheChosenSkinAndTheCandidateWindowWearsIt) {
    start(kKeypadScheme | kProgressiveHints);
    int entries = 0;
    {
        DialogWatcher watcher(L"输入法设置", [&](HWND dialog) {
            entries = static_cast<int>(SendDlgItemMessageW(dialog, 1070, LB_GETCOUNT, 0, 0));
            chooseSkin(dialog, 2);
            press(dialog, IDOK);
        });
        openSettings();
        EXPECT_TRUE(watcher.seen());
    }
    EXPECT_EQ(entries, 5);
    // The user's copies wear the skin; the installed pictures stay as they were.
    EXPECT_EQ(wintest::readBytes(scratch.userFile(L"tovi.bmp")), file(L"skin\\skin-02.bmp"));
    EXPECT_EQ(wintest::readBytes(scratch.userFile(L"tovi_cand.bmp")), file(L"skin\\cand-2.bmp"));
    EXPECT_EQ(file(L"tovi.bmp"), wintest::readBytes(std::wstring(TOVI_DIST_DIR) + L"\\tovi.bmp"));
    keypad(1);
    const HWND candidates = painted(L"DEDU_CAND");
    ASSERT_NE(candidates, nullptr);
    EXPECT_EQ(pixel(candidates, 1, 10), RGB(250, 119, 209)); // skin 2's border
    const std::string saved = unload();
    EXPECT_NE(saved.find("IME_SKIN 2\r\n"), std::string::npos) << saved;
}

TEST_F(Skins, CancelKeepsTheInstalledPictures) {
    start(kKeypadScheme | kProgressiveHints);
    const std::string status = inUse(L"tovi.bmp");
    const std::string candidate = inUse(L"tovi_cand.bmp");
    {
        DialogWatcher watcher(L"输入法设置", [&](HWND dialog) {
            chooseSkin(dialog, 3);
            press(dialog, IDCANCEL);
        });
        openSettings();
        EXPECT_TRUE(watcher.seen());
    }
    EXPECT_EQ(inUse(L"tovi.bmp"), status);
    EXPECT_EQ(inUse(L"tovi_cand.bmp"), candidate);
}

} // namespace
} // namespace tovi
