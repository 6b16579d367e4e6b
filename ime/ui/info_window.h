// Where the info window goes and what it draws.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"
#include "ui/info_message.h"
#include "ui/text_measure.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovi {

struct InfoWindowLayout {
    bool visible = false;       // off without operation hints or without a message
    Size size;                  // the window's size, at its current place
    Rgb background;             // fills the client area
    std::vector<Point> outline; // in kOutlineColour
    std::u16string text;        // in FontRole::Small
    Point textOrigin;
    Rgb textColour;
};

InfoWindowLayout layoutInfoWindow(const InfoMessage& message, std::uint32_t flags,
                                  const TextMeasure& measure);

// Where the window is made: just above the status window's recorded place.
Point infoCreatePosition(const WindowPlace& status);
// The size the info record holds once the window is made: 10 wide, one small line high.
Size infoRecordSize(const TextMeasure& measure);

// Where an update puts the window: 52 pixels below the candidate window's client origin, as
// large as the message, when there is no prompt window; with root hints on, the prompt window
// places it (nothing here).
std::optional<Rect> placeInfoOnUpdate(std::uint32_t flags, Point candidateOrigin,
                                      const InfoMessage& message, const TextMeasure& measure);

} // namespace tovi
