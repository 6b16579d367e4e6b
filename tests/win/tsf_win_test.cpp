// The real tovi_tsf.dll in a TSF-aware application under Wine: registered, activated for the
// thread and typed with real keys and the real tables, in both schemes; the committed text read
// back from the application's text store, the code shown as a composition with the service's
// display attribute, the candidate window drawn beside it, the input follows the focus between
// two documents, and the keys the engine does not take reach the application's window, as all
// keys do while the keyboard is closed or a document takes no keyboard input.
//
// Wine 8's msctf cannot run a composing text service (no compositions, ranges that neither read
// nor write, no context view, a keystroke manager that calls no sink, no language bar item
// manager): the test host stands in for the thread manager and what it hands out, over the
// application's real text store; registration and profiles are Wine's own.
#include "dialog_watcher.h"
#include "status_bar_input.h"
#include "tsf/tsf_guids.h"
#include "tsf/tsf_sdk.h"
#include "tsf_host/text_service_dll.h"
#include "tsf_host/tsf_app.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#ifndef TOVI_DIST_DIR
#define TOVI_DIST_DIR L""
#endif

namespace tovi {
namespace {

using tsfhost::KeyMessage;
using tsfhost::LanguageProfile;
using tsfhost::TextServiceDll;
using tsfhost::TsfApp;

std::wstring servicePath() {
    const std::wstring self = wintest::ownExecutable();
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"tovi_tsf.dll";
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The visible window of class `name` among the application's other windows, or null.
HWND shownWindow(TsfApp& app, const wchar_t* name) {
    for (HWND window : app.otherWindows())
        if (className(window) == name)
            return window;
    return nullptr;
}

// How many colours the window's client area shows, sampled every other pixel.
std::size_t coloursIn(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::set<COLORREF> colours;
    HDC dc = GetDC(window);
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2)
            colours.insert(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return colours.size();
}

class TsfService : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring dist = TOVI_DIST_DIR;
        if (dist.empty() ||
            GetFileAttributesW((dist + L"\\toviwb.mb").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no real tables in the package folder";
        for (const wchar_t* file :
             {L"toviwb.mb", L"tovipy.mb", L"codePyMain.pmt", L"vemoraPY.pmt", L"vemoraSP.pmt",
              L"deduSPNum.pi", L"tovi.bmp", L"tovi_cand.bmp"})
            CopyFileW((dist + L"\\" + file).c_str(), scratch_.file(file).c_str(), FALSE);
        // The keypad scheme, full-width symbols, the candidate window following the composition.
        wintest::writeBytes(scratch_.file(L"config.ini"), "IME_SETTINGS 161\r\n");
        app_ = std::make_unique<TsfApp>();
        ASSERT_EQ(app_->status(), S_OK);
        dll_ = std::make_unique<TextServiceDll>(servicePath());
        ASSERT_EQ(dll_->status(), S_OK);
        LanguageProfile profile{};
        ASSERT_TRUE(tsfhost::findProfile(tsf::kLanguageId, tsf::kTextServiceClsid, &profile));
        ASSERT_EQ(tsfhost::enableProfile(profile), S_OK);
        ASSERT_EQ(app_->activate(tsf::kTextServiceClsid), S_OK);
        ASSERT_TRUE(app_->focus(0));
        // The keypad table loads in the background at the first key: typed until it commits.
        ASSERT_TRUE(typeUntil(0, L"23212411", VK_NUMPAD0, L"中国"));
        ASSERT_TRUE(app_->store(0).replaceAll(L""));
        app_->clearKeys();
    }
    void TearDown() override {
        // The application, with the text service in it, goes before the DLL is unregistered.
        app_.reset();
        dll_.reset();
    }

    TsfApp& app() { return *app_; }

    // Types `keys` (digits on the keypad, lower-case letters) and `confirm` into `document` until
    // it commits `expected`: a table still loading lists nothing, so a few attempts may be
    // needed, each ended with Escape and an empty document.
    bool typeUntil(int document, const std::wstring& keys, WORD confirm,
                   const std::wstring& expected) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            for (const wchar_t unit : keys)
                app().tap(unit >= L'0' && unit <= L'9'
                              ? static_cast<WORD>(VK_NUMPAD0 + (unit - L'0'))
                              : static_cast<WORD>(unit - L'a' + 'A'));
            app().tap(confirm);
            if (app().committedText(document) != expected)
                app().tap(confirm); // a code with several exact matches takes a second confirm
            if (app().committedText(document) == expected)
                return true;
            app().tap(VK_ESCAPE);
            app().store(document).replaceAll(L"");
            Sleep(50); // the table is still loading
        }
        return false;
    }

    bool typeKeys(std::initializer_list<WORD> keys) {
        for (WORD key : keys)
            if (!app().tap(key))
                return false;
        return true;
    }

    // Clicks the input-mode button of the language bar: a left click switches the scheme, a right
    // click opens its menu.
    bool clickInputModeButton(tsf::LangBarClick click = tsf::LangBarClick::Left) {
        for (const auto& item : app().languageBarItems()) {
            TF_LANGBARITEMINFO info{};
            if (FAILED(item->GetInfo(&info)) ||
                !IsEqualCLSID(info.clsidService, tsf::kTextServiceClsid))
                continue;
            tsf::ILangBarItemButton* button = nullptr;
            if (FAILED(item->QueryInterface(tsf::kIidLangBarItemButton,
                                            reinterpret_cast<void**>(&button))))
                return false;
            const HRESULT clicked = button->OnClick(click, POINT{200, 200}, nullptr);
            button->Release();
            return clicked == S_OK;
        }
        return false;
    }

    // The number in compartment `guid` of the thread manager or a context; -1 when it is unset.
    static LONG compartmentNumber(IUnknown* owner, REFGUID guid) {
        Microsoft::WRL::ComPtr<ITfCompartmentMgr> manager;
        Microsoft::WRL::ComPtr<ITfCompartment> compartment;
        VARIANT value;
        VariantInit(&value);
        if (FAILED(owner->QueryInterface(IID_PPV_ARGS(&manager))) ||
            FAILED(manager->GetCompartment(guid, &compartment)) ||
            FAILED(compartment->GetValue(&value)) || value.vt != VT_I4)
            return -1;
        return value.lVal;
    }
    // Sets it, as the system's toggle or the application does.
    bool setCompartment(IUnknown* owner, REFGUID guid, LONG number) {
        Microsoft::WRL::ComPtr<ITfCompartmentMgr> manager;
        Microsoft::WRL::ComPtr<ITfCompartment> compartment;
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = number;
        const bool set = SUCCEEDED(owner->QueryInterface(IID_PPV_ARGS(&manager))) &&
                         SUCCEEDED(manager->GetCompartment(guid, &compartment)) &&
                         SUCCEEDED(compartment->SetValue(app().clientId(), &value));
        app().pump();
        return set;
    }
    bool reachedApplication(WPARAM key) {
        const auto& keys = app().windowKeys();
        return std::any_of(keys.begin(), keys.end(), [&](const KeyMessage& message) {
            return message.message == WM_KEYDOWN && message.key == key && !message.eaten;
        });
    }

    // The button's text, or "<none>".
    std::wstring inputModeText() {
        for (const auto& item : app().languageBarItems()) {
            tsf::ILangBarItemButton* button = nullptr;
            if (FAILED(item->QueryInterface(tsf::kIidLangBarItemButton,
                                            reinterpret_cast<void**>(&button))))
                continue;
            BSTR text = nullptr;
            const HRESULT read = button->GetText(&text);
            button->Release();
            if (FAILED(read))
                return L"<none>";
            std::wstring result(text, SysStringLen(text));
            SysFreeString(text);
            return result;
        }
        return L"<none>";
    }

private:
    wintest::ScratchFolder scratch_;
    wintest::InstallPathValue installPath_{scratch_.path()};
    std::unique_ptr<TsfApp> app_;
    std::unique_ptr<TextServiceDll> dll_;
};

TEST_F(TsfService, KeypadCodeIsComposedWithTheDisplayAttributeAndCommitted) {
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD2, VK_NUMPAD1}));
    EXPECT_EQ(app().text(0), L"2321");
    ASSERT_TRUE(app().composition(0).has_value());
    EXPECT_EQ(*app().composition(0), std::make_pair(0L, 4L));
    EXPECT_TRUE(IsEqualGUID(app().displayAttributeAt(0, 1), tsf::kCodeDisplayAttributeGuid));
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD4, VK_NUMPAD1, VK_NUMPAD1}));
    EXPECT_EQ(app().text(0), L"23212411");
    // The code has several exact matches: keypad 0 lists them, and again takes the first.
    ASSERT_TRUE(typeKeys({VK_NUMPAD0, VK_NUMPAD0}));
    EXPECT_EQ(app().committedText(0), L"中国");
    EXPECT_EQ(app().text(0), L"中国");
    EXPECT_FALSE(app().composition(0).has_value());
    // The committed words are plain text, without the code's attribute.
    EXPECT_TRUE(IsEqualGUID(app().displayAttributeAt(0, 0), GUID_NULL));
    EXPECT_TRUE(IsEqualGUID(app().displayAttributeAt(0, 1), GUID_NULL));
}

TEST_F(TsfService, CandidateWindowIsDrawnBelowTheComposition) {
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD3}));
    HWND candidates = nullptr;
    ASSERT_TRUE(app().pumpUntil([&] { return (candidates = shownWindow(app(), L"DEDU_CAND")); }));
    app().pumpUntil([&] { return coloursIn(candidates) > 3; }, 2000);
    EXPECT_GT(coloursIn(candidates), 3u); // a frame, text and a background, not a blank box
    RECT placed{};
    GetWindowRect(candidates, &placed);
    const RECT code = app().textRect(0, 0, 2);
    EXPECT_EQ(placed.top, code.bottom);
    EXPECT_GE(placed.left, code.left);
    ASSERT_TRUE(app().tap(VK_ESCAPE));
    EXPECT_FALSE(app().composition(0).has_value());
    EXPECT_EQ(shownWindow(app(), L"DEDU_CAND"), nullptr);
}

TEST_F(TsfService, StatusBarShowsForTheFocusedDocumentAndGoesWithTheService) {
    const HWND status = shownWindow(app(), L"DEDU_STATUS");
    ASSERT_NE(status, nullptr);
    EXPECT_GT(coloursIn(status), 3u); // the status picture, not a blank bar
    app().deactivateTextServices();
    app().pump();
    EXPECT_EQ(shownWindow(app(), L"DEDU_STATUS"), nullptr);
    EXPECT_EQ(shownWindow(app(), L"DEDU_CAND"), nullptr);
    // Without the service the keypad's digits are the application's.
    ASSERT_TRUE(app().tap(VK_NUMPAD2));
    EXPECT_FALSE(app().composition(0).has_value());
}

TEST_F(TsfService, StatusBarOpensItsMenusAndDialogsOwnedByTheApplicationWindow) {
    const HWND status = shownWindow(app(), L"DEDU_STATUS");
    ASSERT_NE(status, nullptr);
    {
        MenuWatcher settings;
        rightClickAt(status, 50, 10);
        EXPECT_EQ(settings.items().size(), 7u);
    }
    HWND owner = nullptr;
    {
        DialogWatcher watcher(L"手工造词",
                              [&](HWND dialog) { owner = GetWindow(dialog, GW_OWNER); });
        clickAt(status, 110, 10); // the word maker
        EXPECT_TRUE(watcher.seen());
    }
    // Owned, the dialog stays above the application and goes with it.
    EXPECT_EQ(owner, GetAncestor(app().window(0), GA_ROOT));
}

TEST_F(TsfService, PinyinWordAfterTheLanguageBarButtonSwitchesScheme) {
    EXPECT_EQ(inputModeText(), L"形全");
    ASSERT_TRUE(clickInputModeButton());
    EXPECT_EQ(inputModeText(), L"拼全");
    // The pinyin table loads in the background once the scheme changed.
    ASSERT_TRUE(typeUntil(0, L"nihao", VK_SPACE, L"你好"));
    EXPECT_FALSE(app().composition(0).has_value());
    ASSERT_TRUE(app().type(L"nihao"));
    EXPECT_EQ(app().text(0), L"你好nihao");
    EXPECT_EQ(*app().composition(0), std::make_pair(2L, 7L));
}

TEST_F(TsfService, LanguageBarButtonsMenuOffersBothSchemesAndTheWidths) {
    MenuWatcher watcher({1}); // 汉语拼音
    ASSERT_TRUE(clickInputModeButton(tsf::LangBarClick::Right));
    const std::vector<MenuItem>& items = watcher.items();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(textsOf(items),
              (std::vector<std::wstring>{L"朔昕拼形", L"汉语拼音", L"", L"全角符号", L"全角字母"}));
    EXPECT_TRUE(items[0].checked());
    EXPECT_FALSE(items[1].checked());
    EXPECT_TRUE(items[3].checked());
    EXPECT_FALSE(items[4].checked());
    EXPECT_EQ(inputModeText(), L"拼全");
}

TEST_F(TsfService, InputFollowsTheFocusBetweenDocuments) {
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD3}));
    ASSERT_TRUE(app().composition(0).has_value());
    // Moving away ends the first document's input without a result.
    ASSERT_TRUE(app().focus(1));
    app().pumpUntil([&] { return !app().composition(0).has_value(); });
    EXPECT_FALSE(app().composition(0).has_value());
    EXPECT_EQ(app().text(0), L"");
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD2, VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD4,
                          VK_NUMPAD1, VK_NUMPAD1, VK_NUMPAD0, VK_NUMPAD0}));
    EXPECT_EQ(app().committedText(1), L"中国");
    EXPECT_EQ(app().text(0), L"");
}

TEST_F(TsfService, ApplicationEndingTheCompositionEndsTheCode) {
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD3}));
    ASSERT_EQ(app().terminateCompositions(0), S_OK);
    EXPECT_FALSE(app().composition(0).has_value());
    EXPECT_TRUE(IsEqualGUID(app().displayAttributeAt(0, 0), GUID_NULL));
    EXPECT_EQ(shownWindow(app(), L"DEDU_CAND"), nullptr);
    // What the composition held stays; the next digit starts a new code.
    ASSERT_TRUE(app().tap(VK_NUMPAD2));
    EXPECT_EQ(app().text(0), L"232");
    EXPECT_EQ(app().composition(0).value_or(std::make_pair(-1L, -1L)), std::make_pair(2L, 3L));
}

TEST_F(TsfService, KeysTheEngineLeavesReachTheApplication) {
    ASSERT_TRUE(app().tap('A'));
    ASSERT_TRUE(app().tap(VK_LEFT));
    EXPECT_TRUE(reachedApplication('A'));
    EXPECT_TRUE(reachedApplication(VK_LEFT));
    EXPECT_FALSE(app().composition(0).has_value());
    // A digit of the keypad is the engine's.
    ASSERT_TRUE(app().tap(VK_NUMPAD2));
    EXPECT_FALSE(reachedApplication(VK_NUMPAD2));
}

TEST_F(TsfService, ClosedKeyboardAndDocumentsWithoutInputLeaveEveryKeyToTheApplication) {
    ITfThreadMgr* threads = &app().threads();
    // Activation opened the keyboard.
    EXPECT_EQ(compartmentNumber(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE), 1);
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_NUMPAD3}));
    ASSERT_TRUE(app().composition(0).has_value());
    // Closing it (the system's toggle, an application's open status) drops the code.
    ASSERT_TRUE(setCompartment(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 0));
    app().pumpUntil([&] { return !app().composition(0).has_value(); });
    EXPECT_FALSE(app().composition(0).has_value());
    EXPECT_EQ(app().text(0), L"");
    EXPECT_EQ(shownWindow(app(), L"DEDU_CAND"), nullptr);
    EXPECT_EQ(inputModeText(), L"英");
    app().clearKeys();
    ASSERT_TRUE(typeKeys({VK_NUMPAD2, VK_SUBTRACT}));
    EXPECT_TRUE(reachedApplication(VK_NUMPAD2));
    EXPECT_TRUE(reachedApplication(VK_SUBTRACT));
    EXPECT_FALSE(app().composition(0).has_value());
    // Opened again, it composes.
    ASSERT_TRUE(setCompartment(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 1));
    EXPECT_EQ(inputModeText(), L"形全");
    ASSERT_TRUE(app().tap(VK_NUMPAD2));
    EXPECT_TRUE(app().composition(0).has_value());
    ASSERT_TRUE(app().tap(VK_ESCAPE));
    // A password field's document takes no keyboard input; the other document still composes.
    ASSERT_TRUE(app().store(0).replaceAll(L""));
    ASSERT_TRUE(setCompartment(app().context(0), GUID_COMPARTMENT_KEYBOARD_DISABLED, 1));
    app().clearKeys();
    ASSERT_TRUE(app().tap(VK_NUMPAD2));
    EXPECT_TRUE(reachedApplication(VK_NUMPAD2));
    EXPECT_FALSE(app().composition(0).has_value());
    ASSERT_TRUE(app().focus(1));
    ASSERT_TRUE(app().tap(VK_NUMPAD2));
    EXPECT_TRUE(app().composition(1).has_value());
    // Switching to the service again turns a closed keyboard on.
    app().deactivateTextServices();
    ASSERT_TRUE(setCompartment(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 0));
    ASSERT_EQ(app().activate(tsf::kTextServiceClsid), S_OK);
    EXPECT_EQ(compartmentNumber(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE), 1);
}

} // namespace
} // namespace tovi
