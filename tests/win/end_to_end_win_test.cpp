// As a user types: tovi.ime installed as a keyboard layout of the Wine prefix with the real
// tables, activated before any window exists, and keystrokes sent with SendInput into an EDIT
// control. Wine's own IMM32 drives the module; each committed word is read back from the
// control's input context.
#include "platform/shared_section.h"
#include "tables/code_table.h"
#include "tables/code_table_index.h"
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

void pump() {
    MSG msg;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

void send(WORD key, bool up, bool extended = false) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    // No scan code for keypad keys: the system would read one as its arrow-key twin.
    const bool keypad = key >= VK_NUMPAD0 && key <= VK_DIVIDE;
    input.ki.wScan = keypad ? 0 : static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &input, sizeof(input));
    pump();
}

void tap(WORD key) {
    send(key, false);
    send(key, true);
}

HKL installLayout() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring built = wintest::ownExecutable();
    built = built.substr(0, built.find_last_of(L'\\') + 1) + L"tovi.ime";
    CopyFileW(built.c_str(), (std::wstring(system) + L"\\tovi.ime").c_str(), FALSE);
    HKL layouts[64];
    const int count = GetKeyboardLayoutList(64, layouts);
    for (int i = 0; i < count; ++i) {
        wchar_t file[MAX_PATH] = {};
        ImmGetIMEFileNameW(layouts[i], file, MAX_PATH);
        const std::wstring path = file;
        if (path.size() >= 8 && _wcsicmp(path.c_str() + path.size() - 8, L"tovi.ime") == 0)
            return layouts[i];
    }
    return ImmInstallIMEW(L"tovi.ime", L"tovi");
}

// The layout an installer registered: the one of the Keyboard Layouts keys whose IME file is
// tovi.ime, loaded; null when there is none.
HKL installedLayout() {
    HKEY layouts = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts",
                      0, KEY_READ, &layouts) != ERROR_SUCCESS)
        return nullptr;
    HKL found = nullptr;
    wchar_t name[KL_NAMELENGTH + 8] = {};
    for (DWORD i = 0; !found; ++i) {
        DWORD length = KL_NAMELENGTH + 8;
        if (RegEnumKeyExW(layouts, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        wchar_t file[MAX_PATH] = {};
        DWORD bytes = sizeof(file) - sizeof(wchar_t);
        if (RegGetValueW(layouts, name, L"Ime File", RRF_RT_REG_SZ, nullptr, file, &bytes) ==
                ERROR_SUCCESS &&
            _wcsicmp(file, L"tovi.ime") == 0)
            found = LoadKeyboardLayoutW(name, 0);
    }
    RegCloseKey(layouts);
    if (!found)
        return nullptr;
    // Loaded, it is in the list under the handle IMM32 knows it by.
    HKL loaded[64];
    const int count = GetKeyboardLayoutList(64, loaded);
    for (int i = 0; i < count; ++i) {
        wchar_t file[MAX_PATH] = {};
        ImmGetIMEFileNameW(loaded[i], file, MAX_PATH);
        if (_wcsicmp(file, L"tovi.ime") == 0)
            return loaded[i];
    }
    return nullptr;
}

// Child mode: types `code` (keypad digits, or letters) then `confirm` until `expected` is the
// result string of the EDIT control's context, through the layout this test installs or, with
// `installed`, the one an installer registered. Exit code 0 on success.
int typeChild(const std::wstring& code, WORD confirm, const std::wstring& expected,
              bool installed) {
    const HKL layout = installed ? installedLayout() : installLayout();
    if (!layout)
        return 10;
    wchar_t name[KL_NAMELENGTH] = {};
    wsprintfW(name, L"%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout)));
    LoadKeyboardLayoutW(name, KLF_ACTIVATE);
    ActivateKeyboardLayout(layout, 0);
    const HWND top = CreateWindowExW(0, L"STATIC", L"tovi", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                     50, 400, 200, nullptr, nullptr, nullptr, nullptr);
    const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10,
                                      300, 30, top, nullptr, nullptr, nullptr);
    if (!top || !edit)
        return 11;
    SetForegroundWindow(top);
    SetFocus(edit);
    const HIMC context = ImmGetContext(edit);
    if (!context)
        return 12;
    ImmSetOpenStatus(context, TRUE);
    pump();
    if (!(GetKeyState(VK_NUMLOCK) & 1)) // the keypad types digits only with NumLock on
        tap(VK_NUMLOCK);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (const wchar_t unit : code)
            tap(unit >= L'0' && unit <= L'9' ? static_cast<WORD>(VK_NUMPAD0 + (unit - L'0'))
                                             : static_cast<WORD>(unit - L'a' + 'A'));
        tap(confirm);
        wchar_t text[64] = {};
        LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, text, sizeof(text));
        if (bytes <= 0 || std::wstring(text, bytes / sizeof(wchar_t)) != expected) {
            tap(confirm); // a code with several exact matches takes a second confirm
            bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, text, sizeof(text));
        }
        if (bytes > 0 && std::wstring(text, bytes / sizeof(wchar_t)) == expected) {
            ImmReleaseContext(edit, context);
            return 0;
        }
        tap(VK_ESCAPE);
        Sleep(50); // the table is still loading
    }
    ImmReleaseContext(edit, context);
    return 13;
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
    if (argc > 3 && (mode == "--add-installed" || mode == "--has-installed"))
        return tovi::installedWord(mode == "--add-installed", argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
