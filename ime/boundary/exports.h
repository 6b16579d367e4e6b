// The functions IMM32 calls, exported by name from tovi.ime.
#pragma once

#include "imm_ddk.h"

extern "C" {
BOOL WINAPI ImeInquire(LPIMEINFO info, LPWSTR uiClass, DWORD systemInfo);
BOOL WINAPI ImeConfigure(HKL layout, HWND owner, DWORD mode, LPVOID data);
DWORD WINAPI ImeConversionList(HIMC, LPCWSTR, LPCANDIDATELIST, DWORD, UINT);
BOOL WINAPI ImeDestroy(UINT reserved);
UINT WINAPI ImeEnumRegisterWord(REGISTERWORDENUMPROCW, LPCWSTR, DWORD, LPCWSTR, LPVOID);
LRESULT WINAPI ImeEscape(HIMC, UINT, LPVOID);
UINT WINAPI ImeGetRegisterWordStyle(UINT, LPSTYLEBUFW);
BOOL WINAPI ImeProcessKey(HIMC context, UINT virtualKey, LPARAM keyData, CONST LPBYTE keyState);
BOOL WINAPI ImeRegisterWord(LPCWSTR, DWORD, LPCWSTR);
BOOL WINAPI ImeSelect(HIMC context, BOOL select);
BOOL WINAPI ImeSetActiveContext(HIMC context, BOOL active);
BOOL WINAPI ImeSetCompositionString(HIMC, DWORD, LPCVOID, DWORD, LPCVOID, DWORD);
UINT WINAPI ImeToAsciiEx(UINT virtualKey, UINT scanCode, CONST LPBYTE keyState, LPTRANSMSGLIST list,
                         UINT state, HIMC context);
BOOL WINAPI ImeUnregisterWord(LPCWSTR, DWORD, LPCWSTR);
BOOL WINAPI NotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);
LRESULT WINAPI UIWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI CandWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI CompWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI StatusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
}

namespace tovi {
LRESULT candidateWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT statusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
} // namespace tovi
