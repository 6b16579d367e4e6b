// The functions IMM32 calls. Until the input engine and the windows exist they answer with the
// values that tell IMM32 the module does nothing.
#include "imm_ddk.h"

extern "C" {

BOOL WINAPI ImeInquire(LPIMEINFO, LPWSTR, DWORD) {
    return FALSE;
}
BOOL WINAPI ImeConfigure(HKL, HWND, DWORD, LPVOID) {
    return FALSE;
}
DWORD WINAPI ImeConversionList(HIMC, LPCWSTR, LPCANDIDATELIST, DWORD, UINT) {
    return 0;
}
BOOL WINAPI ImeDestroy(UINT reserved) {
    return reserved == 0;
}
UINT WINAPI ImeEnumRegisterWord(REGISTERWORDENUMPROCW, LPCWSTR, DWORD, LPCWSTR, LPVOID) {
    return 0;
}
LRESULT WINAPI ImeEscape(HIMC, UINT, LPVOID) {
    return 0;
}
UINT WINAPI ImeGetRegisterWordStyle(UINT, LPSTYLEBUFW) {
    return 0;
}
BOOL WINAPI ImeProcessKey(HIMC, UINT, LPARAM, CONST LPBYTE) {
    return FALSE;
}
BOOL WINAPI ImeRegisterWord(LPCWSTR, DWORD, LPCWSTR) {
    return FALSE;
}
BOOL WINAPI ImeSelect(HIMC, BOOL) {
    return TRUE;
}
BOOL WINAPI ImeSetActiveContext(HIMC, BOOL) {
    return TRUE;
}
BOOL WINAPI ImeSetCompositionString(HIMC, DWORD, LPCVOID, DWORD, LPCVOID, DWORD) {
    return FALSE;
}
UINT WINAPI ImeToAsciiEx(UINT, UINT, CONST LPBYTE, LPTRANSMSGLIST, UINT, HIMC) {
    return 0;
}
BOOL WINAPI ImeUnregisterWord(LPCWSTR, DWORD, LPCWSTR) {
    return FALSE;
}
BOOL WINAPI NotifyIME(HIMC, DWORD, DWORD, DWORD) {
    return FALSE;
}
LRESULT WINAPI UIWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
LRESULT WINAPI CandWndProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
LRESULT WINAPI CompWndProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
LRESULT WINAPI StatusWndProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

} // extern "C"
