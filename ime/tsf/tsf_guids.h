// The identifiers of tovi's text service: its COM class, its language profile, the display
// attribute of the code being typed and its language bar item.
#pragma once

#include <guiddef.h>

namespace tovi::tsf {

inline constexpr GUID kTextServiceClsid = {
    0x5462eff2, 0x091d, 0x4035, {0xbf, 0x47, 0xff, 0xae, 0xbc, 0x6f, 0xb4, 0x69}};
inline constexpr GUID kProfileGuid = {
    0xa42955e1, 0x7f34, 0x4e30, {0xaa, 0x64, 0xcf, 0x55, 0xdc, 0x0e, 0x85, 0x4d}};
inline constexpr GUID kCodeDisplayAttributeGuid = {
    0x826f8780, 0xaa47, 0x49d3, {0x9a, 0x77, 0x0d, 0xaa, 0x08, 0x5d, 0x79, 0x35}};

// Simplified Chinese (PRC).
inline constexpr unsigned short kLanguageId = 0x0804;
inline constexpr wchar_t kProfileName[] = L"tovi 输入法";
inline constexpr wchar_t kClassDescription[] = L"tovi 输入法 text service";

} // namespace tovi::tsf
