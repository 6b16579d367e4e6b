// A colour as the painter hands it to GDI (RGB(red, green, blue)).
#pragma once

#include <cstdint>

namespace tovi {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The outline of the info and prompt windows and the default skin's border.
inline constexpr Rgb kOutlineColour{138, 255, 255};

} // namespace tovi
