// A standard user's words and settings under Wine, with the real module and the real tables
// installed in "C:\Program Files\tovi", a folder this user cannot write (user_data_test.sh sets it
// up and runs the phases, each in a process of its own, as applications that end and start):
//   FirstStart  types with the installed files and writes nothing at all;
//   Changes     adds words with the word maker and promotes a word with Ctrl and a digit in
//               both schemes, chooses settings and a skin and moves the status bar;
//   Kept        finds every change again, in an application of either architecture.
// What Changes chose goes to a note in the temporary folder for the later phases.
#include "dialog_watcher.h"
#include "status_bar_input.h"
#include "tool_windows_fixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tovi {
namespace {

const std::wstring kInstall = L"C:\\Program Files\\tovi";
constexpr unsigned kVertical = 0x200;
// The word the word maker adds in both schemes, and its pinyin code (the word maker keeps nine
// letters at most).
const std::wstring kNewWord = L"丁上下";
const std::wstring kNewPinyin = L"dingsx";
// The keypad code and the pinyin whose candidates the promotions reorder, and the slot they
// promote.
constexpr const char* kPromotedCode = "11";
constexpr const char* kPromotedPinyin = "zhong";
constexpr int kPromotedSlot = 3;

// What the Changes phase leaves for the Kept phase: the keypad code the word maker gave the new
// word, and the words the promotions put first in each scheme.
struct Note {
    std::wstring keypadCode;
    std::wstring promoted;
    std::wstring pinyinPromoted;
};

std::wstring notePath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"tovi-user-data-note.txt";
}

void writeNote(const Note& note) {
    const std::wstring text = note.keypadCode + L"\n" + note.promoted + L"\n" + note.pinyinPromoted;
    wintest::writeBytes(notePath(), std::string(reinterpret_cast<const char*>(text.data()),
                                                text.size() * sizeof(wchar_t)));
}

Note readNote() {
    const std::string bytes = wintest::readBytes(notePath());
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    const auto first = text.find(L'\n');
    const auto second = first == std::wstring::npos ? first : text.find(L'\n', first + 1);
    if (second == std::wstring::npos)
        return {};
    return {text.substr(0, first), text.substr(first + 1, second - first - 1),
            text.substr(second + 1)};
}

// The settings the module uses, from the user's copy when there is one.
std::string settingsInUse() {
    const std::wstring own = wintest::userFolder() + L"\\config.ini";
    return wintest::readBytes(wintest::exists(own) ? own : kInstall + L"\\config.ini");
}

unsigned flagsOf(const std::string& settings) {
    std::istringstream words(settings);
    std::string key;
    long long value = 0;
    while (words >> key >> value)
        if (key == "IME_SETTINGS")
            return static_cast<unsigned>(value);
    return 0;
}

class UserData : public ModuleWindows {
protected:
    UserData() {
        probe.keypad = "23212411";
        probe.pinyin = "nihao";
    }
    // Opens the module in the scheme the settings in use name, probing with that scheme's word.
    void openAsSaved() {
        const unsigned flags = flagsOf(settingsInUse());
        probe.word = flags & kPinyinScheme ? L"你好" : L"中国";
        open(flags);
    }
    // Keys with the thread's key state set as the system sets it, Ctrl included.
    void rawKey(UINT vk, UINT scan, wchar_t unit, bool down, bool extended = false) {
        if (down)
            keys[vk] |= 0x80;
        else
            keys[vk] &= 0x7F;
        keys[VK_CONTROL] = (keys[VK_LCONTROL] | keys[VK_RCONTROL]) & 0x80;
        SetKeyboardState(keys);
        const LPARAM data = static_cast<LPARAM>((down ? 1u : 0xC0000001u) | (scan << 16) |
                                                (extended ? 1u << 24 : 0));
        if (processKey(himc, vk, data, keys)) {
            struct {
                TRANSMSGLIST list;
                TRANSMSG more[31];
            } buffer{};
            buffer.list.uMsgCount = 32;
            toAscii(vk | (static_cast<UINT>(unit) << 16), scan | (down ? 0u : 0x8000u), keys,
                    &buffer.list, 0, himc);
        }
        SendMessageW(ui, WM_IME_COMPOSITION, 0, 0);
        settle();
    }
    // Right Ctrl pressed and released alone: the other scheme, saved at once.
    void tapRightCtrl() {
        keys[VK_RCONTROL] = 0x80;
        rawKey(VK_CONTROL, 0x1D, 0, true, true);
        keys[VK_RCONTROL] = 0;
        rawKey(VK_CONTROL, 0x1D, 0, false, true);
    }
    // Types a keypad code or pinyin, then Ctrl with keypad `slot`: the candidate there is
    // committed and goes to the front of the code's candidates. The word committed.
    std::wstring ctrlSelect(const char* code, int slot) {
        key(VK_ESCAPE, 0x1B);
        for (const char* c = code; *c; ++c)
            if (*c >= '0' && *c <= '9')
                keypad(*c - '0');
            else
                key(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
        keys[VK_LCONTROL] = 0x80;
        rawKey(VK_CONTROL, 0x1D, 0, true);
        rawKey(VK_NUMPAD0 + static_cast<UINT>(slot), 0x4F, static_cast<wchar_t>(L'0' + slot), true);
        rawKey(VK_NUMPAD0 + static_cast<UINT>(slot), 0x4F, 0, false);
        keys[VK_LCONTROL] = 0;
        rawKey(VK_CONTROL, 0x1D, 0, false);
        return result();
    }
    // A keypad code and 0 (twice when several words equal the code): the word committed.
    std::wstring typeKeypad(const std::wstring& code, const std::wstring& expected) {
        key(VK_ESCAPE, 0x1B);
        for (const wchar_t d : code)
            keypad(d - L'0');
        keypad(0);
        if (result() != expected)
            keypad(0);
        return result();
    }
    // Pinyin letters and Space (twice when the first only listed the candidates).
    std::wstring typePinyin(const std::wstring& code, const std::wstring& expected) {
        key(VK_ESCAPE, 0x1B);
        for (const wchar_t c : code)
            key(static_cast<UINT>(c - L'a' + L'A'), c);
        key(VK_SPACE, L' ');
        if (result() != expected)
            key(VK_SPACE, L' ');
        return result();
    }
    // After a switch of scheme the new scheme's table loads in the background: types the probe
    // of `flags`'s scheme until it commits its word.
    void awaitTable(unsigned flags) {
        const bool pinyin = flags & kPinyinScheme;
        const std::wstring word = pinyin ? L"你好" : L"中国";
        for (int attempt = 0; attempt < 100; ++attempt) {
            if ((pinyin ? typePinyin(L"nihao", word) : typeKeypad(L"23212411", word)) == word)
                return;
            key(VK_ESCAPE, 0x1B);
            Sleep(20); // nothing outside the module tells when its load thread is done
        }
        ADD_FAILURE() << "the table did not load";
    }
    // The word maker from the status bar, on `word` selected in the application; the code the
    // dialog proposes is replaced by `code` when one is given. The code used.
    std::wstring makeWord(const std::wstring& word, const std::wstring& code = {}) {
        ShowWindow(app, SW_SHOW);
        SetForegroundWindow(app);
        const HWND editor =
            CreateWindowExW(0, L"EDIT", word.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, app,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
        SetFocus(editor);
        SendMessageW(editor, EM_SETSEL, 0, -1);
        std::wstring used;
        std::wstring left;
        {
            DialogWatcher watcher(L"手工造词", [&](HWND dialog) {
                if (!code.empty())
                    SetDlgItemTextW(dialog, 1034, code.c_str());
                used = controlText(dialog, 1034);
                press(dialog, IDOK);
                left = controlText(dialog, 1036); // emptied when the word was added
            });
            const HWND bar = painted(L"DEDU_STATUS");
            if (bar)
                clickAt(bar, 110, 10);
            EXPECT_TRUE(watcher.seen());
        }
        DestroyWindow(editor);
        EXPECT_EQ(left, L"") << "the word maker did not add the word";
        return used;
    }

    wintest::InstallPathValue installPath{kInstall};
    BYTE keys[256] = {};
};

TEST_F(UserData, TheInstallationFolderIsNotThisUsersToWrite) {
    const std::wstring probeFile = kInstall + L"\\written-by-a-test.txt";
    const HANDLE file = CreateFileW(probeFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        DeleteFileW(probeFile.c_str());
    }
}

TEST_F(UserData, FirstStartTypesWithTheInstalledFilesAndWritesNothing) {
    wintest::removeUserFolder();
    DeleteFileW(notePath().c_str());
    openAsSaved();
    EXPECT_EQ(typeKeypad(L"23212411", L"中国"), L"中国");
    unloadModule();
    EXPECT_FALSE(wintest::exists(wintest::userFolder()));
}

TEST_F(UserData, ChangesAreSavedForTheUser) {
    openAsSaved();
    ASSERT_FALSE(flagsOf(settingsInUse()) & kPinyinScheme);
    Note note;

    // The word maker in the keypad scheme, with the code it proposes.
    note.keypadCode = makeWord(kNewWord);
    ASSERT_FALSE(note.keypadCode.empty());
    EXPECT_EQ(typeKeypad(note.keypadCode, kNewWord), kNewWord);

    // Ctrl and a digit: the third candidate goes first.
    const std::wstring first = ctrlSelect(kPromotedCode, 1);
    note.promoted = ctrlSelect(kPromotedCode, kPromotedSlot);
    ASSERT_FALSE(note.promoted.empty());
    EXPECT_NE(note.promoted, first);
    EXPECT_EQ(ctrlSelect(kPromotedCode, 1), note.promoted);

    // The settings dialog: vertical candidates and skin 2.
    {
        DialogWatcher watcher(L"输入法设置", [&](HWND dialog) {
            if (IsDlgButtonChecked(dialog, 1074) != BST_CHECKED)
                press(dialog, 1074);
            const HWND list = GetDlgItem(dialog, 1070);
            SendMessageW(list, LB_SETCURSEL, 2, 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1070, LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            press(dialog, IDOK);
        });
        const HWND bar = painted(L"DEDU_STATUS");
        ASSERT_NE(bar, nullptr);
        MenuWatcher menu({0});
        rightClickAt(bar, 50, 10);
        EXPECT_TRUE(watcher.seen());
    }

    // The status bar dragged by its border against the work area's right edge.
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    const LONG edge = dragPastWorkAreaRightEdge(bar, app);
    RECT frame{};
    GetWindowRect(bar, &frame);
    EXPECT_EQ(frame.right, edge);

    // The pinyin scheme, and a word made there with a code of its own.
    tapRightCtrl();
    ASSERT_TRUE(flagsOf(settingsInUse()) & kPinyinScheme);
    awaitTable(kPinyinScheme);
    EXPECT_EQ(makeWord(kNewWord, kNewPinyin), kNewPinyin);
    EXPECT_EQ(typePinyin(kNewPinyin, kNewWord), kNewWord);
    const std::wstring pinyinFirst = ctrlSelect(kPromotedPinyin, 1);
    note.pinyinPromoted = ctrlSelect(kPromotedPinyin, kPromotedSlot);
    ASSERT_FALSE(note.pinyinPromoted.empty());
    EXPECT_NE(note.pinyinPromoted, pinyinFirst);
    EXPECT_EQ(ctrlSelect(kPromotedPinyin, 1), note.pinyinPromoted);
    unloadModule();

    writeNote(note);
    const std::wstring user = wintest::userFolder();
    for (const wchar_t* name :
         {L"config.ini", L"toviwb.mb", L"tovipy.mb", L"tovi.bmp", L"tovi_cand.bmp"})
        EXPECT_TRUE(wintest::exists(user + L"\\" + name)) << "no user copy of " << name;
}

TEST_F(UserData, ChangesAreKeptForTheNextApplication) {
    const Note note = readNote();
    ASSERT_FALSE(note.keypadCode.empty()) << "the changes were not made first";
    const std::string settings = settingsInUse();
    ASSERT_TRUE(flagsOf(settings) & kPinyinScheme);
    EXPECT_TRUE(flagsOf(settings) & kVertical);
    EXPECT_NE(settings.find("IME_SKIN 2\r\n"), std::string::npos) << settings;
    openAsSaved();

    // The pinyin word and promotion, the skin's pictures, the status bar where it was left.
    EXPECT_EQ(typePinyin(kNewPinyin, kNewWord), kNewWord);
    EXPECT_EQ(ctrlSelect(kPromotedPinyin, 1), note.pinyinPromoted);
    const std::wstring user = wintest::userFolder();
    EXPECT_EQ(wintest::readBytes(user + L"\\tovi.bmp"),
              wintest::readBytes(kInstall + L"\\skin\\skin-02.bmp"));
    EXPECT_EQ(wintest::readBytes(user + L"\\tovi_cand.bmp"),
              wintest::readBytes(kInstall + L"\\skin\\cand-2.bmp"));
    const HWND bar = painted(L"DEDU_STATUS");
    ASSERT_NE(bar, nullptr);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame{};
    GetWindowRect(bar, &frame);
    EXPECT_EQ(frame.right, area.right);

    // The keypad scheme: the word maker's word and the promotion.
    tapRightCtrl();
    awaitTable(kKeypadScheme);
    EXPECT_EQ(typeKeypad(note.keypadCode, kNewWord), kNewWord);
    EXPECT_EQ(ctrlSelect(kPromotedCode, 1), note.promoted);
    // Back to pinyin, as the changes left it, for the next application.
    tapRightCtrl();
    unloadModule();
    EXPECT_TRUE(flagsOf(settingsInUse()) & kPinyinScheme);
}

} // namespace
} // namespace tovi
