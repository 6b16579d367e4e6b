// The colours of the candidate window's five skins.
#pragma once

#include "ui/colour.h"

#include <cstdint>

namespace tovi {

struct SkinColours {
    Rgb border;
    Rgb textA; // the code line while a Space or digit is waiting to select
    Rgb textB; // the code line otherwise
    bool operator==(const SkinColours&) const = default;
};

inline constexpr std::int32_t kSkinCount = 5;

// The colours of skin 0 to 4; any other index (a hand-edited "config.ini") gets skin 0's.
SkinColours skinColours(std::int32_t skin);

// The code line's colour: text colour A when Space selects and a selection is pending.
Rgb codeLineColour(const SkinColours& colours, bool spaceSelects, bool selectionPending);

} // namespace tovi
