// A seeded storm of keys through the real tovi.ime under Wine, in both schemes, with two input
// contexts in one thread: presses and releases of every kind of key, the module's hotkeys, and
// between them the calls an application sees the input-method manager make (activation and
// deactivation as the focus moves, selection, NotifyIME, the UI window's notifications, a context
// destroyed and made again, clicks on the status bar). After every step it checks that the host is
// intact, that what was committed is text and reached the context of the key that produced it, and
// that no other context was touched. Modifiers are held over other keys and keys auto-repeat, as
// real keyboards do. After the storm comes a part with keys only, which a model of the hotkeys
// follows: every few hundred events the modes the status bar shows must be the model's. Last, a
// known code still types its word.
//
// TOVI_STORM_SEED sets the seed (printed with every run and every failure), TOVI_STORM_KEYS the
// number of events per scheme.
#include "boundary/imm_ddk.h"
#include "platform/char_conversions.h"
#include "status_bar_input.h"
#include "tables/code_table_file.h"
#include "tool_windows_fixture.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tovi {
namespace {

using NotifyImeFn = BOOL(WINAPI*)(HIMC, DWORD, DWORD, DWORD);

// The values of NI_CONTEXTUPDATED that name what changed (the DDK's IMC_SET* codes).
constexpr DWORD kSetConversionMode = 0x0002;
constexpr DWORD kSetOpenStatus = 0x0006;
constexpr DWORD kSetCandidatePos = 0x0008;
constexpr DWORD kSetCompositionWindow = 0x000C;

// The words of the two tables the storm types with.
struct Entry {
    const char16_t* code;
    const char16_t* text;
};
// Twelve candidates under "1" (two pages), a word with one continuation, and a few more.
constexpr Entry kKeypadEntries[] = {
    {u"11", u"一"},   {u"111", u"二"},        {u"112", u"人"},  {u"113", u"大"},
    {u"114", u"小"},  {u"115", u"上"},        {u"12", u"下"},   {u"121", u"天"},
    {u"122", u"王"},  {u"13", u"三"},         {u"14", u"四"},   {u"15", u"五"},
    {u"2321", u"中"}, {u"23212411", u"中国"}, {u"3211", u"我"}, {u"32113211", u"我们"},
    {u"4111", u"说"}};
// Twelve candidates for "a", two words for "nihao", and the words of "shi" and "zhong".
constexpr Entry kPinyinEntries[] = {
    {u"a", u"啊"},       {u"a", u"阿"},       {u"a", u"呵"},     {u"a", u"吖"},
    {u"a", u"嗄"},       {u"a", u"锕"},       {u"a", u"腌"},     {u"a", u"錒"},
    {u"a", u"阿姨"},     {u"a", u"啊呀"},     {u"a", u"阿里"},   {u"a", u"阿拉伯语"},
    {u"ni", u"你"},      {u"ni", u"泥"},      {u"ni", u"拟"},    {u"nihao", u"你好"},
    {u"nihao", u"拟好"}, {u"shi", u"是"},     {u"shi", u"十"},   {u"shi", u"时"},
    {u"shi", u"事"},     {u"shi", u"世界上"}, {u"zhong", u"中"}, {u"zhongguo", u"中国"}};
// Codes the storm types in a burst: known words, their prefixes and a few that find nothing.
constexpr const char* kKeypadCodes[] = {"1",    "11", "12",   "2321",     "23212411", "2",
                                        "2321", "23", "3211", "32113211", "4111",     "99"};
constexpr const char* kPinyinCodes[] = {"a",        "ni", "nihao", "shi", "zhong",
                                        "zhongguo", "zh", "nih",   "xyz", "sh"};

// The file of a table with these entries; empty when one of them cannot be written.
template <std::size_t N>
std::string tableFile(CodeTableLayout layout, const Entry (&entries)[N]) {
    CodeTableData data(layout);
    for (const Entry& e : entries)
        if (data.append(e.code, e.text) != EntryFault::None)
            return {};
    return writeCodeTable(data);
}

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::string hex(const std::wstring& text) {
    std::ostringstream out;
    for (const wchar_t unit : text) {
        char buffer[8];
        std::snprintf(buffer, sizeof(buffer), "%04X ", static_cast<unsigned>(unit));
        out << buffer;
    }
    return out.str();
}

unsigned long environmentNumber(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char* end = nullptr;
    const unsigned long number = std::strtoul(value, &end, 0);
    return end && *end == '\0' ? number : fallback;
}

// What the application's windows saw.
struct Seen {
    int pane;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
struct Commit {
    int pane;
    std::wstring text;
};

class Recorder {
public:
    std::vector<Seen> messages;
    std::vector<Commit> commits;
    std::vector<Seen> characters; // WM_IME_CHAR and WM_CHAR
    void clear() {
        messages.clear();
        commits.clear();
        characters.clear();
    }
};
Recorder gRecorder;

// Where the application forwards the IME messages, as DefWindowProc hands them to the IME's UI
// window; and the contexts of the two windows.
HWND gUiWindow = nullptr;
std::array<HIMC, 2> gContexts{};

int paneOf(HWND window) {
    return static_cast<int>(GetWindowLongPtrW(window, GWLP_USERDATA)) - 1;
}

// An application's window: it reads the result string of its own context when told so, receives
// the characters of the result, and passes the IME messages on to the UI window.
LRESULT CALLBACK applicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int pane = paneOf(window);
    switch (message) {
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
        gRecorder.messages.push_back({pane, message, wParam, lParam});
        if (message == WM_IME_COMPOSITION && (lParam & GCS_RESULTSTR) && pane >= 0) {
            const std::wstring text = wintest::resultString(gContexts[static_cast<size_t>(pane)]);
            gRecorder.commits.push_back({pane, text});
            // The characters of the result, one message each, as the system delivers them to an
            // application that leaves the composition to the default processing.
            for (const wchar_t unit : text)
                SendMessageW(window, WM_IME_CHAR, unit, 1);
        }
        if (gUiWindow)
            SendMessageW(gUiWindow, message, wParam, lParam);
        return 0;
    case WM_IME_NOTIFY:
        if (gUiWindow)
            SendMessageW(gUiWindow, message, wParam, lParam);
        return 0;
    case WM_IME_CHAR:
    case WM_CHAR:
        gRecorder.characters.push_back({pane, message, wParam, lParam});
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Text an application may receive from the module: no control character, no U+0000 and no
// surrogate (no word of the tables has a pair, and a one-unit text cannot hold one); a text of
// several units is a part of a table's word (or of its traditional form).
class CommittedText {
public:
    CommittedText() {
        addWords(kKeypadEntries);
        addWords(kPinyinEntries);
    }
    // Empty when the text is fine, else what is wrong with it.
    std::string fault(const std::wstring& text) const {
        if (text.empty())
            return "an empty commit";
        for (const wchar_t unit : text) {
            if (unit < 0x20 || unit == 0x7F)
                return "a control character";
            if (unit >= 0xD800 && unit <= 0xDFFF)
                return "a surrogate";
        }
        if (text.size() == 1)
            return {};
        for (const std::wstring& word : words_)
            if (word.find(text) != std::wstring::npos)
                return {};
        return "a text of several units that no word holds";
    }

private:
    template <std::size_t N>
    void addWords(const Entry (&entries)[N]) {
        for (const Entry& e : entries) {
            const std::u16string_view text = e.text;
            words_.insert(wide(text));
            std::u16string traditional(text.size() + 1, u'\0');
            traditional.resize(toTraditional(text, traditional));
            words_.insert(wide(traditional));
        }
    }
    std::set<std::wstring> words_;
};

// The character a key gives with the modifiers held, as a US keyboard layout translates it.
wchar_t unitFor(UINT vk, bool shift, bool ctrl, bool caps) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            return static_cast<wchar_t>(vk - 'A' + 1);
        return static_cast<wchar_t>((shift != caps) ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        if (ctrl)
            return 0;
        return shift ? L")!@#$%^&*("[vk - '0'] : static_cast<wchar_t>(vk);
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return static_cast<wchar_t>(L'0' + (vk - VK_NUMPAD0));
    switch (vk) {
    case VK_MULTIPLY:
        return L'*';
    case VK_ADD:
        return L'+';
    case VK_SUBTRACT:
        return L'-';
    case VK_DECIMAL:
        return L'.';
    case VK_DIVIDE:
        return L'/';
    case VK_SPACE:
        return L' ';
    case VK_RETURN:
        return ctrl ? L'\n' : L'\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_BACK:
        return ctrl ? 0x7F : 0x08;
    case VK_TAB:
        return L'\t';
    case VK_OEM_4:
        return ctrl ? 0x1B : (shift ? L'{' : L'[');
    case VK_OEM_5:
        return ctrl ? 0x1C : (shift ? L'|' : L'\\');
    case VK_OEM_6:
        return ctrl ? 0x1D : (shift ? L'}' : L']');
    default:
        break;
    }
    if (ctrl)
        return 0;
    switch (vk) {
    case VK_OEM_1:
        return shift ? L':' : L';';
    case VK_OEM_PLUS:
        return shift ? L'+' : L'=';
    case VK_OEM_COMMA:
        return shift ? L'<' : L',';
    case VK_OEM_MINUS:
        return shift ? L'_' : L'-';
    case VK_OEM_PERIOD:
        return shift ? L'>' : L'.';
    case VK_OEM_2:
        return shift ? L'?' : L'/';
    case VK_OEM_3:
        return shift ? L'~' : L'`';
    case VK_OEM_7:
        return shift ? L'"' : L'\'';
    default:
        return 0;
    }
}

bool isExtended(UINT vk) {
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
        return true;
    default:
        return false;
    }
}

// Two application windows with a context each and one UI window, as IMM32 gives a thread: the
// module is loaded as IMM32 loads it, each context selected once, and the keys and the manager's
// calls are made as IMM32 makes them.
class TwoContexts : public ::testing::Test {
    friend class Storm;

protected:
    static void SetUpTestSuite() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = applicationProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"tovi-storm-app";
        RegisterClassW(&cls);
    }

    // Loads the module with these settings, makes both windows and contexts, and waits until the
    // starting scheme's table has loaded.
    void start(unsigned flags) {
        const std::string keypadFile = tableFile(CodeTableLayout::Digits, kKeypadEntries);
        const std::string pinyinFile = tableFile(CodeTableLayout::Letters, kPinyinEntries);
        ASSERT_FALSE(keypadFile.empty() || pinyinFile.empty());
        wintest::writeBytes(scratch.file(L"toviwb.mb"), keypadFile);
        wintest::writeBytes(scratch.file(L"tovipy.mb"), pinyinFile);
        wintest::writeBytes(scratch.file(L"config.ini"),
                            "IME_SETTINGS " + std::to_string(flags) + "\r\n");
        module = LoadLibraryW(L"tovi.ime");
        ASSERT_NE(module, nullptr);
        select = exported<ImeSelectFn>(module, "ImeSelect");
        processKey = exported<ImeProcessKeyFn>(module, "ImeProcessKey");
        toAscii = exported<ImeToAsciiExFn>(module, "ImeToAsciiEx");
        setActive = exported<ImeSetActiveContextFn>(module, "ImeSetActiveContext");
        notify = exported<NotifyImeFn>(module, "NotifyIME");
        ASSERT_TRUE(select && processKey && toAscii && setActive && notify);
        for (int pane = 0; pane < 2; ++pane) {
            windows[pane] = CreateWindowExW(0, L"tovi-storm-app", L"editor", WS_OVERLAPPEDWINDOW,
                                            60 + 420 * pane, 100, 400, 300, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
            ASSERT_NE(windows[pane], nullptr);
            SetWindowLongPtrW(windows[pane], GWLP_USERDATA, pane + 1);
            makeContext(pane);
        }
        ui = CreateWindowExW(0, L"ZHPYUI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, module,
                             nullptr);
        ASSERT_NE(ui, nullptr);
        gUiWindow = ui;
        focus = 0;
        SetWindowLongPtrW(ui, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(gContexts[0]));
        setActive(gContexts[0], TRUE);
        SendMessageW(ui, WM_IME_SETCONTEXT, TRUE, ISC_SHOWUIALL);
        SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        std::memset(keys, 0, sizeof(keys));
        SetKeyboardState(keys);
        ASSERT_TRUE(typesWord((flags & kPinyinScheme) ? "zhong" : "2321", L"中"))
            << "the table did not load";
        gRecorder.clear();
    }

    void TearDown() override {
        gUiWindow = nullptr;
        if (ui)
            DestroyWindow(std::exchange(ui, nullptr));
        for (int pane = 0; pane < 2; ++pane) {
            if (gContexts[pane])
                ImmDestroyContext(std::exchange(gContexts[pane], nullptr));
            if (windows[pane])
                DestroyWindow(std::exchange(windows[pane], nullptr));
        }
        if (module)
            FreeLibrary(std::exchange(module, nullptr));
        for (int i = 0; i < 1000 && GetModuleHandleW(L"tovi.ime"); ++i)
            Sleep(10);
        gRecorder.clear();
    }

    // A new context for the pane's window, selected once.
    void makeContext(int pane) {
        gContexts[pane] = ImmCreateContext();
        ASSERT_NE(gContexts[pane], nullptr);
        INPUTCONTEXT* ic = ImmLockIMC(gContexts[pane]);
        ASSERT_NE(ic, nullptr);
        ic->hWnd = windows[pane];
        ImmUnlockIMC(gContexts[pane]);
        ASSERT_TRUE(select(gContexts[pane], TRUE));
    }

    // The focus moves to the other window: the manager deactivates the old context and activates
    // the new one, and the UI window follows it.
    void moveFocus(int to) {
        if (to == focus)
            return;
        setActive(gContexts[focus], FALSE);
        focus = to;
        SetWindowLongPtrW(ui, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(gContexts[focus]));
        setActive(gContexts[focus], TRUE);
        SendMessageW(ui, WM_IME_SETCONTEXT, TRUE, ISC_SHOWUIALL);
    }

    // One key press or release as IMM32 hands it to the module for the focused context: every
    // event to ImeProcessKey, a claimed one to ImeToAsciiEx with a message list of `capacity`,
    // whose messages then go to the focused window. Returns whether the module claimed it.
    // `repeat` sets the previous-state bit of a press (an auto-repeat of a held key); `side`
    // (VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL) names the physical key of a Shift or Ctrl
    // event, whose scan code and extended bit the key data then carries.
    bool keyEvent(UINT vk, bool down, wchar_t unit, UINT capacity = 32, bool repeat = false,
                  UINT side = 0) {
        if (down)
            keys[vk] |= 0x80;
        else
            keys[vk] &= 0x7F;
        syncModifiers();
        UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        bool extended = isExtended(vk);
        if (vk == VK_SHIFT)
            scan = (keys[VK_RSHIFT] & 0x80) || (!down && rightShiftHeld) ? 0x36 : 0x2A;
        if (vk == VK_CONTROL) {
            scan = 0x1D;
            extended = (keys[VK_RCONTROL] & 0x80) || (!down && rightCtrlHeld);
        }
        if (side == VK_LSHIFT || side == VK_RSHIFT)
            scan = side == VK_RSHIFT ? 0x36 : 0x2A;
        if (side == VK_LCONTROL || side == VK_RCONTROL)
            extended = side == VK_RCONTROL;
        if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
            scan = static_cast<UINT>(std::array<BYTE, 10>{0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D,
                                                          0x47, 0x48, 0x49}[vk - VK_NUMPAD0]);
        const UINT state = down ? (repeat ? 0x40000001u : 1u) : 0xC0000001u;
        const LPARAM data = static_cast<LPARAM>(state | (scan << 16) | (extended ? 1u << 24 : 0u));
        lastKeyData = static_cast<std::uint32_t>(data);
        const HIMC context = gContexts[focus];
        if (!processKey(context, vk, data, keys))
            return false;
        std::vector<BYTE> storage(sizeof(TRANSMSGLIST) + 40 * sizeof(TRANSMSG));
        auto* list = reinterpret_cast<TRANSMSGLIST*>(storage.data());
        list->uMsgCount = capacity;
        const UINT count = toAscii(vk | (static_cast<UINT>(unit) << 16),
                                   scan | (down ? 0u : 0x8000u), keys, list, 0, context);
        listOverrun = capacity == 0 ? count != 0 : count >= capacity;
        for (UINT i = 0; i < count && i < capacity; ++i) {
            const TRANSMSG& m = transMsgEntries(list)[i];
            SendMessageW(windows[focus], m.message, m.wParam, m.lParam);
        }
        return true;
    }
    void press(UINT vk, wchar_t unit) { keyEvent(vk, true, unit); }
    void release(UINT vk) { keyEvent(vk, false, 0); }
    void tap(UINT vk, wchar_t unit) {
        press(vk, unit);
        release(vk);
    }
    void syncModifiers() {
        keys[VK_SHIFT] = (keys[VK_LSHIFT] | keys[VK_RSHIFT]) & 0x80;
        keys[VK_CONTROL] = (keys[VK_LCONTROL] | keys[VK_RCONTROL]) & 0x80;
        keys[VK_MENU] = (keys[VK_LMENU] | keys[VK_RMENU]) & 0x80;
        SetKeyboardState(keys);
    }
    void tapRightCtrl() {
        keys[VK_RCONTROL] = 0x80;
        rightCtrlHeld = true;
        press(VK_CONTROL, 0);
        keys[VK_RCONTROL] = 0;
        release(VK_CONTROL);
        rightCtrlHeld = false;
    }
    void tapRightShift() {
        keys[VK_RSHIFT] = 0x80;
        rightShiftHeld = true;
        press(VK_SHIFT, 0);
        keys[VK_RSHIFT] = 0;
        release(VK_SHIFT);
        rightShiftHeld = false;
    }
    // Keypad digits, or lower-case letters.
    void typeCode(const char* code) {
        for (const char* c = code; *c; ++c) {
            if (*c >= '0' && *c <= '9')
                tap(VK_NUMPAD0 + static_cast<UINT>(*c - '0'), static_cast<wchar_t>(*c));
            else
                tap(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
        }
    }
    // Types the code and confirms it (twice when the first confirm only lists the candidates)
    // until the focused context's result string is `word`; the table loads in the background.
    bool typesWord(const char* code, const std::wstring& word) {
        const bool keypad = code[0] >= '0' && code[0] <= '9';
        for (int attempt = 0; attempt < 100; ++attempt) {
            tap(VK_ESCAPE, 0x1B);
            typeCode(code);
            tap(keypad ? VK_NUMPAD0 : VK_SPACE, keypad ? L'0' : L' ');
            if (keypad && result(focus) != word)
                tap(VK_NUMPAD0, L'0');
            if (result(focus) == word)
                return true;
            Sleep(20);
        }
        return false;
    }
    std::wstring result(int pane) const { return wintest::resultString(gContexts[pane]); }
    // The bytes of the pane's composition-string block, where the module keeps its areas.
    std::string block(int pane) const {
        std::string bytes;
        INPUTCONTEXT* ic = ImmLockIMC(gContexts[pane]);
        if (!ic)
            return bytes;
        if (const void* data = ImmLockIMCC(ic->hCompStr)) {
            bytes.assign(static_cast<const char*>(data), ImmGetIMCCSize(ic->hCompStr));
            ImmUnlockIMCC(ic->hCompStr);
        }
        ImmUnlockIMC(gContexts[pane]);
        return bytes;
    }
    // The messages that reached `pane`'s window since the recorder was cleared.
    std::vector<Seen> seenBy(int pane) const {
        std::vector<Seen> seen;
        for (const Seen& s : gRecorder.messages)
            if (s.pane == pane)
                seen.push_back(s);
        return seen;
    }
    // The status bar, once the thread's messages are handled.
    HWND statusBar() const {
        handleInput();
        return findThreadWindow(L"DEDU_STATUS");
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    HMODULE module = nullptr;
    ImeSelectFn select = nullptr;
    ImeProcessKeyFn processKey = nullptr;
    ImeToAsciiExFn toAscii = nullptr;
    ImeSetActiveContextFn setActive = nullptr;
    NotifyImeFn notify = nullptr;
    std::array<HWND, 2> windows{};
    HWND ui = nullptr;
    int focus = 0;
    BYTE keys[256] = {};
    bool rightCtrlHeld = false;
    bool rightShiftHeld = false;
    bool listOverrun = false;
    // The key data of the last event handed to the module.
    std::uint32_t lastKeyData = 0;
};

constexpr unsigned kFullWidthSymbols = 0x1;
constexpr unsigned kFullWidthLetters = 0x2;
constexpr unsigned kWordAssociation = 0x10;
// Both schemes with association, full-width symbols and the prompt and info windows.
constexpr unsigned kKeypad =
    kKeypadScheme | kWordAssociation | kRootHints | kOperationHints | kFullWidthSymbols;
constexpr unsigned kPinyin =
    kPinyinScheme | kWordAssociation | kRootHints | kOperationHints | kFullWidthSymbols;

// ---- The contexts of keys: what a key does goes to the context it came with, even when the
// ---- other context of the thread was selected last or had the key before.

TEST_F(TwoContexts, AnAssociationCommitsIntoTheContextOfItsKey) {
    ASSERT_NO_FATAL_FAILURE(start(kKeypad));
    ASSERT_TRUE(typesWord("2321", L"中"));
    moveFocus(1);
    const std::string before = block(0);
    gRecorder.clear();
    press(VK_ADD, L'+'); // 中国 continues 中: its second character goes in
    release(VK_ADD);
    EXPECT_EQ(result(1), L"国");
    EXPECT_TRUE(seenBy(0).empty());
    EXPECT_TRUE(block(0) == before);
    ASSERT_EQ(gRecorder.commits.size(), 1u);
    EXPECT_EQ(gRecorder.commits[0].pane, 1);
}

TEST_F(TwoContexts, AMovementKeyEndsTheCompositionOfItsOwnContext) {
    ASSERT_NO_FATAL_FAILURE(start(kKeypad));
    typeCode("23");
    moveFocus(1);
    gRecorder.clear();
    EXPECT_FALSE(keyEvent(VK_LEFT, true, 0)); // the application moves its caret
    release(VK_LEFT);
    EXPECT_TRUE(seenBy(0).empty());
    ASSERT_FALSE(seenBy(1).empty());
    EXPECT_EQ(seenBy(1).back().message, static_cast<UINT>(WM_IME_ENDCOMPOSITION));
}

TEST_F(TwoContexts, ASchemeSwitchEndsTheCompositionInTheContextOfItsKey) {
    ASSERT_NO_FATAL_FAILURE(start(kKeypad));
    typeCode("23");
    moveFocus(1);
    tap(VK_ESCAPE, 0x1B); // a plain key first: a right-Ctrl tap never acts as the first key
    gRecorder.clear();
    tapRightCtrl();
    EXPECT_TRUE(seenBy(0).empty());
    EXPECT_TRUE(typesWord("zhong", L"中")); // the pinyin scheme now, in the second window
}

TEST_F(TwoContexts, ASelectionOfTheOtherContextKeepsCommitsWhereTheKeysAre) {
    ASSERT_NO_FATAL_FAILURE(start(kKeypad));
    select(gContexts[1], TRUE); // the second context is the one selected last
    const std::string before = block(1);
    gRecorder.clear();
    tap(VK_NUMPAD0, L'0'); // a plain space on an empty code
    ASSERT_TRUE(typesWord("23212411", L"中国"));
    EXPECT_TRUE(seenBy(1).empty());
    EXPECT_TRUE(block(1) == before);
}

// ---- Only text is committed: a key whose character is a control character or half of a
// ---- surrogate pair commits nothing.

TEST_F(TwoContexts, AShownSoftKeyboardCommitsNoControlCharacter) {
    // Without the prompt window, which the candidates of "23" place over the bar's buttons.
    ASSERT_NO_FATAL_FAILURE(start(kKeypad & ~kRootHints));
    const HWND bar = statusBar();
    ASSERT_NE(bar, nullptr);
    typeCode("23");
    clickAt(bar, 90, 10); // the soft keyboard
    ASSERT_NE(findThreadWindow(L"DEDU_SOFTKBD"), nullptr);
    gRecorder.clear();
    // Backspace and Enter on a code have no symbol; their characters are not text.
    tap(VK_BACK, 0x08);
    tap(VK_RETURN, L'\r');
    EXPECT_TRUE(gRecorder.commits.empty()) << hex(result(0));
    EXPECT_TRUE(gRecorder.characters.empty());
    tap('Q', L'q'); // the keys with symbols still type them
    EXPECT_EQ(result(0), L"⒈");
    clickAt(bar, 90, 10);
    EXPECT_EQ(findThreadWindow(L"DEDU_SOFTKBD"), nullptr);
}

TEST_F(TwoContexts, AHalfOfASurrogatePairIsNeverCommitted) {
    ASSERT_NO_FATAL_FAILURE(start(kKeypad | kFullWidthLetters));
    gRecorder.clear();
    tap('A', 0xD83D); // a layout that types a character outside the basic plane
    tap('B', 0xDE00);
    EXPECT_TRUE(gRecorder.commits.empty()) << hex(result(0));
    tap('A', L'a');
    EXPECT_EQ(result(0), L"ａ");
}

// ---- The modes a user sets with the keyboard, predicted from the key events alone.

// The modes the module shows: the status bar's language and full-width cells, the traditional
// item of its settings menu and the checked scheme of its input-mode menu.
struct Modes {
    bool english = false;
    bool fullWidthLetters = false;
    bool fullWidthSymbols = false;
    bool traditional = false;
    bool pinyin = false;
};

std::string describe(const Modes& m) {
    std::string text = m.english ? "English" : "Chinese";
    text += m.fullWidthLetters ? ", full-width letters" : ", half-width letters";
    text += m.fullWidthSymbols ? ", full-width symbols" : ", half-width symbols";
    text += m.traditional ? ", traditional" : ", simplified";
    text += m.pinyin ? ", pinyin" : ", keypad";
    return text;
}

// Follows every key event handed to the module, with the key data and key-state array it
// carried, and predicts the modes from the hotkeys: a lone tap of right Shift (its first press,
// then its release with no other key between) toggles English mode, which turns full-width
// symbols and letters off, and back on the symbols; Shift+Space and Ctrl+period (or keypad
// period) toggle the full-width letters and symbols at a first press; Ctrl+J toggles traditional
// output at a first press of J; the release of a lone right Ctrl (key data 0xC11D0001, no other
// key since Ctrl's first press) switches the scheme; CapsLock follows its light into and out of
// English mode unless Ctrl is down. Keypad plus and, with Ctrl down at a first press, keypad 1-9
// and J end the routing of a key before the English-mode and CapsLock steps; with Ctrl down any
// other key but Ctrl ends it before CapsLock; and a key that full-width input takes ends it
// before CapsLock. The soft keyboard stays hidden while the model follows.
class ModeModel {
public:
    explicit ModeModel(const Modes& start) : modes_(start) {}
    const Modes& modes() const { return modes_; }

    void follow(UINT vk, std::uint32_t data, const BYTE* keys) {
        const bool release = data & 0x80000000u;
        const bool firstPress = (data & 0xC0000000u) == 0;
        const bool shift = keys[VK_SHIFT] & 0x80;
        const bool ctrl = keys[VK_CONTROL] & 0x80;
        const bool rightShift = keys[VK_RSHIFT] & 0x80;
        const bool tapped = followRightShift(vk, data, release, firstPress, rightShift);
        if (vk == VK_CONTROL) {
            if (firstPress)
                ctrlCombined_ = false;
        } else if (ctrl) {
            ctrlCombined_ = true;
        }
        if (firstPress && shift && vk == VK_SPACE)
            modes_.fullWidthLetters = !modes_.fullWidthLetters;
        if (firstPress && ctrl && (vk == VK_OEM_PERIOD || vk == VK_DECIMAL))
            modes_.fullWidthSymbols = !modes_.fullWidthSymbols;
        if (vk == VK_ADD)
            return;
        if (ctrl && firstPress && vk >= VK_NUMPAD1 && vk <= VK_NUMPAD9)
            return;
        if (ctrl && firstPress && vk == 'J') {
            modes_.traditional = !modes_.traditional;
            return;
        }
        if (tapped) {
            modes_.english = !modes_.english;
            modes_.fullWidthSymbols = !modes_.english;
            if (modes_.english)
                modes_.fullWidthLetters = false;
        }
        if (vk != VK_CONTROL && ctrl)
            return;
        if (vk == VK_CONTROL && data == 0xC11D0001u && !ctrlCombined_) {
            modes_.pinyin = !modes_.pinyin;
            return;
        }
        if (fullWidthTakes(vk, shift))
            return;
        if (vk == VK_CAPITAL)
            modes_.english = keys[VK_CAPITAL] & 1;
    }

private:
    bool followRightShift(UINT vk, std::uint32_t data, bool release, bool firstPress,
                          bool rightShift) {
        if (vk != VK_SHIFT) {
            tapStarted_ = false;
            return false;
        }
        if (release) {
            if (rightShift)
                return false;
            return std::exchange(tapStarted_, false);
        }
        if (firstPress && rightShift && ((data >> 16) & 0xFF) != 0x2A)
            tapStarted_ = true;
        else if (!rightShift)
            tapStarted_ = false;
        return false;
    }
    bool fullWidthTakes(UINT vk, bool shift) const {
        const bool oem = (vk >= VK_OEM_1 && vk <= VK_OEM_3) || (vk >= VK_OEM_4 && vk <= VK_OEM_7);
        const bool letterKey =
            vk == VK_SPACE || (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || oem;
        const bool symbolKey = oem || (shift && vk >= '0' && vk <= '9');
        const bool numpadDigit = vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9;
        return ((modes_.fullWidthLetters && letterKey) || (modes_.fullWidthSymbols && symbolKey)) &&
               !(!modes_.english && numpadDigit);
    }

    Modes modes_;
    bool tapStarted_ = false;
    // Unknown when the model starts; every Ctrl release it follows comes after a first press.
    bool ctrlCombined_ = true;
};

// ---- The storm.

class Storm {
public:
    Storm(TwoContexts& t, std::uint32_t seed, bool pinyin, unsigned long events)
        : t_(t), random_(seed), seed_(seed), pinyin_(pinyin), target_(events) {}

    void run();
    // A part of the storm with keys only (no manager call, no click), which `model` follows.
    void runModelled(ModeModel& model, unsigned long events);
    std::string summary() const;
    int failures() const { return failures_; }
    unsigned long events() const { return events_; }

private:
    // Picks in [0, n).
    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    bool chance(unsigned perMille) { return pick(1000) < perMille; }
    std::string where() const {
        return "seed " + std::to_string(seed_) + ", event " + std::to_string(events_) + " (" +
               step_ + ")";
    }
    void fail(const std::string& what) {
        ++failures_;
        ADD_FAILURE() << what << " at " << where() << "; run again with TOVI_STORM_SEED=" << seed_;
    }

    // The steps.
    void keyTap();
    void typeWord();
    void hotkey();
    void heldModifier();
    void autoRepeat();
    void managerCall();
    void recreate();
    void clickWindow();

    // One key event, checked; see TwoContexts::keyEvent for `repeat` and `side`.
    bool key(UINT vk, bool down, wchar_t unit, bool repeat = false, UINT side = 0);
    // A press, auto-repeat or release of the left or right Shift or Ctrl key.
    void modifier(UINT side, bool down, bool repeat = false) {
        t_.keys[side] = down ? 0x80 : 0;
        const bool isShift = side == VK_LSHIFT || side == VK_RSHIFT;
        key(isShift ? VK_SHIFT : VK_CONTROL, down, 0, repeat, side);
    }
    // Any key, the operators of the keypad and the keys of the hotkeys more often.
    UINT anyKey();
    void tapChecked(UINT vk, wchar_t unit) {
        key(vk, true, unit);
        key(vk, false, 0);
    }
    // A right-hand modifier tapped alone; its release still carries its scan code and extended
    // bit.
    void tapRight(UINT side, UINT generic, const char* name) {
        step_ = name;
        bool& held = side == VK_RCONTROL ? t_.rightCtrlHeld : t_.rightShiftHeld;
        t_.keys[side] = 0x80;
        held = true;
        key(generic, true, 0);
        t_.keys[side] = 0;
        key(generic, false, 0);
        held = false;
    }
    UINT randomKey();
    wchar_t unitOf(UINT vk);
    // Checks what happened since `before` was taken: messages only to the windows allowed, no
    // block but theirs changed, and what was committed is text for an allowed window.
    void check(const std::array<std::string, 2>& before, std::array<bool, 2> allowed);
    std::array<std::string, 2> blocks() const { return {t_.block(0), t_.block(1)}; }
    void checkCandidateLists();
    void pumpSometimes();

    TwoContexts& t_;
    std::mt19937 random_;
    std::uint32_t seed_;
    bool pinyin_;
    unsigned long target_;
    unsigned long events_ = 0;
    std::string step_;
    int failures_ = 0;
    // The context the last key came with: where a composition lives between keys.
    int lastKeyPane_ = 0;
    CommittedText texts_;
    // The model that follows the keys, in the part of the storm it predicts.
    ModeModel* model_ = nullptr;
    // Figures for the summary.
    unsigned long claimed_ = 0, commits_ = 0, focusMoves_ = 0, recreated_ = 0, clicks_ = 0,
                  overruns_ = 0;
};

wchar_t Storm::unitOf(UINT vk) {
    // Now and then a character from another keyboard layout, or none.
    if (chance(15)) {
        static constexpr wchar_t odd[] = {0xD83D, 0xDE00, 0xFFFF, 0x0085, 0x00E9, 0x3000,
                                          0x0000, 0xFEFF, 0x007F, 0x0008, 0x000A, 0xFF01};
        return odd[pick(static_cast<unsigned>(std::size(odd)))];
    }
    const BYTE* k = t_.keys;
    return unitFor(vk, k[VK_SHIFT] & 0x80, k[VK_CONTROL] & 0x80, k[VK_CAPITAL] & 1);
}

UINT Storm::randomKey() {
    static constexpr UINT editing[] = {VK_SPACE, VK_RETURN, VK_ESCAPE, VK_BACK,  VK_TAB,
                                       VK_PRIOR, VK_NEXT,   VK_LEFT,   VK_UP,    VK_RIGHT,
                                       VK_DOWN,  VK_HOME,   VK_END,    VK_DELETE};
    static constexpr UINT operators[] = {VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE};
    static constexpr UINT punctuation[] = {VK_OEM_1,      VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS,
                                           VK_OEM_PERIOD, VK_OEM_2,    VK_OEM_3,     VK_OEM_4,
                                           VK_OEM_5,      VK_OEM_6,    VK_OEM_7};
    const unsigned roll = pick(100);
    const unsigned numpadShare = pinyin_ ? 10 : 38;
    const unsigned letterShare = pinyin_ ? 38 : 10;
    if (roll < numpadShare)
        return VK_NUMPAD0 + pick(10);
    if (roll < numpadShare + letterShare)
        return 'A' + pick(26);
    if (roll < 60)
        return '0' + pick(10);
    if (roll < 80)
        return editing[pick(static_cast<unsigned>(std::size(editing)))];
    if (roll < 88)
        return operators[pick(static_cast<unsigned>(std::size(operators)))];
    return punctuation[pick(static_cast<unsigned>(std::size(punctuation)))];
}

bool Storm::key(UINT vk, bool down, wchar_t unit, bool repeat, UINT side) {
    ++events_;
    const auto before = blocks();
    gRecorder.clear();
    // Mostly a roomy list; now and then one too small for what the key produces.
    static constexpr UINT capacities[] = {32, 32, 32, 32, 16, 8, 4, 3, 2, 1, 0};
    const UINT capacity = capacities[pick(static_cast<unsigned>(std::size(capacities)))];
    const bool claimed = t_.keyEvent(vk, down, unit, capacity, repeat, side);
    if (model_)
        model_->follow(vk, t_.lastKeyData, t_.keys);
    claimed_ += claimed;
    if (claimed && t_.listOverrun)
        fail("ImeToAsciiEx reported more messages than its list holds");
    overruns_ += claimed && capacity < 4;
    lastKeyPane_ = t_.focus;
    std::array<bool, 2> allowed{};
    allowed[static_cast<std::size_t>(t_.focus)] = true;
    check(before, allowed);
    return claimed;
}

void Storm::check(const std::array<std::string, 2>& before, std::array<bool, 2> allowed) {
    if (!IsWindow(t_.ui) || !IsWindow(t_.windows[0]) || !IsWindow(t_.windows[1]))
        fail("a window of the application is gone");
    for (const Seen& s : gRecorder.messages)
        if (s.pane < 0 || !allowed[static_cast<std::size_t>(s.pane)]) {
            fail("message " + std::to_string(s.message) + " reached window " +
                 std::to_string(s.pane));
            break;
        }
    const auto after = blocks();
    for (std::size_t pane = 0; pane < 2; ++pane)
        if (!allowed[pane] && after[pane] != before[pane])
            fail("the block of context " + std::to_string(pane) + " changed");
    for (const Commit& c : gRecorder.commits) {
        ++commits_;
        if (!allowed[static_cast<std::size_t>(c.pane)])
            fail("a commit reached window " + std::to_string(c.pane));
        if (const std::string fault = texts_.fault(c.text); !fault.empty())
            fail(fault + " committed: " + hex(c.text));
    }
    for (const Seen& s : gRecorder.characters) {
        const auto unit = static_cast<wchar_t>(s.wParam);
        if (texts_.fault(std::wstring(1, unit)) != "")
            fail("character " + hex(std::wstring(1, unit)) + " sent to the application");
    }
}

void Storm::checkCandidateLists() {
    for (std::size_t pane = 0; pane < 2; ++pane) {
        const HIMC context = gContexts[pane];
        DWORD lists = 0;
        const DWORD total = ImmGetCandidateListCountW(context, &lists);
        if (total == 0)
            continue;
        for (DWORD index = 0; index < lists && index < 4; ++index) {
            const DWORD size = ImmGetCandidateListW(context, index, nullptr, 0);
            if (size < sizeof(CANDIDATELIST) || size > (1u << 20))
                continue;
            std::vector<BYTE> storage(size);
            auto* list = reinterpret_cast<CANDIDATELIST*>(storage.data());
            if (ImmGetCandidateListW(context, index, list, size) == 0)
                continue;
            if (list->dwSize < offsetof(CANDIDATELIST, dwOffset)) {
                fail("a candidate list smaller than its header");
                continue;
            }
            const DWORD room = (list->dwSize - offsetof(CANDIDATELIST, dwOffset)) / sizeof(DWORD);
            if (list->dwSize > size || list->dwCount > room ||
                (list->dwCount && list->dwPageStart >= list->dwCount) ||
                (list->dwCount && list->dwSelection >= list->dwCount))
                fail("a candidate list counts more than it holds");
            for (DWORD i = 0; i < list->dwCount && i < room; ++i)
                if (list->dwOffset[i] >= list->dwSize)
                    fail("a candidate lies outside its list");
        }
    }
}

void Storm::pumpSometimes() {
    if (events_ % 16 != 0)
        return;
    // The application's loop: timers, painting of the tool windows.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    checkCandidateLists();
}

void Storm::keyTap() {
    step_ = "key";
    const UINT vk = randomKey();
    // Modifiers held around the key now and then, and the next key pressed before this one is
    // released.
    const bool shift = chance(80);
    const bool ctrl = chance(45);
    const bool alt = chance(10);
    const UINT shiftKey = chance(500) ? VK_LSHIFT : VK_RSHIFT;
    const UINT ctrlKey = chance(700) ? VK_LCONTROL : VK_RCONTROL;
    // A right-hand modifier's release still carries its scan code and extended bit.
    auto modifier = [&](UINT side, UINT generic, bool down) {
        t_.keys[side] = down ? 0x80 : 0;
        bool* right = side == VK_RCONTROL ? &t_.rightCtrlHeld
                      : side == VK_RSHIFT ? &t_.rightShiftHeld
                                          : nullptr;
        if (right && down)
            *right = true;
        key(generic, down, 0);
        if (right && !down)
            *right = false;
    };
    if (shift)
        modifier(shiftKey, VK_SHIFT, true);
    if (ctrl)
        modifier(ctrlKey, VK_CONTROL, true);
    if (alt)
        modifier(VK_LMENU, VK_MENU, true);
    key(vk, true, unitOf(vk));
    if (chance(30)) {
        const UINT next = randomKey();
        key(next, true, unitOf(next));
        key(vk, false, 0);
        key(next, false, 0);
    } else {
        // A held key repeats.
        if (chance(20))
            key(vk, true, unitOf(vk));
        key(vk, false, 0);
    }
    if (alt)
        modifier(VK_LMENU, VK_MENU, false);
    if (ctrl)
        modifier(ctrlKey, VK_CONTROL, false);
    if (shift)
        modifier(shiftKey, VK_SHIFT, false);
}

void Storm::typeWord() {
    step_ = "word";
    const bool pinyinCode = chance(pinyin_ ? 850 : 150);
    const char* code = pinyinCode
                           ? kPinyinCodes[pick(static_cast<unsigned>(std::size(kPinyinCodes)))]
                           : kKeypadCodes[pick(static_cast<unsigned>(std::size(kKeypadCodes)))];
    for (const char* c = code; *c; ++c) {
        const UINT vk = *c >= '0' && *c <= '9' ? VK_NUMPAD0 + static_cast<UINT>(*c - '0')
                                               : static_cast<UINT>(*c - 'a' + 'A');
        tapChecked(vk, static_cast<wchar_t>(*c));
    }
    switch (pick(8)) {
    case 0:
        tapChecked(VK_SPACE, L' ');
        break;
    case 1:
        tapChecked(VK_NUMPAD0, L'0');
        tapChecked(VK_NUMPAD0 + 1 + pick(3), L'1');
        break;
    case 2: {
        const UINT digit = 1 + pick(9);
        tapChecked('0' + digit, static_cast<wchar_t>(L'0' + digit));
        break;
    }
    case 3:
        tapChecked(chance(500) ? VK_NEXT : VK_OEM_PLUS, 0);
        tapChecked(chance(500) ? VK_PRIOR : VK_OEM_MINUS, 0);
        tapChecked(VK_NEXT, 0);
        tapChecked(VK_NUMPAD0 + 1 + pick(9), L'2');
        break;
    case 4:
        tapChecked(VK_BACK, 0x08);
        break;
    default:
        break; // left for the next steps
    }
}

void Storm::hotkey() {
    step_ = "hotkey";
    auto with = [&](UINT side, UINT generic, UINT vk, wchar_t unit) {
        t_.keys[side] = 0x80;
        key(generic, true, 0);
        key(vk, true, unit);
        key(vk, false, 0);
        t_.keys[side] = 0;
        key(generic, false, 0);
    };
    switch (pick(14)) {
    case 0:
        with(VK_LCONTROL, VK_CONTROL, 'J', L'\n'); // traditional output
        break;
    case 1:
        with(VK_LSHIFT, VK_SHIFT, VK_SPACE, L' '); // full-width letters
        break;
    case 2:
        with(VK_LCONTROL, VK_CONTROL, VK_OEM_PERIOD, 0); // full-width symbols
        break;
    case 3:
        with(VK_RCONTROL, VK_CONTROL, VK_DECIMAL, L'.');
        break;
    case 4:
        if (chance(400)) // the other scheme, now and then
            tapRight(VK_RCONTROL, VK_CONTROL, "right Ctrl");
        break;
    case 5:
        tapRight(VK_RSHIFT, VK_SHIFT, "right Shift");
        break;
    case 6:
        step_ = "CapsLock";
        t_.keys[VK_CAPITAL] ^= 1;
        tapChecked(VK_CAPITAL, 0);
        break;
    case 7:
        with(VK_LCONTROL, VK_CONTROL, VK_NUMPAD0 + 1 + pick(9), L'1'); // select and promote
        break;
    case 8:
    case 9:
        tapChecked(VK_ADD, L'+'); // association
        break;
    case 10:
        tapChecked(VK_DIVIDE, L'/'); // the symbol list
        break;
    case 11:
        if (chance(100))
            tapChecked(VK_MULTIPLY, L'*'); // the companion program, which is not installed
        break;
    case 12:
        tapChecked(VK_SUBTRACT, L'-');
        break;
    default:
        with(VK_LCONTROL, VK_CONTROL, VK_NUMPAD0 + pick(10), 0);
        break;
    }
}

UINT Storm::anyKey() {
    static constexpr UINT special[] = {VK_ADD,     VK_SUBTRACT, VK_MULTIPLY, VK_DIVIDE,
                                       VK_DECIMAL, 'J',         VK_SPACE,    VK_OEM_PERIOD,
                                       VK_NUMPAD0, VK_NUMPAD1,  VK_NUMPAD5,  VK_NUMPAD9,
                                       VK_CAPITAL, VK_LSHIFT,   VK_RSHIFT,   VK_ESCAPE};
    if (chance(500))
        return randomKey();
    const UINT vk = special[pick(static_cast<unsigned>(std::size(special)))];
    // The companion program is not installed; its key now and then only.
    return vk == VK_MULTIPLY && !chance(200) ? VK_DIVIDE : vk;
}

// A modifier held over one to three keys of any kind, each maybe auto-repeating, and maybe
// repeating itself before, between and after them.
void Storm::heldModifier() {
    step_ = "held modifier";
    // Right Ctrl now and then: held over other keys, its release is no scheme switch.
    static constexpr UINT sides[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL};
    const UINT side = chance(80) ? VK_RCONTROL : sides[pick(3)];
    modifier(side, true);
    const auto repeatSide = [&] {
        if (chance(250))
            for (unsigned n = 1 + pick(3); n > 0; --n)
                modifier(side, true, true);
    };
    repeatSide();
    // Right Shift over keypad plus alone, often: no tap of right Shift however early the
    // module takes the key.
    const bool overPlus = side == VK_RSHIFT && chance(300);
    for (unsigned keys = overPlus ? 1 : 1 + pick(3); keys > 0; --keys) {
        const UINT vk = overPlus ? VK_ADD : anyKey();
        if (vk == VK_LSHIFT || vk == VK_RSHIFT) {
            // The other Shift key, or an auto-repeat of the one held.
            modifier(vk, true, vk == side);
            if (vk != side)
                modifier(vk, false);
        } else {
            if (vk == VK_CAPITAL)
                t_.keys[VK_CAPITAL] ^= 1;
            key(vk, true, unitOf(vk));
            if (chance(200))
                for (unsigned n = 1 + pick(3); n > 0; --n)
                    key(vk, true, unitOf(vk), true);
            key(vk, false, 0);
        }
        repeatSide();
    }
    modifier(side, false);
}

// A key held until it repeats, then released: several presses, the first with the previous-state
// bit clear, and one release. Shift and Ctrl repeat as often as the others.
void Storm::autoRepeat() {
    step_ = "auto-repeat";
    static constexpr UINT sides[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL};
    const unsigned repeats = 1 + pick(5);
    if (chance(400)) {
        UINT side = sides[pick(4)];
        // The other scheme, now and then.
        if (side == VK_RCONTROL && !chance(300))
            side = VK_RSHIFT;
        modifier(side, true);
        for (unsigned n = repeats; n > 0; --n)
            modifier(side, true, true);
        modifier(side, false);
        return;
    }
    UINT vk = anyKey();
    if (vk == VK_LSHIFT || vk == VK_RSHIFT)
        vk = VK_SPACE;
    if (vk == VK_CAPITAL)
        t_.keys[VK_CAPITAL] ^= 1;
    key(vk, true, unitOf(vk));
    for (unsigned n = repeats; n > 0; --n)
        key(vk, true, unitOf(vk), true);
    key(vk, false, 0);
}

void Storm::managerCall() {
    ++events_;
    const auto before = blocks();
    gRecorder.clear();
    std::array<bool, 2> allowed{};
    // A composition that lives in the context of the last key may end there.
    allowed[static_cast<std::size_t>(lastKeyPane_)] = true;
    const int other = 1 - t_.focus;
    switch (pick(12)) {
    case 0:
    case 1:
    case 2:
        step_ = "focus moves";
        ++focusMoves_;
        allowed[static_cast<std::size_t>(t_.focus)] = true;
        t_.moveFocus(other);
        break;
    case 3: {
        step_ = "ImeSelect";
        const int pane = chance(600) ? other : t_.focus;
        allowed[static_cast<std::size_t>(pane)] = true;
        const bool again = chance(500);
        t_.select(gContexts[static_cast<std::size_t>(pane)], FALSE);
        if (again)
            t_.select(gContexts[static_cast<std::size_t>(pane)], TRUE);
        break;
    }
    case 4:
    case 5:
    case 6: {
        step_ = "NotifyIME";
        const int pane = chance(700) ? t_.focus : other;
        allowed[static_cast<std::size_t>(pane)] = true;
        static constexpr DWORD actions[][2] = {{NI_COMPOSITIONSTR, CPS_CANCEL},
                                               {NI_COMPOSITIONSTR, CPS_COMPLETE},
                                               {NI_COMPOSITIONSTR, CPS_CONVERT},
                                               {NI_COMPOSITIONSTR, CPS_REVERT},
                                               {NI_SELECTCANDIDATESTR, 0},
                                               {NI_CHANGECANDIDATELIST, 0},
                                               {NI_SETCANDIDATE_PAGESTART, 0},
                                               {NI_SETCANDIDATE_PAGESIZE, 0},
                                               {NI_OPENCANDIDATE, 0},
                                               {NI_CLOSECANDIDATE, 0},
                                               {NI_CONTEXTUPDATED, kSetOpenStatus},
                                               {NI_CONTEXTUPDATED, kSetConversionMode},
                                               {NI_CONTEXTUPDATED, kSetCandidatePos},
                                               {NI_CONTEXTUPDATED, kSetCompositionWindow},
                                               {NI_IMEMENUSELECTED, 0},
                                               {0x7777, 0x7777}};
        const auto& action = actions[pick(static_cast<unsigned>(std::size(actions)))];
        const DWORD value =
            action[0] == NI_COMPOSITIONSTR || action[0] == NI_CONTEXTUPDATED ? action[1] : pick(40);
        t_.notify(gContexts[static_cast<std::size_t>(pane)], action[0], pick(3), value);
        break;
    }
    case 7:
    case 8:
    case 9: {
        step_ = "UI window";
        allowed[static_cast<std::size_t>(t_.focus)] = true;
        static constexpr WPARAM notes[] = {IMN_SETCANDIDATEPOS,   IMN_SETCOMPOSITIONWINDOW,
                                           IMN_SETCONVERSIONMODE, IMN_SETOPENSTATUS,
                                           IMN_CLOSESTATUSWINDOW, IMN_OPENSTATUSWINDOW,
                                           IMN_OPENSTATUSWINDOW};
        const WPARAM note = notes[pick(static_cast<unsigned>(std::size(notes)))];
        if (note == IMN_SETCANDIDATEPOS || note == IMN_SETCOMPOSITIONWINDOW) {
            // Anywhere, the screen's edges and beyond included.
            if (INPUTCONTEXT* ic = ImmLockIMC(gContexts[static_cast<std::size_t>(t_.focus)])) {
                ic->cfCompForm.ptCurrentPos = {static_cast<LONG>(pick(3000)) - 1000,
                                               static_cast<LONG>(pick(3000)) - 1000};
                ImmUnlockIMC(gContexts[static_cast<std::size_t>(t_.focus)]);
            }
        }
        SendMessageW(t_.ui, WM_IME_NOTIFY, note, 0);
        if (chance(200))
            SendMessageW(t_.ui, WM_IME_SETCONTEXT, pick(2), ISC_SHOWUIALL);
        break;
    }
    default:
        recreate();
        return;
    }
    check(before, allowed);
}

void Storm::recreate() {
    step_ = "context made again";
    ++recreated_;
    const int pane = static_cast<int>(pick(2));
    const bool focused = pane == t_.focus;
    std::array<bool, 2> allowed{};
    allowed[static_cast<std::size_t>(lastKeyPane_)] = true;
    allowed[static_cast<std::size_t>(pane)] = true;
    auto before = blocks();
    gRecorder.clear();
    if (focused) {
        t_.setActive(gContexts[static_cast<std::size_t>(pane)], FALSE);
        SetWindowLongPtrW(t_.ui, IMMGWL_IMC, 0);
    }
    t_.select(gContexts[static_cast<std::size_t>(pane)], FALSE);
    ImmDestroyContext(std::exchange(gContexts[static_cast<std::size_t>(pane)], nullptr));
    check(before, allowed);
    t_.makeContext(pane);
    if (focused) {
        SetWindowLongPtrW(t_.ui, IMMGWL_IMC,
                          reinterpret_cast<LONG_PTR>(gContexts[static_cast<std::size_t>(pane)]));
        t_.setActive(gContexts[static_cast<std::size_t>(pane)], TRUE);
        SendMessageW(t_.ui, WM_IME_SETCONTEXT, TRUE, ISC_SHOWUIALL);
    }
    // A key's composition never lives on in a context made after it.
    if (lastKeyPane_ == pane)
        lastKeyPane_ = t_.focus;
}

void Storm::clickWindow() {
    // A candidate on the candidate window, or one of the status bar's language, full-width
    // letters, full-width symbols and soft-keyboard buttons.
    const HWND candidates = findThreadWindow(L"DEDU_CAND");
    const bool onCandidates = candidates && IsWindowVisible(candidates) && chance(500);
    const HWND target = onCandidates ? candidates : t_.statusBar();
    if (!target || !IsWindowVisible(target))
        return;
    step_ = onCandidates ? "candidate window click" : "status bar click";
    ++events_;
    ++clicks_;
    const auto before = blocks();
    gRecorder.clear();
    if (onCandidates) {
        RECT area{};
        GetClientRect(target, &area);
        clickAt(target, static_cast<int>(pick(static_cast<unsigned>(std::max(area.right, 1L)))),
                static_cast<int>(pick(static_cast<unsigned>(std::max(area.bottom, 1L)))));
    } else {
        static constexpr int buttons[] = {10, 50, 70, 90};
        clickAt(target, buttons[pick(4)], 10);
    }
    // What a click ends or commits belongs to the composition, which lives in the context of the
    // last key.
    std::array<bool, 2> allowed{};
    allowed[static_cast<std::size_t>(lastKeyPane_)] = true;
    check(before, allowed);
}

void Storm::run() {
    while (events_ < target_ && failures_ < 5) {
        const unsigned roll = pick(1000);
        if (roll < 480)
            keyTap();
        else if (roll < 540)
            heldModifier();
        else if (roll < 580)
            autoRepeat();
        else if (roll < 700)
            typeWord();
        else if (roll < 800)
            hotkey();
        else if (roll < 997)
            managerCall();
        else
            clickWindow();
        pumpSometimes();
    }
}

void Storm::runModelled(ModeModel& model, unsigned long events) {
    model_ = &model;
    const unsigned long end = events_ + events;
    while (events_ < end && failures_ < 5) {
        const unsigned roll = pick(100);
        if (roll < 45)
            keyTap();
        else if (roll < 65)
            heldModifier();
        else if (roll < 75)
            autoRepeat();
        else if (roll < 90)
            typeWord();
        else
            hotkey();
        pumpSometimes();
    }
    // Escape closes what the last keys opened over the status bar.
    step_ = "Escape";
    tapChecked(VK_ESCAPE, 0x1B);
    model_ = nullptr;
}

std::string Storm::summary() const {
    std::ostringstream out;
    out << (pinyin_ ? "pinyin" : "keypad") << " storm, seed " << seed_ << ": " << events_
        << " events, " << claimed_ << " keys claimed, " << commits_ << " commits, " << focusMoves_
        << " focus moves, " << recreated_ << " contexts made again, " << clicks_ << " clicks, "
        << overruns_ << " small message lists";
    return out.str();
}

class KeyStorm : public TwoContexts {
protected:
    // The modes the status bar shows: its language and full-width cells, the traditional item of
    // its settings menu and the scheme checked in its input-mode menu.
    Modes shownModes(std::uint32_t seed) {
        SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        const HWND bar = statusBar();
        Modes shown;
        EXPECT_NE(bar, nullptr) << "TOVI_STORM_SEED=" << seed;
        if (!bar)
            return shown;
        const int language = rowShown(bar, module, 0);
        const int letters = rowShown(bar, module, 2);
        const int symbols = rowShown(bar, module, 3);
        EXPECT_TRUE(language >= 0 && letters >= 0 && symbols >= 0)
            << "the status bar's cells show " << language << " " << letters << " " << symbols
            << "; TOVI_STORM_SEED=" << seed;
        shown.english = language == 1;
        shown.fullWidthLetters = letters == 0;
        shown.fullWidthSymbols = symbols == 0;
        {
            MenuWatcher watcher;
            rightClickAt(bar, 50, 10); // the settings
            const std::vector<MenuItem>& items = watcher.items();
            EXPECT_EQ(items.size(), 7u) << "TOVI_STORM_SEED=" << seed;
            shown.traditional = items.size() > 2 && items[2].checked();
        }
        {
            MenuWatcher watcher;
            rightClickAt(bar, 30, 10); // the input modes
            const std::vector<MenuItem>& items = watcher.items();
            EXPECT_EQ(items.size(), 2u) << "TOVI_STORM_SEED=" << seed;
            EXPECT_TRUE(items.size() == 2 && items[0].checked() != items[1].checked())
                << "TOVI_STORM_SEED=" << seed;
            shown.pinyin = items.size() == 2 && items[1].checked();
        }
        return shown;
    }

    // Closes the soft keyboard with its status-bar cell. The storm may have closed the status
    // window, which hides both, and a click must land on a shown bar.
    void closeSoftKeyboard(std::uint32_t seed) {
        SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        if (findThreadWindow(L"DEDU_SOFTKBD"))
            clickAt(statusBar(), 90, 10);
        ASSERT_EQ(findThreadWindow(L"DEDU_SOFTKBD"), nullptr) << "TOVI_STORM_SEED=" << seed;
    }

    void storm(bool pinyin) {
        const auto seed = static_cast<std::uint32_t>(
            environmentNumber("TOVI_STORM_SEED", std::random_device{}()));
        const unsigned long events = environmentNumber("TOVI_STORM_KEYS", 3000);
        ASSERT_NO_FATAL_FAILURE(start(pinyin ? kPinyin : kKeypad));
        const auto began = std::chrono::steady_clock::now();
        Storm storm(*this, seed, pinyin, events);
        storm.run();
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        std::printf("%s in %.1f s\n", storm.summary().c_str(), seconds);
        std::fflush(stdout);
        ASSERT_EQ(storm.failures(), 0) << "TOVI_STORM_SEED=" << seed;
        // Then keys only, from the modes the storm left, which a model of the hotkeys follows;
        // the modes shown are compared with the model's every few hundred events, so that two
        // wrong toggles do not hide each other.
        ASSERT_NO_FATAL_FAILURE(closeSoftKeyboard(seed));
        const Modes start = shownModes(seed);
        ModeModel model(start);
        // Half as many events as the storm, in parts of about 300.
        const unsigned long modelled = std::max(1ul, events / 2);
        const unsigned long parts = std::max(1ul, modelled / 300);
        const auto keysOnly = std::chrono::steady_clock::now();
        for (unsigned long part = 0; part < parts; ++part) {
            const unsigned long from = storm.events();
            storm.runModelled(model, modelled / parts);
            ASSERT_EQ(storm.failures(), 0) << "TOVI_STORM_SEED=" << seed;
            ASSERT_EQ(findThreadWindow(L"DEDU_SOFTKBD"), nullptr) << "TOVI_STORM_SEED=" << seed;
            ASSERT_EQ(describe(shownModes(seed)), describe(model.modes()))
                << "the modes shown are not those the keys of events " << from << " to "
                << storm.events() << " set; TOVI_STORM_SEED=" << seed;
        }
        std::printf(
            "modes from %s to %s: %lu events with keys only, %lu checks, in %.1f s\n",
            describe(start).c_str(), describe(model.modes()).c_str(), modelled, parts,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - keysOnly).count());
        std::fflush(stdout);
        settleAndType(seed);
    }

    // After the storm: every key up, out of English mode, without full-width letters or the soft
    // keyboard; then Escape and a known code commit their word in either scheme.
    void settleAndType(std::uint32_t seed) {
        for (const UINT held : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU})
            keys[held] = 0;
        for (UINT vk = 0; vk < 256; ++vk)
            if (keys[vk] & 0x80)
                release(vk);
        syncModifiers();
        moveFocus(0);
        ASSERT_NO_FATAL_FAILURE(closeSoftKeyboard(seed));
        keys[VK_CAPITAL] = 0;
        tap(VK_CAPITAL, 0); // CapsLock off: out of English mode
        tapRightShift();    // into English mode, which turns full-width letters off
        tap(VK_CAPITAL, 0); // and out again
        gRecorder.clear();
        const auto typed = [&](const char* code, const std::wstring& word) {
            const std::u16string simplified(word.begin(), word.end());
            std::u16string converted(simplified.size() + 1, u'\0');
            converted.resize(toTraditional(simplified, converted));
            const std::wstring traditional = wide(converted);
            const bool keypad = code[0] >= '0' && code[0] <= '9';
            for (int attempt = 0; attempt < 60; ++attempt) {
                tap(VK_ESCAPE, 0x1B);
                typeCode(code);
                tap(keypad ? VK_NUMPAD0 : VK_SPACE, keypad ? L'0' : L' ');
                if (keypad && result(0) != word && result(0) != traditional)
                    tap(VK_NUMPAD0, L'0');
                if (result(0) == word || result(0) == traditional)
                    return true;
                Sleep(20);
            }
            return false;
        };
        // Whichever scheme the storm left, a right-Ctrl tap reaches the other.
        bool keypad = typed("23212411", L"中国");
        if (!keypad) {
            tapRightCtrl();
            keypad = typed("23212411", L"中国");
        }
        tapRightCtrl();
        const bool pinyin = typed("zhongguo", L"中国");
        EXPECT_TRUE(keypad) << "TOVI_STORM_SEED=" << seed;
        EXPECT_TRUE(pinyin) << "TOVI_STORM_SEED=" << seed;
        for (const Commit& c : gRecorder.commits)
            EXPECT_EQ(c.pane, 0) << "TOVI_STORM_SEED=" << seed;
    }
};

TEST_F(KeyStorm, KeypadScheme) {
    storm(false);
}

TEST_F(KeyStorm, PinyinScheme) {
    storm(true);
}

} // namespace
} // namespace tovi
