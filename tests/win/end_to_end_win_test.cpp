// As a user types: tovi.ime installed as a keyboard layout of the Wine prefix with the real
// tables, activated before any window exists, and keystrokes sent with SendInput into an EDIT
// control. Wine's own IMM32 drives the module; each committed word is read back from the
// control's input context.
#include "platform/shared_section.h"
#include "tables/code_table.h"
#include "tables/code_table_index.h"
#include "typing_window.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <imm.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tovi {
namespace {

#ifndef TOVI_DIST_DIR
#define TOVI_DIST_DIR L""
#endif

// Child mode: types `code` (keypad digits, or letters) then `confirm` until `expected` is the
// result string of the EDIT control's context, through the layout this test installs or, with
// `installed`, the one an installer registered. Exit code 0 on success.
int typeChild(const std::wstring& code, WORD confirm, const std::wstring& expected,
              bool installed) {
    const wintest::TypingWindow window(installed ? wintest::installedLayout()
                                                 : wintest::installBuiltLayout());
    if (window.failure())
        return window.failure();
    return window.typeUntil(code, confirm, expected) ? 0 : 13;
}

// Child mode: adds a word to the installed keypad table as the word maker does, or checks that
// the table has it. Exit code 0 on success.
int installedWord(bool add, const std::string& code, const std::string& utf8Word) {
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8Word.c_str(), -1, wide, 63);
    const std::u16string word(wide, wide + wcslen(wide));
    const std::u16string keys(code.begin(), code.end());
    struct Silent final : CodeTableReporter {
        void messageBox(std::u16string_view, std::u16string_view, Style) override { ++boxes; }
        int boxes = 0;
    } reporter;
    CodeTableOptions options;
    options.scheme = Scheme::Keypad;
    options.folder = platform::InstallFolder::fromSystem();
    options.instanceNumber = 3;
    options.nameSuffix = u".installed";
    CodeTable table(options, reporter, platform::sharedControlSection());
    table.load();
    if (!table.loaded())
        return 20;
    if (add)
        return table.addWord(keys, word) ? 0 : 21;
    ExactMatch exact;
    const std::vector<std::u16string> found =
        findByCode(table.view(), keys, SearchOptions{}, exact);
    return std::find(found.begin(), found.end(), word) != found.end() ? 0 : 22;
}

// Child mode: a window of the language indicator's class records the tooltip atoms the module
// posts while the context is opened and closed again and again. Exit code 0 when every update
// named one atom and the module holds a single reference to it (one deletion frees it).
std::vector<WPARAM> indicatorTooltips;

LRESULT CALLBACK indicatorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    constexpr UINT kSetImeTooltips = 1125;
    if (message == kSetImeTooltips && wParam != static_cast<WPARAM>(-1))
        indicatorTooltips.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

int indicatorChild() {
    // Global atoms outlive the processes that added them: references left by earlier processes
    // of the session go first, so that the count seen below is this process's alone.
    constexpr wchar_t kTooltip[] = L"朔昕输入法（全词库版）";
    for (int left = 100000; const ATOM earlier = GlobalFindAtomW(kTooltip); --left) {
        if (left == 0)
            return 36;
        GlobalDeleteAtom(earlier);
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = indicatorProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Indicator";
    if (!RegisterClassW(&windowClass))
        return 30;
    const HWND indicator = CreateWindowW(L"Indicator", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         windowClass.hInstance, nullptr);
    if (!indicator)
        return 31;
    const wintest::TypingWindow window(wintest::installBuiltLayout());
    if (window.failure())
        return window.failure();
    const HWND focus = GetFocus();
    const HIMC context = ImmGetContext(focus);
    for (int i = 0; i < 20; ++i) {
        ImmSetOpenStatus(context, FALSE);
        ImmSetOpenStatus(context, TRUE);
        wintest::pump();
    }
    ImmReleaseContext(focus, context);
    wintest::pump();
    DestroyWindow(indicator);
    if (indicatorTooltips.size() < 10)
        return 32;
    const auto atom = static_cast<ATOM>(indicatorTooltips.front());
    for (const WPARAM posted : indicatorTooltips)
        if (posted != atom)
            return 33;
    wchar_t name[64] = {};
    if (!GlobalGetAtomNameW(atom, name, 64) || std::wstring(name) != kTooltip)
        return 34;
    GlobalDeleteAtom(atom);
    return GlobalGetAtomNameW(atom, name, 64) ? 35 : 0;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring dist = TOVI_DIST_DIR;
        if (dist.empty() ||
            GetFileAttributesW((dist + L"\\toviwb.mb").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no real tables in the package folder";
        for (const wchar_t* file : {L"toviwb.mb", L"tovipy.mb", L"codePyMain.pmt", L"vemoraPY.pmt",
                                    L"vemoraSP.pmt", L"deduSPNum.pi"})
            CopyFileW((dist + L"\\" + file).c_str(), scratch.file(file).c_str(), FALSE);
    }
    long runChild(const std::wstring& arguments) {
        auto child = wintest::startSelf(arguments);
        return child ? wintest::waitExitCode(child, 120000) : -1;
    }
    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
};

TEST_F(EndToEnd, KeypadCodeTypedIntoAnEditControl) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SETTINGS 161\r\n");
    EXPECT_EQ(runChild(L"--type 23212411"), 0);
}

TEST_F(EndToEnd, PinyinTypedIntoAnEditControl) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SETTINGS 193\r\n");
    EXPECT_EQ(runChild(L"--type nihao"), 0);
}

TEST_F(EndToEnd, TheLanguageIndicatorGetsOneTooltipAtomHowEverOftenItIsUpdated) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SETTINGS 161\r\n");
    EXPECT_EQ(runChild(L"--indicator"), 0);
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    // --type CODE types into the layout this program installs; --type-installed CODE into the one
    // an installer registered (the installer test runs it so).
    if (argc == 2 && std::string(argv[1]) == "--indicator")
        return tovi::indicatorChild();
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "--type" || mode == "--type-installed") {
        const std::string code = argv[2];
        const bool keypad = code[0] >= '0' && code[0] <= '9';
        return tovi::typeChild(std::wstring(code.begin(), code.end()),
                               keypad ? VK_NUMPAD0 : VK_SPACE, keypad ? L"中国" : L"你好",
                               mode == "--type-installed");
    }
    if (argc > 3 && (mode == "--add-installed" || mode == "--has-installed"))
        return tovi::installedWord(mode == "--add-installed", argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
