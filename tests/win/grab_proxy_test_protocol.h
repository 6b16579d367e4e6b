// How the Wine tests talk to the stand-in capture component that runs inside PVemoraScreen.exe:
// the component shows a hidden window of class kGrabProxyControlClass once the program has
// handed it the sink, and answers these messages on the program's own thread.
#pragma once

#include <windows.h>

namespace tovi::wintest {

inline constexpr wchar_t kGrabProxyControlClass[] = L"ToviGrabProxyTestControl";
// {6A1F3C52-9B7E-4D21-8C4A-0E5D7B2F9A13}
inline constexpr wchar_t kGrabProxyClsid[] = L"{6A1F3C52-9B7E-4D21-8C4A-0E5D7B2F9A13}";

// Replies with the value last written to the property (or -1 when none was).
inline constexpr UINT kAskGrabEnabled = WM_APP + 1;
inline constexpr UINT kAskGrabInterval = WM_APP + 2;
inline constexpr UINT kAskGrabMode = WM_APP + 3;

// WM_COPYDATA with dwData kQueryWordRequest and this block: the component calls the sink's
// QueryWord by name through IDispatch and replies with its HRESULT.
inline constexpr ULONG_PTR kQueryWordRequest = 1;
struct QueryWordCall {
    LONG x;
    LONG y;
    LONG cursorIndex;
    LONG nullText; // non-zero: pass no text at all
    wchar_t text[64];
};

} // namespace tovi::wintest
