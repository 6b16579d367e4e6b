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
#include <shellapi.h>

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

// Child mode: Ctrl with the period through the installed layout, which toggles full-width
// symbols, a setting the module saves at once. Exit code 0 when the key was sent.
int toggleSettingChild() {
    const wintest::TypingWindow window(wintest::installedLayout());
    if (window.failure())
        return window.failure();
    wintest::chord(VK_CONTROL, VK_OEM_PERIOD);
    return 0;
}

// What the child mode does with a word of the installed keypad table.
enum class WordCheck { Add, Promote, Has, First };

// Child mode: adds a word to the installed keypad table as the word maker does, moves one to the
// front of its code as a Ctrl selection does, or checks that the table has it, or has it first
// among the words of its code. Exit code 0 on success.
int installedWord(WordCheck check, const std::wstring& code, const std::wstring& wideWord) {
    const std::u16string word(wideWord.begin(), wideWord.end());
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
    if (check == WordCheck::Add)
        return table.addWord(keys, word) ? 0 : 21;
    if (check == WordCheck::Promote)
        table.promote(keys, word);
    ExactMatch exact;
    const std::vector<std::u16string> found =
        findByCode(table.view(), keys, SearchOptions{}, exact);
    if (check == WordCheck::First || check == WordCheck::Promote)
        return !found.empty() && found.front() == word ? 0 : 23;
    return std::find(found.begin(), found.end(), word) != found.end() ? 0 : 22;
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

} // namespace
} // namespace tovi

namespace {

// The program's arguments as Windows passed them: the char arguments are in the ANSI code page,
// which cannot hold the Chinese words the child modes take.
std::vector<std::wstring> wideArguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 0; argv && i < count; ++i)
        arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    // --type CODE types into the layout this program installs; --type-installed CODE into the one
    // an installer registered (the installer test runs it so).
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "--type" || mode == "--type-installed") {
        const std::string code = argv[2];
        const bool keypad = code[0] >= '0' && code[0] <= '9';
        return tovi::typeChild(std::wstring(code.begin(), code.end()),
                               keypad ? VK_NUMPAD0 : VK_SPACE, keypad ? L"中国" : L"你好",
                               mode == "--type-installed");
    }
    // --add-installed CODE WORD, --has-installed CODE WORD, --first-installed CODE WORD: the
    // word maker's addition to the installed keypad table, the word is there, or first among
    // the words of CODE; --promote-in-table CODE WORD: WORD moved to the front of CODE as a Ctrl
    // selection moves it; --toggle-setting-installed: Ctrl with the period.
    const std::vector<std::wstring> wide = wideArguments();
    const auto check = mode == "--add-installed"      ? tovi::WordCheck::Add
                       : mode == "--promote-in-table" ? tovi::WordCheck::Promote
                       : mode == "--has-installed"    ? tovi::WordCheck::Has
                                                      : tovi::WordCheck::First;
    if (wide.size() > 3 && (mode == "--add-installed" || mode == "--promote-in-table" ||
                            mode == "--has-installed" || mode == "--first-installed"))
        return tovi::installedWord(check, wide[2], wide[3]);
    if (wide.size() == 2 && wide[1] == L"--toggle-setting-installed")
        return tovi::toggleSettingChild();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
