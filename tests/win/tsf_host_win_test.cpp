// The TSF test host with the probe text service: registration, activation, real keys through the
// keystroke manager in two documents, compositions, commits through edit sessions, the text
// extent, display attributes, focus moves and deactivation.
#include "tsf_host/text_service_dll.h"
#include "tsf_host/tsf_app.h"
#include "tsf_probe_tip.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

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

TEST_F(TsfHost, PreservedKeysAreEatenBeforeTheServiceSeesThem) {
    Microsoft::WRL::ComPtr<ITfKeystrokeMgr> keys;
    ASSERT_EQ(S_OK, app().threads().QueryInterface(IID_PPV_ARGS(&keys)));
    // {D0620889-1225-430E-928F-BBAE274FC885}
    const GUID toggle = {
        0xd0620889, 0x1225, 0x430e, {0x92, 0x8f, 0xbb, 0xae, 0x27, 0x4f, 0xc8, 0x85}};
    const TF_PRESERVEDKEY ctrlF5{VK_F5, TF_MOD_CONTROL};
    ASSERT_EQ(S_OK, keys->PreserveKey(app().clientId(), toggle, &ctrlF5, L"toggle", 6));
    BOOL preserved = FALSE;
    EXPECT_EQ(S_OK, keys->IsPreservedKey(toggle, &ctrlF5, &preserved));
    EXPECT_TRUE(preserved);
    const LONG tested = report().testKeyDown;
    ASSERT_TRUE(app().chord({VK_CONTROL}, VK_F5));
    EXPECT_EQ(1u, count(app().handledKeys(), WM_KEYDOWN, VK_F5, true));
    EXPECT_EQ(0u, count(app().windowKeys(), WM_KEYDOWN, VK_F5, false));
    // Only the Ctrl press and release reached the service.
    EXPECT_EQ(tested + 1, report().testKeyDown);
    // Without Ctrl, F5 is an ordinary key.
    ASSERT_TRUE(app().tap(VK_F5));
    EXPECT_EQ(1u, count(app().windowKeys(), WM_KEYDOWN, VK_F5, false));
}

// A language-bar item with nothing but its information.
class Item final : public ITfLangBarItem {
public:
    explicit Item(const GUID& guid) { info_.guidItem = guid; }
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_ITfLangBarItem)
            return E_NOINTERFACE;
        *object = static_cast<ITfLangBarItem*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetInfo(TF_LANGBARITEMINFO* info) override {
        *info = info_;
        return S_OK;
    }
    STDMETHODIMP GetStatus(DWORD* status) override {
        *status = 0;
        return S_OK;
    }
    STDMETHODIMP Show(BOOL) override { return S_OK; }
    STDMETHODIMP GetTooltipString(BSTR* tip) override {
        *tip = SysAllocString(L"item");
        return S_OK;
    }

private:
    TF_LANGBARITEMINFO info_{};
};

TEST_F(TsfHost, LanguageBarItemsAreKeptUntilRemoved) {
    Microsoft::WRL::ComPtr<ITfLangBarItemMgr> items;
    ASSERT_EQ(S_OK, app().threads().QueryInterface(IID_PPV_ARGS(&items)));
    // {C0CECD03-AC8B-43F3-853A-B3D28606FE88}
    const GUID guid = {
        0xc0cecd03, 0xac8b, 0x43f3, {0x85, 0x3a, 0xb3, 0xd2, 0x86, 0x06, 0xfe, 0x88}};
    Item item(guid);
    ASSERT_EQ(S_OK, items->AddItem(&item));
    ASSERT_EQ(1u, app().languageBarItems().size());
    EXPECT_EQ(static_cast<ITfLangBarItem*>(&item), app().languageBarItems()[0].Get());
    Microsoft::WRL::ComPtr<ITfLangBarItem> found;
    EXPECT_EQ(S_OK, items->GetItem(guid, &found));
    EXPECT_EQ(static_cast<ITfLangBarItem*>(&item), found.Get());
    EXPECT_EQ(S_OK, items->RemoveItem(&item));
    EXPECT_TRUE(app().languageBarItems().empty());
}

// --- The application's document on its own --------------------------------------------------

// A lock sink that records what the store tells it and runs a function inside granted locks.
class RecordingSink final : public ITextStoreACPSink {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_ITextStoreACPSink)
            return E_NOINTERFACE;
        *object = static_cast<ITextStoreACPSink*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnTextChange(DWORD, const TS_TEXTCHANGE* change) override {
        textChanges.push_back(*change);
        return S_OK;
    }
    STDMETHODIMP OnSelectionChange() override {
        ++selectionChanges;
        return S_OK;
    }
    STDMETHODIMP OnLayoutChange(TsLayoutCode, TsViewCookie) override { return S_OK; }
    STDMETHODIMP OnStatusChange(DWORD) override { return S_OK; }
    STDMETHODIMP OnAttrsChange(LONG, LONG, ULONG, const TS_ATTRID*) override { return S_OK; }
    STDMETHODIMP OnLockGranted(DWORD flags) override {
        grants.push_back(flags);
        return inside ? inside(flags) : S_OK;
    }
    STDMETHODIMP OnStartEditTransaction() override { return S_OK; }
    STDMETHODIMP OnEndEditTransaction() override { return S_OK; }

    std::vector<TS_TEXTCHANGE> textChanges;
    int selectionChanges = 0;
    std::vector<DWORD> grants;
    std::function<HRESULT(DWORD)> inside;
};

class TsfTextStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, app_.status());
        store_ = &app_.store(0);
        ASSERT_EQ(S_OK, store_->UnadviseSink(app_.context(0)));
        ASSERT_EQ(S_OK, store_->AdviseSink(IID_ITextStoreACPSink, &sink_, TS_AS_ALL_SINKS));
    }
    void TearDown() override {
        store_->UnadviseSink(&sink_);
        store_->AdviseSink(IID_ITextStoreACPSink, app_.context(0), TS_AS_ALL_SINKS);
    }
    TsfApp app_{1};
    TextStore* store_ = nullptr;
    RecordingSink sink_;
};

TEST_F(TsfTextStore, ReadingWithoutALockIsRefused) {
    wchar_t text[4];
    ULONG got = 0, runs = 0;
    LONG next = 0;
    TS_RUNINFO run{};
    EXPECT_EQ(TS_E_NOLOCK, store_->GetText(0, -1, text, 4, &got, &run, 1, &runs, &next));
    TS_SELECTION_ACP selection{};
    EXPECT_EQ(TS_E_NOLOCK, store_->GetSelection(0, 1, &selection, &got));
}

TEST_F(TsfTextStore, ASecondSynchronousLockInsideALockIsRefused) {
    HRESULT inner = S_OK;
    sink_.inside = [&](DWORD) {
        HRESULT session = S_OK;
        store_->RequestLock(TS_LF_SYNC | TS_LF_READ, &session);
        inner = session;
        return S_OK;
    };
    HRESULT session = E_FAIL;
    ASSERT_EQ(S_OK, store_->RequestLock(TS_LF_SYNC | TS_LF_READWRITE, &session));
    EXPECT_EQ(TS_E_SYNCHRONOUS, inner);
    EXPECT_EQ(std::vector<DWORD>{TS_LF_READWRITE}, sink_.grants);
}

TEST_F(TsfTextStore, AsynchronousLocksAreGrantedFromTheMessageLoop) {
    HRESULT session = E_FAIL;
    ASSERT_EQ(S_OK, store_->RequestLock(TS_LF_READ, &session));
    EXPECT_EQ(TS_S_ASYNC, session);
    EXPECT_TRUE(sink_.grants.empty());
    ASSERT_TRUE(app_.pumpUntil([&] { return !sink_.grants.empty(); }));
    EXPECT_EQ(std::vector<DWORD>{TS_LF_READ}, sink_.grants);
}

TEST_F(TsfTextStore, WritesUnderALockReplaceTextAndMoveTheCaret) {
    sink_.inside = [&](DWORD) {
        TS_TEXTCHANGE change{};
        LONG start = 0, end = 0;
        store_->InsertTextAtSelection(0, L"abc", 3, &start, &end, &change);
        return store_->SetText(0, 1, 2, L"XY", 2, &change);
    };
    HRESULT session = E_FAIL;
    ASSERT_EQ(S_OK, store_->RequestLock(TS_LF_SYNC | TS_LF_READWRITE, &session));
    EXPECT_EQ(S_OK, session);
    EXPECT_EQ(L"aXYc", store_->text());
    EXPECT_EQ(3, store_->selectionStart());
    // Changes under the lock are the lock holder's own: no notifications.
    EXPECT_TRUE(sink_.textChanges.empty());
}

TEST_F(TsfTextStore, WritingUnderAReadLockIsRefused) {
    HRESULT write = S_OK;
    sink_.inside = [&](DWORD) {
        TS_TEXTCHANGE change{};
        write = store_->SetText(0, 0, 0, L"a", 1, &change);
        return S_OK;
    };
    HRESULT session = E_FAIL;
    ASSERT_EQ(S_OK, store_->RequestLock(TS_LF_SYNC | TS_LF_READ, &session));
    EXPECT_EQ(TS_E_NOLOCK, write);
    EXPECT_EQ(L"", store_->text());
}

TEST_F(TsfTextStore, TheApplicationsOwnChangesAreReported) {
    ASSERT_TRUE(store_->replaceAll(L"hello"));
    ASSERT_EQ(1u, sink_.textChanges.size());
    EXPECT_EQ(0, sink_.textChanges[0].acpStart);
    EXPECT_EQ(0, sink_.textChanges[0].acpOldEnd);
    EXPECT_EQ(5, sink_.textChanges[0].acpNewEnd);
    EXPECT_EQ(1, sink_.selectionChanges);
    ASSERT_TRUE(store_->select(1, 3));
    EXPECT_EQ(2, sink_.selectionChanges);
}

TEST_F(TsfTextStore, TextExtentsAreTheCharacterCellsOnTheScreen) {
    ASSERT_TRUE(store_->replaceAll(L"abcd"));
    RECT extent{};
    BOOL clipped = TRUE;
    sink_.inside = [&](DWORD) {
        TsViewCookie view = 0;
        store_->GetActiveView(&view);
        return store_->GetTextExt(view, 1, 3, &extent, &clipped);
    };
    HRESULT session = E_FAIL;
    ASSERT_EQ(S_OK, store_->RequestLock(TS_LF_SYNC | TS_LF_READ, &session));
    ASSERT_EQ(S_OK, session);
    POINT origin{0, 0};
    ClientToScreen(app_.window(0), &origin);
    const CharacterCell cell = store_->cell();
    EXPECT_EQ(origin.x + cell.left + cell.width, extent.left);
    EXPECT_EQ(origin.x + cell.left + 3 * cell.width, extent.right);
    EXPECT_EQ(origin.y + cell.top, extent.top);
    EXPECT_EQ(origin.y + cell.top + cell.height, extent.bottom);
    EXPECT_FALSE(clipped);
}

} // namespace
