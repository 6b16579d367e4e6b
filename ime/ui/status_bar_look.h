// What the status bar paints: each button in one of its two looks from the 120 × 40 status
// bitmap, the scheme letter over the scheme button, and the raised or sunken edge of the hot cell.
#pragma once

#include "tables/scheme.h"
#include "ui/colour.h"
#include "ui/geometry.h"
#include "ui/status_bar_layout.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tovi {

// The state the buttons show.
struct StatusDisplay {
    bool englishMode = false;
    std::uint32_t settingsFlags = 0; // ImeSettings::flags
    bool softKeyboardShown = false;
    Scheme scheme = Scheme::Keypad;
};

// One button: the client area it covers and the top left of its picture in the bitmap (the
// button's column; row 0 at y 0, row 1 at y 20).
struct StatusCellBlit {
    Rect target;
    Point source;
};

struct StatusEdgeLine {
    Point from;
    Point to;
    Rgb colour;
    bool operator==(const StatusEdgeLine&) const = default;
};

inline constexpr Rgb kStatusLetterColour{0, 0, 128};
inline constexpr Point kStatusLetterOrigin{23, 3};

struct StatusBarLook {
    std::array<StatusCellBlit, kStatusCellCount> cells;
    std::u16string_view schemeLetter; // bold "宋体" of height 14, transparent background
    Point letterOrigin = kStatusLetterOrigin;
    Rgb letterColour = kStatusLetterColour;
    std::vector<StatusEdgeLine> edge; // the hot cell's edge; none without a hot cell
};

// The bitmap row (0 or 1) a button shows.
int statusCellRow(StatusCell cell, const StatusDisplay& display);
// The letter of a scheme on the scheme button.
std::u16string_view statusSchemeLetter(Scheme scheme);
// The hot cell's edge: sunken (grey top and left, white bottom and right) while pressed, raised
// (the other way round) otherwise; nothing for None or a value outside the six cells.
std::vector<StatusEdgeLine> statusCellEdge(StatusCell hot, bool pressed);

StatusBarLook statusBarLook(const StatusDisplay& display, StatusCell hot, bool pressed);

} // namespace tovi
