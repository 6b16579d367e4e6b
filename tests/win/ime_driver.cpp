#include "ime_driver.h"

#include "win_test_support.h"

#include <array>

namespace tovi::wintest {
namespace {

template <typename Fn>
Fn exported(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

UINT scanCode(UINT key) {
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return std::array<UINT, 10>{
            0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49}[key - VK_NUMPAD0];
    if (key == VK_CONTROL)
        return 0x1D;
    if (key == VK_ESCAPE)
        return 0x01;
    return MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
}

} // namespace

LRESULT CALLBACK ImeDriver::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* driver = reinterpret_cast<ImeDriver*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        if (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST) {
            driver->count(message, lParam);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ImeDriver::count(UINT message, LPARAM lParam) {
    if (message == WM_IME_COMPOSITION && (lParam & GCS_RESULTSTR))
        ++results_;
    if (message == WM_IME_STARTCOMPOSITION)
        composing_ = true;
    if (message == WM_IME_ENDCOMPOSITION)
        composing_ = false;
}

ImeDriver::ImeDriver() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = windowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"tovi-test-ime-driver";
    RegisterClassW(&cls);
    window_ = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              cls.hInstance, nullptr);
    if (!window_) {
        failure_ = L"no window";
        return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    module_ = LoadLibraryW(L"tovi.ime");
    if (!module_) {
        failure_ = L"tovi.ime does not load: " + std::to_wstring(GetLastError());
        return;
    }
    select_ = exported<ImeSelectFn>(module_, "ImeSelect");
    processKey_ = exported<ImeProcessKeyFn>(module_, "ImeProcessKey");
    toAscii_ = exported<ImeToAsciiExFn>(module_, "ImeToAsciiEx");
    context_ = ImmCreateContext();
    if (INPUTCONTEXT* ic = context_ ? ImmLockIMC(context_) : nullptr) {
        ic->hWnd = window_;
        ImmUnlockIMC(context_);
    }
    if (!select_ || !processKey_ || !toAscii_ || !context_ || !select_(context_, TRUE))
        failure_ = L"tovi.ime cannot be selected";
    SetKeyboardState(keys_);
}

ImeDriver::~ImeDriver() {
    if (context_)
        ImmDestroyContext(context_);
    if (module_)
        FreeLibrary(module_);
    if (window_)
        DestroyWindow(window_);
}

void ImeDriver::key(UINT key, bool down, wchar_t unit) {
    if (down)
        keys_[key] |= 0x80;
    else
        keys_[key] &= 0x7F;
    keys_[VK_CONTROL] = keys_[VK_LCONTROL] & 0x80;
    SetKeyboardState(keys_);
    const UINT scan = scanCode(key);
    const auto data = static_cast<LPARAM>((down ? 1u : 0xC0000001u) | (scan << 16));
    if (processKey_(context_, key, data, keys_)) {
        struct {
            TRANSMSGLIST list;
            TRANSMSG more[31];
        } buffer{};
        buffer.list.uMsgCount = 32;
        const UINT n = toAscii_(key | (static_cast<UINT>(unit) << 16), scan | (down ? 0u : 0x8000u),
                                keys_, &buffer.list, 0, context_);
        for (UINT i = 0; i < n && i < 32; ++i)
            count(transMsgEntries(&buffer.list)[i].message,
                  transMsgEntries(&buffer.list)[i].lParam);
    }
    // What the module generated on its own reached the window, sent or posted.
    MSG message;
    while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

void ImeDriver::tap(UINT key, wchar_t unit) {
    press(key, unit);
    release(key);
}

void ImeDriver::digits(const std::wstring& code) {
    // Whatever an earlier key left (a listed code, a pending selection) goes first.
    tap(VK_ESCAPE, L'\x1b');
    for (const wchar_t d : code)
        tap(VK_NUMPAD0 + (d - L'0'), d);
}

std::optional<std::wstring> ImeDriver::committedSince(std::size_t from) const {
    if (results_ == from)
        return std::nullopt;
    return resultString(context_);
}

std::optional<std::wstring> ImeDriver::typeCode(const std::wstring& code) {
    if (!failure_.empty())
        return std::nullopt;
    digits(code);
    const std::size_t before = results_;
    tap(VK_NUMPAD0, L'0');
    // A code that several words equal is still composed: the first keypad 0 listed them, the
    // second takes the first. A code without words is gone, and keypad 0 would type a space.
    if (results_ == before && composing_)
        tap(VK_NUMPAD0, L'0');
    return committedSince(before);
}

std::optional<std::wstring> ImeDriver::promote(const std::wstring& code, int slot) {
    if (!failure_.empty() || slot < 1 || slot > 9)
        return std::nullopt;
    digits(code);
    const std::size_t before = results_;
    keys_[VK_LCONTROL] = 0x80;
    press(VK_CONTROL, 0);
    tap(VK_NUMPAD0 + static_cast<UINT>(slot), static_cast<wchar_t>(L'0' + slot));
    keys_[VK_LCONTROL] = 0;
    release(VK_CONTROL);
    return committedSince(before);
}

bool ImeDriver::awaitTable(const std::wstring& code, const std::wstring& expected,
                           DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        if (typeCode(code) == expected)
            return true;
        if (GetTickCount64() >= deadline || !failure_.empty())
            return false;
        // Nothing to wait on but time: the load thread is the module's own.
        Sleep(20);
    }
}

} // namespace tovi::wintest
