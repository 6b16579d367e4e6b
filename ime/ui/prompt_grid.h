// The pinyin prompt grid: seven columns by five rows of short strings, each centred in its cell.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"
#include "ui/text_measure.h"

#include <span>
#include <string>
#include <vector>

namespace tovi {

inline constexpr int kPromptColumns = 7;
inline constexpr int kPromptRows = 5;
inline constexpr Rgb kPromptText{0, 0, 192};

struct Segment {
    Point from;
    Point to;
    bool operator==(const Segment&) const = default;
};

struct PromptGridCell {
    Rect cell;
    std::u16string text; // empty: the cell stays blank
    Point textOrigin;
};

struct PromptGridLayout {
    std::vector<PromptGridCell> cells; // 35, row by row
    std::vector<Segment> separators;   // in the default pen: four between rows, six between columns
};

// The grid for the prompt row `prompts` (its first 35 strings; missing ones are blank) in a
// client area of `client` size. A cell is four "啊" and 3 pixels wide, one "啊" and 3 high.
PromptGridLayout layoutPromptGrid(std::span<const std::u16string> prompts, Size client,
                                  const TextMeasure& measure);

} // namespace tovi
