// The real tovi.ime driven as IMM32 drives it, with real input contexts under Wine.
#include "boundary/imm_ddk.h"
#include "boundary/ui_private.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tovi {
namespace {

using ImeInquireFn = BOOL(WINAPI*)(LPIMEINFO, LPWSTR, DWORD);
using ImeConfigureFn = BOOL(WINAPI*)(HKL, HWND, DWORD, LPVOID);
using ImeDestroyFn = BOOL(WINAPI*)(UINT);
using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImeSetActiveContextFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImeProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, CONST LPBYTE);
using ImeToAsciiExFn = UINT(WINAPI*)(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC);
using NotifyImeFn = BOOL(WINAPI*)(HIMC, DWORD, DWORD, DWORD);
using Stub3Fn = LRESULT(WINAPI*)(HIMC, UINT, LPVOID);

// The module loaded for one test, with its exports.
class Ime {
public:
    Ime() : module_(LoadLibraryW(L"tovi.ime")) {}
    ~Ime() {
        if (module_)
            FreeLibrary(module_);
    }
    Ime(const Ime&) = delete;
    Ime& operator=(const Ime&) = delete;
    HMODULE module() const { return module_; }
    template <typename Fn>
    Fn get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

// An input context of IMM32's own making, destroyed at the end.
class Context {
public:
    Context() : himc_(ImmCreateContext()) {}
    ~Context() {
        if (himc_)
            ImmDestroyContext(himc_);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    HIMC get() const { return himc_; }

private:
    HIMC himc_;
};

class BoundaryDll : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(ime.module(), nullptr); }
    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    Ime ime;
};

TEST_F(BoundaryDll, InquireReportsTheSameInfoWhateverTheSystemFlags) {
    const auto inquire = ime.get<ImeInquireFn>("ImeInquire");
    for (const DWORD flags : {0ul, 1ul, 4ul, 0x10ul, 0xFFFFul & ~2ul}) {
        IMEINFO info;
        std::memset(&info, 0xCC, sizeof(info));
        wchar_t uiClass[16];
        std::memset(uiClass, 0xCC, sizeof(uiClass));
        ASSERT_TRUE(inquire(&info, uiClass, flags));
        EXPECT_EQ(info.dwPrivateDataSize, 80u);
        EXPECT_EQ(info.fdwProperty, 0xA0002u);
        EXPECT_EQ(info.fdwConversionCaps, 0x1A9u);
        EXPECT_EQ(info.fdwSentenceCaps, 0u);
        EXPECT_EQ(info.fdwUICaps, 0x10002u);
        EXPECT_EQ(info.fdwSCSCaps, 3u);
        EXPECT_EQ(info.fdwSelectCaps, 1u);
        EXPECT_STREQ(uiClass, L"ZHPYUI");
    }
}

TEST_F(BoundaryDll, UnsupportedExportsAnswerWithFailure) {
    EXPECT_TRUE(ime.get<ImeDestroyFn>("ImeDestroy")(0));
    EXPECT_FALSE(ime.get<ImeDestroyFn>("ImeDestroy")(1));
    EXPECT_EQ(ime.get<Stub3Fn>("ImeEscape")(nullptr, 0, nullptr), 0);
    EXPECT_EQ(ime.get<Stub3Fn>("ImeRegisterWord")(nullptr, 0, nullptr), 0);
}

TEST_F(BoundaryDll, SelectEnlargesAndInitialisesTheContextBlock) {
    Context context;
    ASSERT_TRUE(context.get());
    ASSERT_TRUE(ime.get<ImeSelectFn>("ImeSelect")(context.get(), TRUE));
    INPUTCONTEXT* ic = ImmLockIMC(context.get());
    ASSERT_NE(ic, nullptr);
    EXPECT_TRUE(ic->fOpen);
    EXPECT_EQ(ImmGetIMCCSize(ic->hCompStr), 1672u);
    auto* block = static_cast<const BYTE*>(ImmLockIMCC(ic->hCompStr));
    ASSERT_NE(block, nullptr);
    const auto* header = reinterpret_cast<const COMPOSITIONSTRING*>(block);
    EXPECT_EQ(header->dwSize, 1672u);
    EXPECT_EQ(header->dwCompStrOffset, 100u);
    EXPECT_EQ(header->dwCompStrLen, 0u);
    EXPECT_EQ(header->dwResultStrOffset, 120u);
    EXPECT_EQ(header->dwResultStrLen, 0u);
    EXPECT_EQ(header->dwCursorPos, 0u);
    EXPECT_EQ(*reinterpret_cast<const wchar_t*>(block + 100), L'\0');
    EXPECT_EQ(*reinterpret_cast<const wchar_t*>(block + 120), L'\0');
    ImmUnlockIMCC(ic->hCompStr);
    ImmUnlockIMC(context.get());
    // Deselecting leaves the block as it is.
    EXPECT_TRUE(ime.get<ImeSelectFn>("ImeSelect")(context.get(), FALSE));
    ic = ImmLockIMC(context.get());
    ASSERT_NE(ic, nullptr);
    EXPECT_EQ(ImmGetIMCCSize(ic->hCompStr), 1672u);
    ImmUnlockIMC(context.get());
}

TEST_F(BoundaryDll, NullOrDeadContextsNeverCrash) {
    const BYTE keys[256] = {};
    EXPECT_TRUE(ime.get<ImeSelectFn>("ImeSelect")(nullptr, TRUE));
    EXPECT_TRUE(ime.get<ImeSetActiveContextFn>("ImeSetActiveContext")(nullptr, FALSE));
    EXPECT_FALSE(
        ime.get<NotifyImeFn>("NotifyIME")(nullptr, NI_CONTEXTUPDATED, 0, IMC_SETOPENSTATUS));
    EXPECT_FALSE(ime.get<ImeProcessKeyFn>("ImeProcessKey")(nullptr, 'A', 0x1E0001,
                                                           const_cast<LPBYTE>(keys)));
    EXPECT_FALSE(ime.get<ImeProcessKeyFn>("ImeProcessKey")(nullptr, 'A', 0x1E0001, nullptr));
    TRANSMSGLIST list{};
    list.uMsgCount = 1;
    EXPECT_EQ(ime.get<ImeToAsciiExFn>("ImeToAsciiEx")('A', 0x1E, const_cast<LPBYTE>(keys), &list, 0,
                                                      nullptr),
              0u);
    EXPECT_EQ(ime.get<ImeToAsciiExFn>("ImeToAsciiEx")('A', 0x1E, nullptr, nullptr, 0, nullptr), 0u);

    HIMC dead = ImmCreateContext();
    ASSERT_TRUE(dead);
    ImmDestroyContext(dead);
    EXPECT_TRUE(ime.get<ImeSelectFn>("ImeSelect")(dead, TRUE));
    EXPECT_TRUE(ime.get<ImeSetActiveContextFn>("ImeSetActiveContext")(dead, FALSE));
}

TEST_F(BoundaryDll, KeyReleaseGeneratesNothing) {
    Context context;
    ime.get<ImeSelectFn>("ImeSelect")(context.get(), TRUE);
    BYTE keys[256] = {};
    keys['A'] = 0x80;
    struct {
        TRANSMSGLIST list;
        TRANSMSG more[3];
    } buffer{};
    buffer.list.uMsgCount = 4;
    EXPECT_EQ(
        ime.get<ImeToAsciiExFn>("ImeToAsciiEx")('A', 0x801E, keys, &buffer.list, 0, context.get()),
        0u);
    EXPECT_EQ(buffer.list.uMsgCount, 4u);
    EXPECT_EQ(buffer.list.TransMsg[0].message, 0u);
}

TEST_F(BoundaryDll, NotifyHandlesOnlyTheOpenStatusUpdate) {
    Context context;
    const auto notify = ime.get<NotifyImeFn>("NotifyIME");
    EXPECT_FALSE(notify(context.get(), NI_COMPOSITIONSTR, 0, 0));
    EXPECT_FALSE(notify(context.get(), NI_CONTEXTUPDATED, 0, 0x0002 /* IMC_SETCONVERSIONMODE */));
    EXPECT_FALSE(notify(context.get(), NI_OPENCANDIDATE, 0, IMC_SETOPENSTATUS));
    EXPECT_TRUE(notify(context.get(), NI_CONTEXTUPDATED, 0, IMC_SETOPENSTATUS));
}

// Closes the settings dialog once it shows, remembering where it was.
struct DialogCloser {
    std::atomic<bool> found{false};
    RECT rect{};
    std::thread thread{[this] {
        for (int i = 0; i < 200 && !found; ++i) {
            if (const HWND dialog = FindWindowW(L"#32770", L"输入法设置")) {
                GetWindowRect(dialog, &rect);
                found = true;
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            Sleep(50);
        }
    }};
    ~DialogCloser() {
        if (thread.joinable())
            thread.join();
    }
};

TEST_F(BoundaryDll, ConfigureShowsTheSettingsDialogCentred) {
    DialogCloser closer;
    EXPECT_TRUE(ime.get<ImeConfigureFn>("ImeConfigure")(nullptr, nullptr, 0, nullptr));
    closer.thread.join();
    ASSERT_TRUE(closer.found);
    const int width = closer.rect.right - closer.rect.left;
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_NEAR(closer.rect.left, (screen - width) / 2, 1);
}

// Child mode: on the logon desktop no dialog may open.
int secureDesktopChild() {
    Ime ime;
    IMEINFO info{};
    wchar_t uiClass[16] = {};
    if (!ime.get<ImeInquireFn>("ImeInquire")(&info, uiClass, IME_SYSINFO_WINLOGON))
        return 2;
    if (info.fdwProperty != 0xA0002u || std::wstring(uiClass) != L"ZHPYUI")
        return 3;
    // Would block on a modal dialog if it opened one.
    return ime.get<ImeConfigureFn>("ImeConfigure")(nullptr, nullptr, 0, nullptr) ? 4 : 0;
}

TEST_F(BoundaryDll, SecureDesktopOpensNoDialog) {
    auto child = wintest::startSelf(L"--winlogon");
    ASSERT_TRUE(child);
    EXPECT_EQ(wintest::waitExitCode(child, 20000), 0);
}

// Child mode: the module installed as a keyboard layout tells the language indicator about
// itself when a context is selected and activated. Exit code 0 when all messages came right.
int indicatorChild() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring installed = std::wstring(system) + L"\\tovi.ime";
    std::wstring built = wintest::ownExecutable();
    built = built.substr(0, built.find_last_of(L'\\') + 1) + L"tovi.ime";
    if (!CopyFileW(built.c_str(), installed.c_str(), FALSE))
        return 10;
    // Install the layout once per prefix; a prefix may already hold it from an earlier run.
    HKL layout = nullptr;
    HKL layouts[64];
    const int count = GetKeyboardLayoutList(64, layouts);
    for (int i = 0; i < count && !layout; ++i) {
        wchar_t file[MAX_PATH] = {};
        ImmGetIMEFileNameW(layouts[i], file, MAX_PATH);
        const std::wstring path = file;
        if (path.size() >= 8 && _wcsicmp(path.c_str() + path.size() - 8, L"tovi.ime") == 0)
            layout = layouts[i];
    }
    if (!layout) {
        layout = ImmInstallIMEW(L"tovi.ime", L"tovi");
        if (!layout)
            return 11;
        wchar_t name[KL_NAMELENGTH] = {};
        wsprintfW(name, L"%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout)));
        LoadKeyboardLayoutW(name, 0);
    }
    const HWND indicator =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.lpszClassName = L"Indicator";
    RegisterClassW(&cls);
    const HWND target =
        CreateWindowExW(0, L"Indicator", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!indicator || !target)
        return 12;
    // Global atoms outlive the processes that added them: references left by earlier processes
    // of the session go first, so that the count checked below is this process's alone.
    constexpr wchar_t kTooltip[] = L"朔昕输入法（全词库版）";
    for (int left = 100000; const ATOM earlier = GlobalFindAtomW(kTooltip); --left) {
        if (left == 0)
            return 16;
        GlobalDeleteAtom(earlier);
    }
    const HMODULE module = LoadLibraryW(installed.c_str());
    if (!module)
        return 13;
    const auto select =
        reinterpret_cast<ImeSelectFn>(reinterpret_cast<void*>(GetProcAddress(module, "ImeSelect")));
    const auto activate = reinterpret_cast<ImeSetActiveContextFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "ImeSetActiveContext")));
    const HIMC context = ImmCreateContext();
    select(context, TRUE);   // before the first selection: "not selected" values
    activate(context, TRUE); // after it: the icon, the tooltip atom, the menu
    const ATOM tooltip = GlobalFindAtomW(kTooltip);
    const std::vector<std::pair<UINT, WPARAM>> expected{{1124, static_cast<WPARAM>(-1)},
                                                        {1125, static_cast<WPARAM>(-1)},
                                                        {1126, 0},
                                                        {1124, 1},
                                                        {1125, tooltip},
                                                        {1126, 1}};
    std::vector<std::pair<UINT, WPARAM>> seen;
    MSG msg;
    while (PeekMessageW(&msg, target, 1124, 1126, PM_REMOVE)) {
        if (msg.lParam != reinterpret_cast<LPARAM>(layout))
            return 14;
        seen.emplace_back(msg.message, msg.wParam);
    }
    // However often the indicator is updated, it is told the same atom, and the process holds a
    // single reference to it: one deletion frees it.
    for (int i = 0; i < 20; ++i)
        activate(context, TRUE);
    while (PeekMessageW(&msg, target, 1125, 1125, PM_REMOVE))
        if (msg.wParam != tooltip)
            return 17;
    ImmDestroyContext(context);
    FreeLibrary(module);
    if (seen != expected || !tooltip)
        return 15;
    GlobalDeleteAtom(tooltip);
    wchar_t name[64] = {};
    return GlobalGetAtomNameW(tooltip, name, 64) ? 18 : 0;
}

TEST_F(BoundaryDll, SelectionAndActivationUpdateTheLanguageIndicator) {
    auto child = wintest::startSelf(L"--indicator");
    ASSERT_TRUE(child);
    EXPECT_EQ(wintest::waitExitCode(child, 30000), 0);
}

// The UI window, as IMM32 creates it, with a test window as the application's.
class UiWindow : public BoundaryDll {
protected:
    void SetUp() override {
        BoundaryDll::SetUp();
        app = CreateWindowExW(0, L"STATIC", L"app", WS_OVERLAPPED, 100, 100, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
        ui = CreateWindowExW(0, L"ZHPYUI", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             ime.module(), nullptr);
        ASSERT_TRUE(app && ui);
        ASSERT_TRUE(ime.get<ImeSelectFn>("ImeSelect")(context.get(), TRUE));
        INPUTCONTEXT* ic = ImmLockIMC(context.get());
        ASSERT_NE(ic, nullptr);
        ic->hWnd = app;
        ImmUnlockIMC(context.get());
    }
    void TearDown() override {
        if (ui)
            DestroyWindow(ui);
        if (app)
            DestroyWindow(app);
    }
    UiPrivate privateBlock() const {
        const auto block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrW(ui, IMMGWL_PRIVATE));
        UiPrivate copy{};
        if (auto* data = static_cast<const UiPrivate*>(GlobalLock(block))) {
            copy = *data;
            GlobalUnlock(block);
        }
        return copy;
    }
    void attach() { SetWindowLongPtrW(ui, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(context.get())); }
    void setCompositionPos(int x, int y) {
        INPUTCONTEXT* ic = ImmLockIMC(context.get());
        ic->cfCompForm.ptCurrentPos = {x, y};
        ImmUnlockIMC(context.get());
    }
    POINT expectedBelow(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(app, &p);
        SIZE size{};
        const HDC dc = GetDC(app);
        const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32W(dc, L"A", 1, &size);
        SelectObject(dc, old);
        ReleaseDC(app, dc);
        return {p.x + size.cx, p.y + size.cy};
    }

    Context context;
    HWND app = nullptr;
    HWND ui = nullptr;
};

TEST_F(UiWindow, CreationRecordsAnUnplacedCandidateWindow) {
    const UiPrivate block = privateBlock();
    EXPECT_EQ(block.candidate.x, -1);
    EXPECT_EQ(block.candidate.y, -1);
    EXPECT_EQ(block.status.window, nullptr);
}

TEST_F(UiWindow, WithoutAContextCompositionAndNotifyAreIgnored) {
    EXPECT_EQ(SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0), 0);
    EXPECT_EQ(SendMessageW(ui, WM_IME_COMPOSITION, 0, GCS_RESULTSTR), 0);
    EXPECT_EQ(privateBlock().status.window, nullptr);
    attach();
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
    const HWND status = privateBlock().status.window;
    ASSERT_TRUE(IsWindow(status));
    wchar_t cls[32] = {};
    GetClassNameW(status, cls, 32);
    EXPECT_STREQ(cls, L"DEDU_STATUS");
    // Destroying the UI window destroys the windows it recorded.
    DestroyWindow(ui);
    ui = nullptr;
    EXPECT_FALSE(IsWindow(status));
}

TEST_F(UiWindow, CandidateFollowsTheCaretButNotSmallSidewaysMoves) {
    attach();
    setCompositionPos(50, 60);
    SendMessageW(ui, WM_IME_NOTIFY, IMN_SETCANDIDATEPOS, 1);
    const POINT first = expectedBelow(50, 60);
    EXPECT_EQ(privateBlock().candidate.x, first.x);
    EXPECT_EQ(privateBlock().candidate.y, first.y);

    setCompositionPos(120, 80); // 70 to the right, one line down: x stays
    SendMessageW(ui, WM_IME_NOTIFY, IMN_SETCOMPOSITIONWINDOW, 0);
    EXPECT_EQ(privateBlock().candidate.x, first.x);
    EXPECT_EQ(privateBlock().candidate.y, expectedBelow(120, 80).y);

    setCompositionPos(121, 80); // 71: x follows
    SendMessageW(ui, WM_IME_NOTIFY, IMN_SETCANDIDATEPOS, 1);
    EXPECT_EQ(privateBlock().candidate.x, expectedBelow(121, 80).x);
}

TEST_F(UiWindow, CandidateBelowTheScreenFallsBackToTheCaret) {
    attach();
    ShowWindow(app, SW_SHOW);
    SetFocus(app);
    CreateCaret(app, nullptr, 2, 12);
    SetCaretPos(7, 9);
    setCompositionPos(10, GetSystemMetrics(SM_CYSCREEN) + 100);
    SendMessageW(ui, WM_IME_NOTIFY, IMN_SETCANDIDATEPOS, 1);
    POINT caret{};
    GetCaretPos(&caret);
    ClientToScreen(GetFocus(), &caret);
    EXPECT_EQ(privateBlock().candidate.x, caret.x);
    EXPECT_EQ(privateBlock().candidate.y, caret.y + 20);
    DestroyCaret();
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--winlogon")
        return tovi::secureDesktopChild();
    if (argc > 1 && std::string(argv[1]) == "--indicator")
        return tovi::indicatorChild();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
