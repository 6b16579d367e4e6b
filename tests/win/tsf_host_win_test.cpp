// The TSF test host with the probe text service: registration, activation, real keys through the
// keystroke manager in two documents, compositions, commits through edit sessions, the text
// extent, display attributes, focus moves and deactivation.
#include "tsf_host/text_service_dll.h"
#include "tsf_host/tsf_app.h"
#include "tsf_probe_tip.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace tovi::tsfhost;
namespace probe = tovi::tsfprobe;

std::wstring probePath() {
    const std::wstring self = tovi::wintest::ownExecutable();
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"tsf_probe_tip.dll";
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

size_t count(const std::vector<KeyMessage>& keys, UINT message, WPARAM key, bool eaten) {
    return static_cast<size_t>(std::count_if(keys.begin(), keys.end(), [&](const KeyMessage& k) {
        return k.message == message && k.key == key && k.eaten == eaten;
    }));
}

TEST(TsfRegistration, TheProfileIsListedForSimplifiedChineseWhileRegistered) {
    TsfApp app;
    ASSERT_EQ(S_OK, app.status());
    {
        TextServiceDll dll(probePath());
        ASSERT_EQ(S_OK, dll.status());
        LanguageProfile profile{};
        ASSERT_TRUE(findProfile(probe::kLangId, probe::kClsid, &profile));
        EXPECT_TRUE(IsEqualGUID(probe::kProfile, profile.profile));
        EXPECT_TRUE(IsEqualGUID(GUID_TFCAT_TIP_KEYBOARD, profile.category));
        EXPECT_EQ(S_OK, enableProfile(profile));
        EXPECT_TRUE(profileEnabled(profile));
    }
    EXPECT_FALSE(findProfile(probe::kLangId, probe::kClsid, nullptr));
}

class TsfHost : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<TsfApp>();
        ASSERT_EQ(S_OK, app_->status());
        dll_ = std::make_unique<TextServiceDll>(probePath());
        ASSERT_EQ(S_OK, dll_->status());
        const auto reportOf = dll_->function<probe::ReportFunction>("ProbeTipReport");
        const auto reset = dll_->function<probe::ResetFunction>("ProbeTipReset");
        ASSERT_TRUE(reportOf && reset);
        reset();
        report_ = reportOf();
        LanguageProfile profile{};
        ASSERT_TRUE(findProfile(probe::kLangId, probe::kClsid, &profile));
        ASSERT_EQ(S_OK, enableProfile(profile));
        ASSERT_EQ(S_OK, app_->activate(probe::kClsid));
        app_->clearKeys();
    }
    void TearDown() override {
        // The application (and the text service in it) goes before the DLL is unregistered.
        app_.reset();
        dll_.reset();
    }

    TsfApp& app() { return *app_; }
    const probe::Report& report() const { return *report_; }

private:
    std::unique_ptr<TsfApp> app_;
    std::unique_ptr<TextServiceDll> dll_;
    const probe::Report* report_ = nullptr;
};

TEST_F(TsfHost, ActivationAdvisesTheSinksAndGivesTheKeyboardFocus) {
    EXPECT_EQ(1, report().activations);
    EXPECT_EQ(S_OK, report().keySinkAdvise);
    EXPECT_EQ(S_OK, report().threadSinkAdvise);
    EXPECT_EQ(S_OK, report().textEditSinkAdvise);
    EXPECT_EQ(1, report().keySinkFocus);
    CLSID foreground{};
    Microsoft::WRL::ComPtr<ITfKeystrokeMgr> keys;
    ASSERT_EQ(S_OK, app().threads().QueryInterface(IID_PPV_ARGS(&keys)));
    EXPECT_EQ(S_OK, keys->GetForeground(&foreground));
    EXPECT_TRUE(IsEqualGUID(probe::kClsid, foreground));
}

TEST_F(TsfHost, LettersAreEatenAndComposedWhereTyped) {
    ASSERT_TRUE(app().type(L"ni"));
    EXPECT_EQ(L"ni", app().text(0));
    ASSERT_TRUE(app().composition(0).has_value());
    EXPECT_EQ(std::make_pair(0L, 2L), *app().composition(0));
    EXPECT_EQ(L"", app().committedText(0));
    EXPECT_EQ(1u, count(app().handledKeys(), WM_KEYDOWN, 'N', true));
    EXPECT_EQ(1u, count(app().handledKeys(), WM_KEYDOWN, 'I', true));
    EXPECT_EQ(0u, count(app().windowKeys(), WM_KEYDOWN, 'N', false));
    EXPECT_EQ(0u, count(app().windowKeys(), WM_CHAR, 'n', false));
}

TEST_F(TsfHost, SpaceCommitsTheWordThroughAReadWriteSession) {
    ASSERT_TRUE(app().type(L"ni"));
    ASSERT_TRUE(app().tap(VK_SPACE));
    EXPECT_EQ(probe::kWord, app().text(0));
    EXPECT_EQ(probe::kWord, app().committedText(0));
    EXPECT_FALSE(app().composition(0).has_value());
    EXPECT_EQ(2, app().store(0).selectionStart());
    EXPECT_EQ(S_OK, report().endComposition);
    EXPECT_GT(app().store(0).writeGrants(), 0);
    EXPECT_EQ(0u, count(app().windowKeys(), WM_CHAR, ' ', false));
}

TEST_F(TsfHost, EscapeCancelsTheComposition) {
    ASSERT_TRUE(app().type(L"ab"));
    ASSERT_TRUE(app().tap(VK_ESCAPE));
    EXPECT_EQ(L"", app().text(0));
    EXPECT_FALSE(app().composition(0).has_value());
}

TEST_F(TsfHost, KeysTheServiceLeavesReachTheWindow) {
    ASSERT_TRUE(app().tap('1'));
    ASSERT_TRUE(app().tap(VK_SPACE));
    EXPECT_EQ(1u, count(app().handledKeys(), WM_KEYDOWN, '1', false));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_KEYDOWN, '1', false));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_CHAR, '1', false));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_CHAR, ' ', false));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_KEYUP, '1', false));
    EXPECT_EQ(L"", app().text(0));
}

TEST_F(TsfHost, ControlChordsReachTheWindow) {
    ASSERT_TRUE(app().chord({VK_CONTROL}, 'C'));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_KEYDOWN, 'C', false));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_KEYDOWN, VK_CONTROL, false));
    EXPECT_FALSE(app().composition(0).has_value());
}

TEST_F(TsfHost, AutoRepeatComposesEveryRepeat) {
    ASSERT_TRUE(app().repeat('A', 3));
    EXPECT_EQ(L"aaa", app().text(0));
    EXPECT_EQ(std::make_pair(0L, 3L), app().composition(0).value_or(std::make_pair(-1L, -1L)));
}

TEST_F(TsfHost, TheTextExtentIsTheCompositionOnTheScreen) {
    ASSERT_TRUE(app().type(L"abc"));
    EXPECT_EQ(S_OK, report().activeView);
    EXPECT_EQ(S_OK, report().textExt);
    const RECT expected = app().textRect(0, 0, 3);
    EXPECT_TRUE(sameRect(expected, report().textExtRect))
        << report().textExtRect.left << "," << report().textExtRect.top << " "
        << report().textExtRect.right << "," << report().textExtRect.bottom;
    EXPECT_EQ(3 * app().store(0).cell().width, expected.right - expected.left);
}

TEST_F(TsfHost, TheCompositionCarriesTheServicesDisplayAttribute) {
    ASSERT_TRUE(app().type(L"ab"));
    EXPECT_EQ(S_OK, report().attribute);
    EXPECT_TRUE(IsEqualGUID(probe::kAttribute, app().displayAttributeAt(0, 1)));
    ASSERT_TRUE(app().tap(VK_SPACE));
    EXPECT_TRUE(IsEqualGUID(GUID_NULL, app().displayAttributeAt(0, 0)));
}

TEST_F(TsfHost, AsynchronousSessionsRunWhenTheStoreGrantsTheLock) {
    ASSERT_TRUE(app().tap('A'));
    ASSERT_TRUE(app().pumpUntil([&] { return app().text(0) == L"a"; }));
    EXPECT_EQ(TF_S_ASYNC, report().editSession);
    EXPECT_GT(app().store(0).asyncGrants(), 0);
}

TEST_F(TsfHost, SessionsRunAtOnceWhenTheStoreGrantsAsynchronousLocksDirectly) {
    app().store(0).setDeferAsyncLocks(false);
    ASSERT_TRUE(app().tap('A'));
    EXPECT_EQ(S_OK, report().editSession);
    EXPECT_EQ(0, app().store(0).asyncGrants());
    EXPECT_EQ(L"a", app().text(0));
}

TEST_F(TsfHost, TheTextEditSinkSeesTheServicesEdits) {
    const LONG before = report().editEnds;
    ASSERT_TRUE(app().type(L"ab"));
    EXPECT_GE(report().editEnds, before + 2);
}

TEST_F(TsfHost, TypingFollowsTheFocusBetweenDocuments) {
    ASSERT_TRUE(app().type(L"ab"));
    ASSERT_TRUE(app().tap(VK_SPACE));
    const LONG focusEvents = report().threadFocus;
    ASSERT_TRUE(app().focus(1));
    EXPECT_EQ(1, app().focusedDocument());
    EXPECT_EQ(focusEvents + 1, report().threadFocus);
    ASSERT_TRUE(app().type(L"cd"));
    EXPECT_EQ(std::make_pair(0L, 2L), app().composition(1).value_or(std::make_pair(-1L, -1L)));
    ASSERT_TRUE(app().tap(VK_SPACE));
    EXPECT_EQ(probe::kWord, app().committedText(1));
    EXPECT_EQ(probe::kWord, app().committedText(0));
    ASSERT_TRUE(app().focus(0));
    ASSERT_TRUE(app().type(L"e"));
    EXPECT_EQ(std::wstring(probe::kWord) + L"e", app().text(0));
    EXPECT_EQ(std::make_pair(2L, 3L), app().composition(0).value_or(std::make_pair(-1L, -1L)));
}

TEST_F(TsfHost, TheApplicationEndingACompositionTellsItsOwner) {
    ASSERT_TRUE(app().type(L"ab"));
    EXPECT_EQ(S_OK, app().terminateCompositions(0));
    EXPECT_EQ(1, report().compositionsTerminated);
    EXPECT_FALSE(app().composition(0).has_value());
    EXPECT_EQ(L"ab", app().committedText(0));
}

TEST_F(TsfHost, AfterDeactivationKeysReachTheWindow) {
    app().deactivateTextServices();
    EXPECT_EQ(1, report().deactivations);
    ASSERT_TRUE(app().tap('A'));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_CHAR, 'a', false));
    EXPECT_EQ(L"", app().text(0));
}

TEST_F(TsfHost, OtherTopLevelWindowsOfTheProcessAreListed) {
    EXPECT_TRUE(app().otherWindows().empty());
    const HWND popup =
        CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"candidates", WS_POPUP | WS_VISIBLE, 10, 10, 50,
                        20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, popup);
    const auto windows = app().otherWindows();
    DestroyWindow(popup);
    EXPECT_EQ(std::vector<HWND>{popup}, windows);
}

} // namespace
