// PVemoraScreen.exe under Wine: the one-shot card and its three-second life, one resident
// instance, the capture component (a stand-in registered as "XdictGrb.GrabProxy") feeding
// QueryWord, the tray menu's commands, and the module's keypad-multiply launch end to end.
// The program runs from a scratch folder with its own dict.txt; its windows are read from here.
#include "../../screen/resources/screen_ids.h"
#include "grab_proxy_test_protocol.h"
#include "typing_window.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <imm.h>
#include <string>

namespace tovi {
namespace {

#ifndef TOVI_DIST_DIR
#define TOVI_DIST_DIR L""
#endif

constexpr wchar_t kCaption[] = L"FormVemoraScreen";

std::string gbk(const std::wstring& text) {
    const int size = WideCharToMultiByte(936, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(936, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::wstring besideTest(const std::wstring& name) {
    const std::wstring self = wintest::ownExecutable();
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

struct Started {
    platform::UniqueHandle process;
    DWORD id = 0;
};

Started startScreen(const std::wstring& program, const std::wstring& arguments) {
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return {};
    const platform::UniqueHandle thread(info.hThread);
    return {platform::UniqueHandle(info.hProcess), info.dwProcessId};
}

struct FormSearch {
    DWORD process;
    HWND found;
};

// A named callback, not a lambda: on 32-bit Windows the enumeration calls it with the stdcall
// convention, which a lambda does not convert to.
BOOL CALLBACK matchForm(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<FormSearch*>(data);
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (std::wstring(caption) == kCaption && (s->process == 0 || owner == s->process)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The card window of `process` (any process when 0), waiting up to `milliseconds`.
HWND findForm(DWORD process, DWORD milliseconds = 10000) {
    for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
        FormSearch search{process, nullptr};
        EnumWindows(matchForm, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(20);
    }
    return nullptr;
}

bool waitUntil(bool (*condition)(HWND), HWND window, DWORD milliseconds) {
    for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
        if (condition(window))
            return true;
        Sleep(20);
    }
    return false;
}

bool visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}
bool hidden(HWND window) {
    return IsWindow(window) && !IsWindowVisible(window);
}

std::wstring label(HWND form, int id) {
    const HWND control = GetDlgItem(form, id);
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    if (!control || !SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                                         SMTO_ABORTIFHUNG, 5000, &copied))
        return L"<none>";
    return text;
}

HRESULT queryWord(HWND control, LONG x, LONG y, const wchar_t* text, LONG index) {
    wintest::QueryWordCall call{};
    call.x = x;
    call.y = y;
    call.cursorIndex = index;
    call.nullText = text ? 0 : 1;
    if (text)
        wcsncpy(call.text, text, 63);
    COPYDATASTRUCT data{wintest::kQueryWordRequest, sizeof(call), &call};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result))
        return E_ABORT;
    return static_cast<HRESULT>(result);
}

LRESULT ask(HWND control, UINT question) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, question, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

void sendCommand(HWND form, int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(form, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_ABORTIFHUNG, 5000,
                        &result);
}

// The stand-in component registered in the prefix (Software\Classes of the machine: Wine's COM
// reads no per-user classes) for the life of the object.
class ComponentRegistration {
public:
    explicit ComponentRegistration(const std::wstring& dll) {
        const std::wstring clsidKey =
            std::wstring(L"Software\\Classes\\CLSID\\") + wintest::kGrabProxyClsid;
        set(L"Software\\Classes\\XdictGrb.GrabProxy\\CLSID", nullptr, wintest::kGrabProxyClsid);
        set(clsidKey + L"\\InprocServer32", nullptr, dll);
        set(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
    ~ComponentRegistration() {
        RegDeleteTreeW(kRoot, L"Software\\Classes\\XdictGrb.GrabProxy");
        RegDeleteTreeW(
            kRoot,
            (std::wstring(L"Software\\Classes\\CLSID\\") + wintest::kGrabProxyClsid).c_str());
    }
    ComponentRegistration(const ComponentRegistration&) = delete;
    ComponentRegistration& operator=(const ComponentRegistration&) = delete;

private:
    static inline const HKEY kRoot = HKEY_LOCAL_MACHINE;
    static void set(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
        HKEY opened = nullptr;
        if (RegCreateKeyExW(kRoot, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                            nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(opened);
    }
};

class ScreenProgram : public ::testing::Test {
protected:
    void SetUp() override {
        program = scratch.file(L"PVemoraScreen.exe");
        ASSERT_TRUE(CopyFileW(besideTest(L"PVemoraScreen.exe").c_str(), program.c_str(), FALSE));
        wintest::writeBytes(scratch.file(L"dict.txt"),
                            gbk(L"王 11111111 五笔：gggg　拼音：wang\r\n"
                                L"中国 23212411 五笔：khlg　拼音：zhong guo\r\n"
                                L"国 24112424 五笔：lgyi　拼音：guo\r\n"
                                L"王 99999999 second record\r\n"));
    }
    void TearDown() override {
        // No program of a failed test may outlive it.
        for (Started* started : {&first, &second})
            if (started->process && WaitForSingleObject(started->process.get(), 0) != WAIT_OBJECT_0)
                TerminateProcess(started->process.get(), 99);
    }
    // The control window of the stand-in component inside `process`.
    static HWND findControl(DWORD process) {
        for (int i = 0; i < 500; ++i) {
            HWND control = nullptr;
            while ((control = FindWindowExW(nullptr, control, wintest::kGrabProxyControlClass,
                                            nullptr)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(control, &owner);
                if (owner == process)
                    return control;
            }
            Sleep(20);
        }
        return nullptr;
    }

    wintest::ScratchFolder scratch;
    std::wstring program;
    Started first;
    Started second;
};

TEST_F(ScreenProgram, OneShotShowsTheWordsRecordAndClosesAfterThreeSeconds) {
    const DWORD started = GetTickCount();
    first = startScreen(program, L"get 中国");
    ASSERT_TRUE(first.process);
    const HWND form = findForm(first.id);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(waitUntil(visible, form, 5000));
    EXPECT_EQ(label(form, kWordLabel), L"中国");
    EXPECT_EQ(label(form, kKeyLabel), L"23212411");
    EXPECT_EQ(label(form, kDescriptionLabel), L"五笔：khlg　拼音：zhong guo");
    EXPECT_TRUE(GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 283);
    EXPECT_EQ(client.bottom, 207);
    EXPECT_EQ(wintest::waitExitCode(first.process, 10000), 0);
    const DWORD lived = GetTickCount() - started;
    EXPECT_GE(lived, 2900u);
    EXPECT_LE(lived, 8000u);
}

TEST_F(ScreenProgram, OneShotShowsTheFirstRecordOfAWord) {
    first = startScreen(program, L"get 王");
    const HWND form = findForm(first.id);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(waitUntil(visible, form, 5000));
    EXPECT_EQ(label(form, kKeyLabel), L"11111111");
    EXPECT_EQ(wintest::waitExitCode(first.process, 10000), 0);
}

TEST_F(ScreenProgram, OneShotForUnknownOrSingleByteTextShowsNothingAndStillCloses) {
    for (const wchar_t* text : {L"get 未知", L"get abc", L"get"}) {
        Started run = startScreen(program, text);
        const HWND form = findForm(run.id);
        ASSERT_NE(form, nullptr) << text;
        Sleep(500);
        EXPECT_FALSE(IsWindowVisible(form)) << text;
        EXPECT_EQ(wintest::waitExitCode(run.process, 10000), 0) << text;
    }
}

TEST_F(ScreenProgram, ASecondResidentStartExitsAtOnceAndTheFirstEndsFromItsMenu) {
    first = startScreen(program, L"");
    const HWND form = findForm(first.id);
    ASSERT_NE(form, nullptr);
    // Without the component the card stays hidden and the program runs on.
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(form));
    EXPECT_EQ(WaitForSingleObject(first.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    second = startScreen(program, L"");
    EXPECT_EQ(wintest::waitExitCode(second.process, 3000), 0);
    // A one-shot start runs beside the resident program all the same.
    Started oneShot = startScreen(program, L"get 国");
    const HWND card = findForm(oneShot.id);
    ASSERT_NE(card, nullptr);
    ASSERT_TRUE(waitUntil(visible, card, 5000));
    EXPECT_EQ(label(card, kWordLabel), L"国");
    EXPECT_EQ(wintest::waitExitCode(oneShot.process, 10000), 0);

    sendCommand(form, kCommandExit);
    EXPECT_EQ(wintest::waitExitCode(first.process, 5000), 0);
}

TEST_F(ScreenProgram, TheCaptureComponentIsStartedAndItsQueriesShowTheCard) {
    const ComponentRegistration registration(besideTest(L"grab_proxy_test_server.dll"));
    first = startScreen(program, L"");
    const HWND control = findControl(first.id);
    ASSERT_NE(control, nullptr) << "the program did not advise the component";
    EXPECT_EQ(ask(control, wintest::kAskGrabEnabled), 1);
    EXPECT_EQ(ask(control, wintest::kAskGrabInterval), 500);
    EXPECT_EQ(ask(control, wintest::kAskGrabMode), 1);
    const HWND form = findForm(first.id);
    ASSERT_NE(form, nullptr);

    SetCursorPos(300, 300);
    EXPECT_EQ(queryWord(control, 300, 300, L"ab王c", 2), S_OK);
    ASSERT_TRUE(waitUntil(visible, form, 3000));
    EXPECT_EQ(label(form, kWordLabel), L"王");
    EXPECT_EQ(label(form, kKeyLabel), L"11111111");
    EXPECT_EQ(label(form, kDescriptionLabel), L"五笔：gggg　拼音：wang");
    RECT frame{};
    GetWindowRect(form, &frame);
    EXPECT_EQ(frame.left, 300);
    EXPECT_EQ(frame.top, 310);

    // Fifteen pixels away keeps the card over two ticks of the check timer; sixteen hide it.
    SetCursorPos(315, 285);
    Sleep(2200);
    EXPECT_TRUE(IsWindowVisible(form));
    SetCursorPos(316, 300);
    EXPECT_TRUE(waitUntil(hidden, form, 3000));

    sendCommand(form, kCommandExit);
    EXPECT_EQ(wintest::waitExitCode(first.process, 5000), 0);
}

TEST_F(ScreenProgram, BadQueriesAreRefusedAndTheProgramRunsOn) {
    const ComponentRegistration registration(besideTest(L"grab_proxy_test_server.dll"));
    first = startScreen(program, L"");
    const HWND control = findControl(first.id);
    ASSERT_NE(control, nullptr);
    const HWND form = findForm(first.id);
    ASSERT_NE(form, nullptr);
    SetCursorPos(500, 500);

    EXPECT_TRUE(FAILED(queryWord(control, 500, 500, nullptr, 0)));
    EXPECT_TRUE(FAILED(queryWord(control, 500, 500, L"王", 1)));
    EXPECT_TRUE(FAILED(queryWord(control, 500, 500, L"王", -1)));
    EXPECT_TRUE(FAILED(queryWord(control, 500, 500, L"\xD840\xDC00", 0)));
    EXPECT_TRUE(FAILED(queryWord(control, 500, 500, L"\xD840\xDC00", 1)));
    // An ASCII letter and an unknown character are no faults: nothing to show.
    EXPECT_EQ(queryWord(control, 500, 500, L"a", 0), S_OK);
    EXPECT_EQ(queryWord(control, 500, 500, L"未", 0), S_OK);
    Sleep(200);
    EXPECT_FALSE(IsWindowVisible(form));

    EXPECT_EQ(queryWord(control, 500, 500, L"国", 0), S_OK);
    ASSERT_TRUE(waitUntil(visible, form, 3000));
    EXPECT_EQ(label(form, kWordLabel), L"国");
    sendCommand(form, kCommandExit);
    EXPECT_EQ(wintest::waitExitCode(first.process, 5000), 0);
}

TEST_F(ScreenProgram, TheStartStopItemFlipsGrabEnabled) {
    const ComponentRegistration registration(besideTest(L"grab_proxy_test_server.dll"));
    first = startScreen(program, L"");
    const HWND control = findControl(first.id);
    ASSERT_NE(control, nullptr);
    const HWND form = findForm(first.id);
    ASSERT_NE(form, nullptr);
    sendCommand(form, kCommandToggleGrab);
    EXPECT_EQ(ask(control, wintest::kAskGrabEnabled), 0);
    sendCommand(form, kCommandToggleGrab);
    EXPECT_EQ(ask(control, wintest::kAskGrabEnabled), 1);
    sendCommand(form, kCommandExit);
    EXPECT_EQ(wintest::waitExitCode(first.process, 5000), 0);
}

// ---- The module's keypad-multiply launch -----------------------------------------------------

// Child mode: types 中国 on the keypad into an EDIT control, then presses keypad multiply.
int typeAndLaunch() {
    const wintest::TypingWindow window(wintest::installBuiltLayout());
    if (window.failure())
        return window.failure();
    if (!window.typeUntil(L"23212411", VK_NUMPAD0, L"中国"))
        return 13;
    wintest::tap(VK_MULTIPLY);
    return 0;
}

TEST_F(ScreenProgram, KeypadMultiplyStartsTheCardForTheCommittedCharacter) {
    const std::wstring dist = TOVI_DIST_DIR;
    if (dist.empty() ||
        GetFileAttributesW((dist + L"\\toviwb.mb").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no real tables in the package folder";
    for (const wchar_t* file : {L"toviwb.mb", L"tovipy.mb", L"codePyMain.pmt", L"vemoraPY.pmt",
                                L"vemoraSP.pmt", L"deduSPNum.pi"})
        CopyFileW((dist + L"\\" + file).c_str(), scratch.file(file).c_str(), FALSE);
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SETTINGS 161\r\n");
    const wintest::InstallPathValue installPath(scratch.path());

    auto child = wintest::startSelf(L"--type-and-launch");
    ASSERT_EQ(wintest::waitExitCode(child, 120000), 0);
    // The module started the program from the installation folder with the last character.
    const HWND card = findForm(0, 10000);
    ASSERT_NE(card, nullptr);
    ASSERT_TRUE(waitUntil(visible, card, 5000));
    EXPECT_EQ(label(card, kWordLabel), L"国");
    EXPECT_EQ(label(card, kKeyLabel), L"24112424");
    DWORD process = 0;
    GetWindowThreadProcessId(card, &process);
    const platform::UniqueHandle launched(OpenProcess(SYNCHRONIZE, FALSE, process));
    ASSERT_TRUE(launched);
    EXPECT_EQ(WaitForSingleObject(launched.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

// Screenshot mode (scripts/screen-screenshot.sh): the one-shot card for `word` with the package
// folder's dict.txt, saved as a 24-bit BMP.
int saveCardPicture(const std::wstring& word, const std::wstring& bmp) {
    const wintest::ScratchFolder folder;
    const std::wstring program = folder.file(L"PVemoraScreen.exe");
    const std::wstring dist = TOVI_DIST_DIR;
    if (!CopyFileW(besideTest(L"PVemoraScreen.exe").c_str(), program.c_str(), FALSE) ||
        !CopyFileW((dist + L"\\dict.txt").c_str(), folder.file(L"dict.txt").c_str(), FALSE))
        return 2;
    SetCursorPos(40, 40);
    Started run = startScreen(program, L"get " + word);
    const HWND form = findForm(run.id);
    if (!form || !waitUntil(visible, form, 5000))
        return 3;
    Sleep(500); // let the card finish painting
    RECT frame{};
    GetWindowRect(form, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = static_cast<DWORD>(header.bfOffBits + stride * height);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    bytes.append(static_cast<const char*>(bits), stride * height);
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    wintest::writeBytes(bmp, bytes);
    return wintest::waitExitCode(run.process, 10000) == 0 ? 0 : 4;
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--type-and-launch")
        return tovi::typeAndLaunch();
    if (argc > 3 && std::string(argv[1]) == "--screenshot") {
        // The word as hexadecimal code units ("884C"), which survive any ANSI code page.
        std::wstring word;
        for (const char* unit = argv[2]; *unit;) {
            char* end = nullptr;
            word += static_cast<wchar_t>(std::strtoul(unit, &end, 16));
            unit = *end == ',' ? end + 1 : end;
            if (end == unit && *end != ',')
                break;
        }
        const std::string path = argv[3];
        return tovi::saveCardPicture(word, std::wstring(path.begin(), path.end()));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
