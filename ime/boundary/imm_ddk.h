// The parts of the input-method DDK that an IMM32 module needs and MinGW's <imm.h> lacks: the
// structures IMM32 shares with the module and the functions it exports to modules. Layouts follow
// the platform ABI of each architecture and are checked below.
#pragma once

#include <cstddef>
#include <windows.h>

#include <imm.h> // needs <windows.h> first

#include "ui/win32/imm_soft_keyboard.h"

extern "C" {

struct IMEINFO {
    DWORD dwPrivateDataSize;
    DWORD fdwProperty;
    DWORD fdwConversionCaps;
    DWORD fdwSentenceCaps;
    DWORD fdwUICaps;
    DWORD fdwSCSCaps;
    DWORD fdwSelectCaps;
};
using LPIMEINFO = IMEINFO*;

struct TRANSMSG {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
using LPTRANSMSG = TRANSMSG*;

struct TRANSMSGLIST {
    UINT uMsgCount;
    TRANSMSG TransMsg[1]; // uMsgCount entries in fact: use transMsgEntries
};
using LPTRANSMSGLIST = TRANSMSGLIST*;

struct INPUTCONTEXT {
    HWND hWnd;
    BOOL fOpen;
    POINT ptStatusWndPos;
    POINT ptSoftKbdPos;
    DWORD fdwConversion;
    DWORD fdwSentence;
    union {
        LOGFONTA A;
        LOGFONTW W;
    } lfFont;
    COMPOSITIONFORM cfCompForm;
    CANDIDATEFORM cfCandForm[4];
    HIMCC hCompStr;
    HIMCC hCandInfo;
    HIMCC hGuideLine;
    HIMCC hPrivate;
    DWORD dwNumMsgBuf;
    HIMCC hMsgBuf;
    DWORD fdwInit;
    DWORD dwReserve[3];
};
using LPINPUTCONTEXT = INPUTCONTEXT*;

struct COMPOSITIONSTRING {
    DWORD dwSize;
    DWORD dwCompReadAttrLen;
    DWORD dwCompReadAttrOffset;
    DWORD dwCompReadClauseLen;
    DWORD dwCompReadClauseOffset;
    DWORD dwCompReadStrLen;
    DWORD dwCompReadStrOffset;
    DWORD dwCompAttrLen;
    DWORD dwCompAttrOffset;
    DWORD dwCompClauseLen;
    DWORD dwCompClauseOffset;
    DWORD dwCompStrLen;
    DWORD dwCompStrOffset;
    DWORD dwCursorPos;
    DWORD dwDeltaStart;
    DWORD dwResultReadClauseLen;
    DWORD dwResultReadClauseOffset;
    DWORD dwResultReadStrLen;
    DWORD dwResultReadStrOffset;
    DWORD dwResultClauseLen;
    DWORD dwResultClauseOffset;
    DWORD dwResultStrLen;
    DWORD dwResultStrOffset;
    DWORD dwPrivateSize;
    DWORD dwPrivateOffset;
};
using LPCOMPOSITIONSTRING = COMPOSITIONSTRING*;

LPINPUTCONTEXT WINAPI ImmLockIMC(HIMC);
BOOL WINAPI ImmUnlockIMC(HIMC);
LPVOID WINAPI ImmLockIMCC(HIMCC);
BOOL WINAPI ImmUnlockIMCC(HIMCC);
HIMCC WINAPI ImmReSizeIMCC(HIMCC, DWORD);
DWORD WINAPI ImmGetIMCCSize(HIMCC);
BOOL WINAPI ImmGenerateMessage(HIMC);

} // extern "C"

// The entries of a message list. The structure declares one, but the list holds uMsgCount;
// indexing the declared array past its first entry would be undefined, and optimisers act on it.
inline TRANSMSG* transMsgEntries(TRANSMSGLIST* list) {
    return reinterpret_cast<TRANSMSG*>(reinterpret_cast<BYTE*>(list) +
                                       offsetof(TRANSMSGLIST, TransMsg));
}

// Window extra bytes of the UI window: the context and the private block handles.
#ifndef IMMGWL_IMC
#define IMMGWL_IMC 0
#define IMMGWL_PRIVATE sizeof(LONG_PTR)
#endif

#ifndef NI_CONTEXTUPDATED
#define NI_CONTEXTUPDATED 0x0003
#endif
#ifndef IMC_SETOPENSTATUS
#define IMC_SETOPENSTATUS 0x0006
#endif
#ifndef IME_PROP_KBD_CHAR_FIRST
#define IME_PROP_KBD_CHAR_FIRST 0x00000002
#endif
#ifndef UI_CAP_SOFTKBD
#define UI_CAP_SOFTKBD 0x00010000
#endif
#ifndef IME_SYSINFO_WINLOGON
#define IME_SYSINFO_WINLOGON 0x0002
#endif

static_assert(sizeof(COMPOSITIONSTRING) == 100);
static_assert(sizeof(IMEINFO) == 28);
#ifdef _WIN64
static_assert(sizeof(TRANSMSG) == 24);
static_assert(offsetof(TRANSMSGLIST, TransMsg) == 8);
static_assert(offsetof(INPUTCONTEXT, hCompStr) == 0x120);
static_assert(offsetof(INPUTCONTEXT, hMsgBuf) == 0x148);
static_assert(sizeof(INPUTCONTEXT) == 0x160);
#else
static_assert(sizeof(TRANSMSG) == 12);
static_assert(offsetof(TRANSMSGLIST, TransMsg) == 4);
static_assert(offsetof(INPUTCONTEXT, hCompStr) == 0x118);
static_assert(offsetof(INPUTCONTEXT, hMsgBuf) == 0x12C);
static_assert(sizeof(INPUTCONTEXT) == 0x140);
#endif
