// Key sequences through the real tovi.ime under Wine, called as IMM32 calls it: ImeProcessKey
// for every press and release, ImeToAsciiEx for the claimed presses, with key-state arrays as
// the system fills them.
#include "boundary/imm_ddk.h"
#include "tables/code_table_file.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tovi {
namespace {

using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImeProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, CONST LPBYTE);
using ImeToAsciiExFn = UINT(WINAPI*)(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC);

struct Message {
    UINT message;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};
const Message kStart{WM_IME_STARTCOMPOSITION, 0};
const Message kResult{WM_IME_COMPOSITION, GCS_RESULTSTR};
const Message kEnd{WM_IME_ENDCOMPOSITION, 0};

class KeySequence : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW(L"tovi.ime");
        ASSERT_NE(module, nullptr);
        select = reinterpret_cast<ImeSelectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ImeSelect")));
        processKey = reinterpret_cast<ImeProcessKeyFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ImeProcessKey")));
        toAscii = reinterpret_cast<ImeToAsciiExFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ImeToAsciiEx")));
        context = ImmCreateContext();
        ASSERT_TRUE(context && select && processKey && toAscii);
        ASSERT_TRUE(select(context, TRUE));
        std::memset(keys, 0, sizeof(keys));
        SetKeyboardState(keys);
    }
    void TearDown() override {
        ImmDestroyContext(context);
        unload();
    }
    // Unloads the module and waits until it is gone: its background table load holds it until
    // the load ends, and detach runs only then.
    void unload() {
        if (module)
            FreeLibrary(module);
        module = nullptr;
        for (int i = 0; i < 1000 && GetModuleHandleW(L"tovi.ime"); ++i)
            Sleep(10);
    }

    // Presses a key; returns whether the module claimed it, and collects what ImeToAsciiEx put
    // in the message list.
    bool press(UINT key, UINT scan, wchar_t unit, bool extended = false) {
        keys[key] |= 0x80;
        syncModifiers();
        const LPARAM data = 1 | (scan << 16) | (extended ? 1u << 24 : 0);
        if (!processKey(context, key, data, keys))
            return false;
        struct {
            TRANSMSGLIST list;
            TRANSMSG more[15];
        } buffer{};
        buffer.list.uMsgCount = 16;
        const UINT count =
            toAscii(key | (static_cast<UINT>(unit) << 16), scan, keys, &buffer.list, 0, context);
        for (UINT i = 0; i < count && i < 16; ++i)
            messages.push_back({transMsgEntries(&buffer.list)[i].message,
                                transMsgEntries(&buffer.list)[i].lParam});
        return true;
    }
    bool release(UINT key, UINT scan, bool extended = false) {
        keys[key] &= 0x7F;
        syncModifiers();
        const LPARAM data =
            static_cast<LPARAM>(0xC0000001u | (scan << 16) | (extended ? 1u << 24 : 0));
        return processKey(context, key, data, keys);
    }
    // The generic modifier follows its left and right keys, as in the system's array, and the
    // thread's key state matches it.
    void syncModifiers() {
        keys[VK_SHIFT] = (keys[VK_LSHIFT] | keys[VK_RSHIFT]) & 0x80;
        keys[VK_CONTROL] = (keys[VK_LCONTROL] | keys[VK_RCONTROL]) & 0x80;
        SetKeyboardState(keys);
    }
    std::wstring result() const { return wintest::resultString(context); }
    void tapRightShift() {
        keys[VK_RSHIFT] = 0x80;
        press(VK_SHIFT, 0x36, 0);
        keys[VK_RSHIFT] = 0;
        release(VK_SHIFT, 0x36);
    }
    void tapRightCtrl() {
        keys[VK_RCONTROL] = 0x80;
        press(VK_CONTROL, 0x1D, 0, true);
        keys[VK_RCONTROL] = 0;
        release(VK_CONTROL, 0x1D, true);
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    HMODULE module = nullptr;
    ImeSelectFn select = nullptr;
    ImeProcessKeyFn processKey = nullptr;
    ImeToAsciiExFn toAscii = nullptr;
    HIMC context = nullptr;
    BYTE keys[256];
    std::vector<Message> messages;
};

TEST_F(KeySequence, CommaIsCommittedAsTheChineseComma) {
    EXPECT_TRUE(press(VK_OEM_COMMA, 0x33, L','));
    EXPECT_TRUE(release(VK_OEM_COMMA, 0x33)); // claimed too; its ImeToAsciiEx adds nothing
    EXPECT_EQ(messages, (std::vector<Message>{kStart, kResult, kEnd, kEnd}));
    EXPECT_EQ(result(), L"，");
}

TEST_F(KeySequence, ShiftedDigitsAndQuotesHaveChineseForms) {
    keys[VK_LSHIFT] = 0x80;
    press(VK_LSHIFT, 0x2A, 0);
    EXPECT_TRUE(press('1', 0x02, L'!'));
    EXPECT_EQ(result(), L"！");
    release('1', 0x02);
    EXPECT_TRUE(press(VK_OEM_7, 0x28, L'"'));
    EXPECT_EQ(result(), L"“");
    release(VK_OEM_7, 0x28);
    EXPECT_TRUE(press(VK_OEM_7, 0x28, L'"'));
    EXPECT_EQ(result(), L"”");
}

TEST_F(KeySequence, ShiftSpaceTurnsOnFullWidthLetters) {
    EXPECT_FALSE(press('A', 0x1E, L'a')); // half-width: the letter is the application's
    release('A', 0x1E);
    keys[VK_LSHIFT] = 0x80;
    press(VK_SHIFT, 0x2A, 0);
    press(VK_SPACE, 0x39, L' ');
    release(VK_SPACE, 0x39);
    keys[VK_LSHIFT] = 0;
    release(VK_SHIFT, 0x2A);
    messages.clear();
    EXPECT_TRUE(press('A', 0x1E, L'a'));
    EXPECT_EQ(result(), L"ａ");
    EXPECT_EQ(messages, (std::vector<Message>{kStart, kResult, kEnd, kEnd}));
}

TEST_F(KeySequence, RightShiftTapTogglesEnglishMode) {
    EXPECT_TRUE(press(VK_OEM_PERIOD, 0x34, L'.'));
    EXPECT_EQ(result(), L"。");
    release(VK_OEM_PERIOD, 0x34);
    tapRightShift();
    EXPECT_FALSE(press(VK_OEM_PERIOD, 0x34, L'.')); // English: the period is the application's
    release(VK_OEM_PERIOD, 0x34);
    tapRightShift();
    EXPECT_TRUE(press(VK_OEM_PERIOD, 0x34, L'.'));
}

TEST_F(KeySequence, RightCtrlTapSwitchesTheScheme) {
    press(VK_OEM_COMMA, 0x33, L',');
    release(VK_OEM_COMMA, 0x33);
    tapRightCtrl();
    const std::string saved = // the switch is saved with the key
        "IME_SETTINGS 193\r\nIME_SKIN 0\r\nIME_STATUS_X 10\r\nIME_STATUS_Y 718\r\n";
    EXPECT_EQ(wintest::readBytes(scratch.userFile(L"config.ini")), saved);
    unload();
    EXPECT_EQ(wintest::readBytes(scratch.userFile(L"config.ini")), saved);
}

TEST_F(KeySequence, CtrlCombinationsNeitherSwitchNorReachTheModule) {
    press(VK_OEM_COMMA, 0x33, L',');
    release(VK_OEM_COMMA, 0x33);
    keys[VK_RCONTROL] = 0x80;
    press(VK_CONTROL, 0x1D, 0, true);
    EXPECT_FALSE(press('C', 0x2E, L'\x03'));
    release('C', 0x2E);
    keys[VK_RCONTROL] = 0;
    EXPECT_FALSE(release(VK_CONTROL, 0x1D, true));
    unload();
    // Nothing changed: no settings were written, at the keys or at the end.
    EXPECT_FALSE(wintest::exists(scratch.file(L"config.ini")));
    EXPECT_FALSE(wintest::exists(wintest::userFolder()));
}

// Typing words with small tables of the test's own, as the application sees it.
class Typing : public KeySequence {
protected:
    void SetUp() override {
        CodeTableData keypad(CodeTableLayout::Digits);
        ASSERT_EQ(keypad.append(u"2321", u"中"), EntryFault::None);
        ASSERT_EQ(keypad.append(u"23212411", u"中国"), EntryFault::None);
        wintest::writeBytes(scratch.file(L"toviwb.mb"), writeCodeTable(keypad));
        CodeTableData pinyin(CodeTableLayout::Letters);
        ASSERT_EQ(pinyin.append(u"nihao", u"你好"), EntryFault::None);
        ASSERT_EQ(pinyin.append(u"nihao", u"拟好"), EntryFault::None);
        wintest::writeBytes(scratch.file(L"tovipy.mb"), writeCodeTable(pinyin));
        KeySequence::SetUp();
    }
    void keypad(const char* digits) {
        for (const char* d = digits; *d; ++d)
            press(VK_NUMPAD0 + (*d - '0'), 0x47, static_cast<wchar_t>(*d)),
                release(VK_NUMPAD0 + (*d - '0'), 0x47);
    }
    void letters(const char* text) {
        for (const char* c = text; *c; ++c) {
            const UINT key = static_cast<UINT>(*c - 'a' + 'A');
            press(key, MapVirtualKeyW(key, MAPVK_VK_TO_VSC), static_cast<wchar_t>(*c));
            release(key, MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        }
    }
    // The table loads in the background: a code typed before it is there finds nothing.
    template <typename Type>
    bool typeOnceLoaded(Type type, const std::wstring& expected) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            messages.clear();
            type();
            if (result() == expected)
                return true;
            press(VK_ESCAPE, 0x01, L'\x1b');
            release(VK_ESCAPE, 0x01);
            Sleep(20);
        }
        return false;
    }
    static void expectCommitThenEnds(const std::vector<Message>& seen, std::size_t from) {
        ASSERT_GE(seen.size(), from + 2);
        EXPECT_EQ(seen[from], kResult);
        for (std::size_t i = from + 1; i < seen.size(); ++i)
            EXPECT_EQ(seen[i], kEnd) << i;
    }
};

TEST_F(Typing, KeypadCodeCommitsItsWordWithTheMessagesAnApplicationExpects) {
    ASSERT_TRUE(typeOnceLoaded(
        [&] {
            keypad("2321");
            press(VK_NUMPAD0, 0x52, L'0');
        },
        L"中"));
    // Start, an update per digit, then the result and the end of the composition.
    ASSERT_GE(messages.size(), 6u);
    EXPECT_EQ(messages[0], kStart);
    for (std::size_t i = 1; i <= 4; ++i)
        EXPECT_EQ(messages[i], (Message{WM_IME_COMPOSITION, 0})) << i;
    expectCommitThenEnds(messages, 5);
}

TEST_F(Typing, PinyinWordIsChosenWithTheDigitRow) {
    tapRightCtrl(); // to the pinyin scheme
    keypad("2");    // nothing of the keypad scheme works now: the keypad is the application's
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(typeOnceLoaded(
        [&] {
            letters("nihao");
            press('2', 0x03, L'2');
        },
        L"拟好"));
    EXPECT_EQ(messages[0], kStart);
    expectCommitThenEnds(messages, 6);
}

} // namespace
} // namespace tovi
