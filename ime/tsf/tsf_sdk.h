// The Text Services Framework declarations the MinGW-w64 headers lack: the extended activation,
// the display attribute provider, the language bar button with its menu, and the category and
// item identifiers of the newer Windows versions. Laid out as the system's interfaces are.
#pragma once

#include <ctfutb.h>
#include <msctf.h>
#include <olectl.h>
#include <windows.h>

namespace tovi::tsf {

inline constexpr GUID kIidTextInputProcessorEx = {
    0x6e4e2102, 0xf9cd, 0x433d, {0xb4, 0x96, 0x30, 0x3c, 0xe0, 0x3a, 0x65, 0x07}};
inline constexpr GUID kIidDisplayAttributeProvider = {
    0xfee47777, 0x163c, 0x4769, {0x99, 0x6a, 0x6e, 0x9c, 0x50, 0xad, 0x8f, 0x54}};
inline constexpr GUID kIidLangBarItemButton = {
    0x28c7f1d0, 0xde25, 0x11d2, {0xaf, 0xdd, 0x00, 0x10, 0x5a, 0x27, 0x99, 0xb5}};
inline constexpr GUID kIidMenu = {
    0x6f8a98e4, 0xaaa0, 0x4f15, {0x8c, 0x5b, 0x07, 0xe0, 0xdf, 0x0a, 0x3d, 0xd8}};

inline constexpr GUID kCategoryUiElementEnabled = {
    0x49d2f9cf, 0x1f5e, 0x11d7, {0xa6, 0xd3, 0x00, 0x06, 0x5b, 0x84, 0x43, 0x5c}};
inline constexpr GUID kCategoryImmersiveSupport = {
    0x13a016df, 0x560b, 0x46cd, {0x94, 0x7a, 0x4c, 0x3a, 0xf1, 0xe0, 0xe3, 0x5d}};
inline constexpr GUID kCategorySystraySupport = {
    0x25504fb4, 0x7bab, 0x4bc1, {0x9c, 0x69, 0xcf, 0x81, 0x89, 0x0f, 0x0e, 0xf5}};
// The language bar's input-mode item: the button Windows 8 and later show in the tray.
inline constexpr GUID kLangBarInputModeItem = {
    0x2c77a81e, 0x41cc, 0x4178, {0xa3, 0xa7, 0x5f, 0x8a, 0x98, 0x75, 0x68, 0xe6}};

inline constexpr DWORD kLangBarStyleButton = 0x10000;  // TF_LBI_STYLE_BTN_BUTTON
inline constexpr DWORD kLangBarStyleShownInTray = 0x2; // TF_LBI_STYLE_SHOWNINTRAY
inline constexpr DWORD kLangBarUpdateIcon = 0x1;       // TF_LBI_ICON
inline constexpr DWORD kLangBarUpdateText = 0x2;       // TF_LBI_TEXT
inline constexpr DWORD kLangBarUpdateTooltip = 0x4;    // TF_LBI_TOOLTIP
inline constexpr DWORD kMenuItemChecked = 0x1;         // TF_LBMENUF_CHECKED
inline constexpr DWORD kMenuItemSeparator = 0x4;       // TF_LBMENUF_SEPARATOR

inline constexpr TfClientId kNoClient = 0;        // TF_CLIENTID_NULL
inline constexpr TfGuidAtom kInvalidGuidAtom = 0; // TF_INVALID_GUIDATOM

enum class LangBarClick : int { Right = 1, Left = 2 };

struct ITextInputProcessorEx : public ITfTextInputProcessor {
    virtual HRESULT STDMETHODCALLTYPE ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId,
                                                 DWORD flags) = 0;
};

struct IDisplayAttributeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE
    EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayAttributeInfo(REFGUID guid,
                                                              ITfDisplayAttributeInfo** out) = 0;
};

struct IMenu : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddMenuItem(UINT id, DWORD flags, HBITMAP bitmap,
                                                  HBITMAP mask, const WCHAR* text, ULONG length,
                                                  IMenu** submenu) = 0;
};

struct ILangBarItemButton : public ITfLangBarItem {
    virtual HRESULT STDMETHODCALLTYPE OnClick(LangBarClick click, POINT point,
                                              const RECT* area) = 0;
    virtual HRESULT STDMETHODCALLTYPE InitMenu(IMenu* menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnMenuSelect(UINT id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIcon(HICON* icon) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(BSTR* text) = 0;
};

} // namespace tovi::tsf
