#include "ui/skin_colours.h"

#include <array>

namespace tovi {
namespace {

// Per skin: border, then the text colour pair.
constexpr std::array<SkinColours, kSkinCount> kSkinTextColors{{
    {{138, 255, 255}, {138, 255, 255}, {255, 255, 255}},
    {{125, 192, 237}, {200, 200, 200}, {255, 255, 255}},
    {{250, 119, 209}, {0, 0, 0}, {94, 0, 45}},
    {{167, 188, 14}, {0, 0, 222}, {0, 0, 0}},
    {{97, 198, 239}, {0, 0, 222}, {0, 0, 0}},
}};

} // namespace

SkinColours skinColours(std::int32_t skin) {
    if (skin < 0 || skin >= kSkinCount)
        skin = 0;
    return kSkinTextColors[static_cast<std::size_t>(skin)];
}

Rgb codeLineColour(const SkinColours& colours, bool spaceSelects, bool selectionPending) {
    return spaceSelects && selectionPending ? colours.textA : colours.textB;
}

} // namespace tovi
