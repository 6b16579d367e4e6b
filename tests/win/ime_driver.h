// The real tovi.ime loaded into this process and driven as IMM32 drives it: ImeProcessKey for
// every press and release, ImeToAsciiEx for the claimed ones, on a context of its own whose
// window receives what the module generates outside ImeToAsciiEx (a Ctrl selection commits from
// ImeProcessKey).
#pragma once

#include "boundary/imm_ddk.h"

#include <optional>
#include <string>

namespace tovi::wintest {

class ImeDriver {
public:
    // Loads tovi.ime from the program's folder and selects a new context; see failure().
    ImeDriver();
    ~ImeDriver();
    ImeDriver(const ImeDriver&) = delete;
    ImeDriver& operator=(const ImeDriver&) = delete;

    // Empty when the module is loaded and selected, else what went wrong.
    const std::wstring& failure() const { return failure_; }

    // Types the keypad digits of `code`, then keypad 0 (again when the first only listed the
    // candidates equal to the code). The committed word, or none.
    std::optional<std::wstring> typeCode(const std::wstring& code);
    // Types the digits of `code`, then Ctrl with keypad `slot` (1 to 9): selects that candidate
    // and moves it to the front of the code. The committed word, or none.
    std::optional<std::wstring> promote(const std::wstring& code, int slot);
    // The table loads in the background and nothing outside the module tells when it is there:
    // types `code` until it commits `expected`, for at most `milliseconds`.
    bool awaitTable(const std::wstring& code, const std::wstring& expected, DWORD milliseconds);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void key(UINT key, bool down, wchar_t unit);
    void count(UINT message, LPARAM lParam);
    void press(UINT key, wchar_t unit) { this->key(key, true, unit); }
    void release(UINT key) { this->key(key, false, 0); }
    void tap(UINT key, wchar_t unit);
    void digits(const std::wstring& code);
    // The word of the last result message since `from`, if there was one.
    std::optional<std::wstring> committedSince(std::size_t from) const;

    std::wstring failure_;
    HWND window_ = nullptr;
    HMODULE module_ = nullptr;
    HIMC context_ = nullptr;
    using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
    using ImeProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, CONST LPBYTE);
    using ImeToAsciiExFn = UINT(WINAPI*)(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC);
    ImeSelectFn select_ = nullptr;
    ImeProcessKeyFn processKey_ = nullptr;
    ImeToAsciiExFn toAscii_ = nullptr;
    BYTE keys_[256] = {};
    std::size_t results_ = 0; // result messages seen so far
    bool composing_ = false;  // between the start and the end of a composition
};

} // namespace tovi::wintest
