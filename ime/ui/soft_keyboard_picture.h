// The module's own soft-keyboard window, for systems that offer none: the current layout drawn
// as a keyboard of 47 keys, each with its key name, its shifted symbol above and its unshifted
// symbol below, under a title strip with the layout's name.
#pragma once

#include "tables/soft_keyboard_layouts.h"
#include "ui/colour.h"
#include "ui/geometry.h"

#include <array>
#include <cstddef>

namespace tovi {

// One key of the picture, in window coordinates.
struct SoftKeyCell {
    std::size_t key = 0; // the key's place in key order (softKeyIndex)
    char16_t name = 0;   // what the key cap says: "1", "Q", ";"
    Rect cap;            // the whole key
    Rect nameBox;        // the key name, top left
    Rect shiftedBox;     // the shifted symbol, top right
    Rect plainBox;       // the unshifted symbol, bottom
};

inline constexpr Size kSoftKeySize{32, 34};
// Four rows of 13, 13, 11 and 10 keys, set in from the left as on a real keyboard.
inline constexpr std::size_t kSoftKeyRows = 4;
inline constexpr std::int32_t kSoftKeyboardMargin = 4;
inline constexpr std::int32_t kSoftKeyboardTitleHeight = 18;
inline constexpr Size kSoftKeyboardSize{2 * kSoftKeyboardMargin + 16 + 13 * kSoftKeySize.width,
                                        2 * kSoftKeyboardMargin + kSoftKeyboardTitleHeight +
                                            static_cast<std::int32_t>(kSoftKeyRows) *
                                                kSoftKeySize.height};

// The 47 keys in row order (backquote, digits, minus, equals; Q … backslash; A … quote;
// Z … slash), every key once.
const std::array<SoftKeyCell, kSoftKeyCount>& softKeyCells();

// The strip with the layout's name.
Rect softKeyboardTitle();

// Colours of the picture.
inline constexpr Rgb kSoftKeyboardBackground{212, 208, 200};
inline constexpr Rgb kSoftKeyFace{250, 250, 250};
inline constexpr Rgb kSoftKeyEdge{128, 128, 128};
inline constexpr Rgb kSoftKeyNameColour{128, 128, 128};
inline constexpr Rgb kSoftKeySymbolColour{0, 0, 128};
inline constexpr Rgb kSoftKeyboardTitleColour{0, 0, 0};

// The top left corner of a soft keyboard of `size` at the bottom right of the work area.
Point softKeyboardPlace(Size size, const Rect& workArea);

} // namespace tovi
