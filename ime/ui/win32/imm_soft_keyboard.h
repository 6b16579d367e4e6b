// IMM32's soft-keyboard functions, which MinGW's <imm.h> does not declare.
#pragma once

#include <windows.h>

extern "C" {
HWND WINAPI ImmCreateSoftKeyboard(UINT, HWND, int, int);
BOOL WINAPI ImmShowSoftKeyboard(HWND, int);
BOOL WINAPI ImmDestroySoftKeyboard(HWND);
}

#ifndef IMC_SETSOFTKBDDATA
#define IMC_SETSOFTKBDDATA 0x0018
#endif
