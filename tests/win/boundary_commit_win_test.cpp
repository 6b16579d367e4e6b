// Committing text into real IMM32 contexts under Wine: the result string, the message list that
// ImeToAsciiEx hands over, and the context's message buffer outside it. The Windows layer is
// linked in, so the commit functions can be called the way the engine calls them.
#include "boundary/context_private.h"
#include "boundary/exports.h"
#include "boundary/message_sink.h"
#include "boundary/messages.h"
#include "boundary/process_host.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovi {
namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Seen&) const = default;
};
std::vector<Seen> gSeen;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION)
        gSeen.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

const Seen kResult{WM_IME_COMPOSITION, 0, GCS_RESULTSTR};
const Seen kEnd{WM_IME_ENDCOMPOSITION, 0, 0};

// A message list as IMM32 passes it: a capacity and room for that many entries.
struct MessageList {
    explicit MessageList(UINT capacity) : storage(sizeof(TRANSMSGLIST) + 16 * sizeof(TRANSMSG)) {
        list()->uMsgCount = capacity;
    }
    TRANSMSGLIST* list() { return reinterpret_cast<TRANSMSGLIST*>(storage.data()); }
    Seen at(UINT i) {
        const TRANSMSG& m = transMsgEntries(list())[i];
        return {m.message, m.wParam, m.lParam};
    }
    std::vector<BYTE> storage;
};

class Commit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = recordingProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"tovi-test-app";
        RegisterClassW(&cls);
    }
    void SetUp() override {
        InitGlobals(GetModuleHandleW(nullptr));
        ASSERT_NE(processHost(), nullptr);
        app = CreateWindowExW(0, L"tovi-test-app", L"app", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
        himc = ImmCreateContext();
        ASSERT_TRUE(app && himc);
        ASSERT_TRUE(ImeSelect(himc, TRUE));
        INPUTCONTEXT* ic = ImmLockIMC(himc);
        ic->hWnd = app;
        ImmUnlockIMC(himc);
        gSeen.clear();
    }
    void TearDown() override {
        ImmDestroyContext(himc);
        DestroyWindow(app);
        FreeGlobals();
    }
    std::wstring resultString() const { return wintest::resultString(himc); }
    template <typename F>
    void withBlock(F f) {
        INPUTCONTEXT* ic = ImmLockIMC(himc);
        ASSERT_NE(ic, nullptr);
        auto* block = static_cast<ContextPrivate*>(ImmLockIMCC(ic->hCompStr));
        ASSERT_NE(block, nullptr);
        f(*block);
        ImmUnlockIMCC(ic->hCompStr);
        ImmUnlockIMC(himc);
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    HWND app = nullptr;
    HIMC himc = nullptr;
};

TEST_F(Commit, DuringToAsciiExAddsExactlyTwoMessagesAndSetsTheResult) {
    MessageList messages(8);
    messageSink().install(messages.list(), himc);
    CommitText(himc, u"中国");
    EXPECT_EQ(messageSink().finish(), 2u);
    EXPECT_EQ(messages.at(0), kResult);
    EXPECT_EQ(messages.at(1), kEnd);
    EXPECT_TRUE(gSeen.empty()); // the list is IMM32's to deliver
    EXPECT_EQ(resultString(), L"中国");
    withBlock([](const ContextPrivate& block) {
        EXPECT_STREQ(block.lastResult, L"中国");
        EXPECT_EQ(block.pendingCommit[0], L'\0');
        EXPECT_EQ(block.header.dwResultStrLen, 2u);
        EXPECT_EQ(block.header.dwCompStrLen, 0u);
    });
}

TEST_F(Commit, LongTextIsCutToTheArea) {
    const std::u16string text(400, u'字');
    MessageList messages(8);
    messageSink().install(messages.list(), himc);
    CommitText(himc, text);
    messageSink().finish();
    EXPECT_EQ(resultString(), std::wstring(254, L'字'));
    withBlock([](const ContextPrivate& block) {
        EXPECT_EQ(block.lastResult[254], L'\0');
        EXPECT_EQ(block.header.dwResultStrLen, 254u);
    });
}

TEST_F(Commit, OutsideToAsciiExMessagesGoThroughTheContextBuffer) {
    CommitChar(himc, u'，');
    EXPECT_EQ(gSeen, (std::vector<Seen>{kResult, kEnd}));
    EXPECT_EQ(resultString(), L"，");
    EXPECT_TRUE(GenerateMessage(himc, WM_IME_STARTCOMPOSITION, 0, 0));
    EXPECT_EQ(gSeen.back(), (Seen{WM_IME_STARTCOMPOSITION, 0, 0}));
}

TEST_F(Commit, AListOfCapacityNHoldsNMinusOne) {
    MessageList three(3);
    messageSink().install(three.list(), himc);
    CommitText(himc, u"词");
    EXPECT_EQ(messageSink().finish(), 2u);
    EXPECT_FALSE(messageSink().overflowed());
    EXPECT_TRUE(gSeen.empty());
}

TEST_F(Commit, MessagesBeyondTheListArriveInOrderThroughTheBuffer) {
    MessageList two(2);
    messageSink().install(two.list(), himc);
    GenerateMessage(himc, WM_IME_STARTCOMPOSITION, 0, 0);
    CommitText(himc, u"词");
    EXPECT_EQ(messageSink().finish(), 0u); // never more than the list holds
    EXPECT_TRUE(messageSink().overflowed());
    EXPECT_EQ(gSeen, (std::vector<Seen>{{WM_IME_STARTCOMPOSITION, 0, 0}, kResult, kEnd}));
    EXPECT_EQ(resultString(), L"词");
}

TEST_F(Commit, EndingWithoutAResultEmptiesTheResultString) {
    CommitText(himc, u"中");
    gSeen.clear();
    EXPECT_TRUE(EndComposition(himc, false));
    EXPECT_EQ(resultString(), L"");
    EXPECT_EQ(gSeen, (std::vector<Seen>{kResult, kEnd}));
    withBlock([](const ContextPrivate& block) { EXPECT_STREQ(block.lastResult, L"中"); });
}

TEST_F(Commit, ContextsTheModuleNeverSelectedAreLeftAlone) {
    HIMC foreign = ImmCreateContext();
    ASSERT_TRUE(foreign);
    INPUTCONTEXT* ic = ImmLockIMC(foreign);
    ASSERT_NE(ic, nullptr);
    const DWORD size = ImmGetIMCCSize(ic->hCompStr);
    ic->hWnd = app;
    ImmUnlockIMC(foreign);
    CommitText(foreign, u"中国");
    ic = ImmLockIMC(foreign);
    EXPECT_EQ(ImmGetIMCCSize(ic->hCompStr), size);
    ImmUnlockIMC(foreign);
    EXPECT_TRUE(gSeen.empty());
    ImmDestroyContext(foreign);
}

TEST_F(Commit, NoWindowNoMessage) {
    INPUTCONTEXT* ic = ImmLockIMC(himc);
    ic->hWnd = nullptr;
    ImmUnlockIMC(himc);
    EXPECT_FALSE(GenerateMessage(himc, WM_IME_STARTCOMPOSITION, 0, 0));
    EXPECT_FALSE(GenerateMessage(nullptr, WM_IME_STARTCOMPOSITION, 0, 0));
}

} // namespace
} // namespace tovi
