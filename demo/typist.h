// Types into the real tovi.ime as IMM32 drives it: ImeProcessKey for presses and releases,
// ImeToAsciiEx for the claimed presses, with key-state arrays as the system fills them.
#pragma once

#include "boundary/imm_ddk.h"

#include <cstring>
#include <string>
#include <windows.h>

namespace tovi::demo {

using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImeProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, CONST LPBYTE);
using ImeToAsciiExFn = UINT(WINAPI*)(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC);

class Typist {
public:
    Typist(HMODULE module, HIMC context)
        : select_(reinterpret_cast<ImeSelectFn>(
              reinterpret_cast<void*>(GetProcAddress(module, "ImeSelect")))),
          processKey_(reinterpret_cast<ImeProcessKeyFn>(
              reinterpret_cast<void*>(GetProcAddress(module, "ImeProcessKey")))),
          toAscii_(reinterpret_cast<ImeToAsciiExFn>(
              reinterpret_cast<void*>(GetProcAddress(module, "ImeToAsciiEx")))),
          context_(context) {
        std::memset(keys_, 0, sizeof(keys_));
    }
    bool ready() const { return select_ && processKey_ && toAscii_ && context_; }
    void selectContext() { select_(context_, TRUE); }

    // One key, pressed and released; returns the text it committed, if any.
    std::wstring tap(UINT key, wchar_t unit, bool extended = false) {
        bool committed = false;
        keys_[key] |= 0x80;
        sync();
        const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        const LPARAM down = 1 | (scan << 16) | (extended ? 1u << 24 : 0);
        if (processKey_(context_, key, down, keys_)) {
            struct {
                TRANSMSGLIST list;
                TRANSMSG more[31];
            } buffer{};
            buffer.list.uMsgCount = 32;
            const UINT count = toAscii_(key | (static_cast<UINT>(unit) << 16), scan, keys_,
                                        &buffer.list, 0, context_);
            for (UINT i = 0; i < count && i < 32; ++i)
                committed =
                    committed || (transMsgEntries(&buffer.list)[i].message == WM_IME_COMPOSITION &&
                                  (transMsgEntries(&buffer.list)[i].lParam & GCS_RESULTSTR));
        }
        keys_[key] &= 0x7F;
        sync();
        processKey_(context_, key,
                    static_cast<LPARAM>(0xC0000001u | (scan << 16) | (extended ? 1u << 24 : 0)),
                    keys_);
        return committed ? result() : std::wstring();
    }
    void modifier(UINT side, bool down) {
        keys_[side] = down ? 0x80 : 0;
        sync();
    }

    // The context's result string.
    std::wstring result() const {
        wchar_t text[256] = {};
        const LONG bytes = ImmGetCompositionStringW(context_, GCS_RESULTSTR, text, sizeof(text));
        return bytes > 0 ? std::wstring(text, bytes / sizeof(wchar_t)) : std::wstring();
    }

private:
    void sync() {
        keys_[VK_SHIFT] = (keys_[VK_LSHIFT] | keys_[VK_RSHIFT]) & 0x80;
        keys_[VK_CONTROL] = (keys_[VK_LCONTROL] | keys_[VK_RCONTROL]) & 0x80;
        SetKeyboardState(keys_);
    }
    ImeSelectFn select_;
    ImeProcessKeyFn processKey_;
    ImeToAsciiExFn toAscii_;
    HIMC context_;
    BYTE keys_[256];
};

} // namespace tovi::demo
