// The prompt window's content, size and visibility: a chart for the keypad scheme, a grid of
// pinyin prompts for the pinyin scheme.
#pragma once

#include "tables/scheme.h"
#include "ui/colour.h"
#include "ui/geometry.h"
#include "ui/text_measure.h"

#include <cstddef>
#include <cstdint>

namespace tovi {

inline constexpr Rgb kPromptBackground{245, 245, 245};

// A chart picture: a module bitmap resource and its size.
struct PromptChart {
    int resource = 0;
    Size size;
    bool operator==(const PromptChart&) const = default;
};

// The first-level short codes and the stroke groups, for a one-digit code.
inline constexpr PromptChart kOneCharacterChart{128, {160, 85}};
// The roots of every key, for longer codes.
inline constexpr PromptChart kKeyboardChart{129, {500, 188}};
// Where a chart goes in the client area; its white pixels stay transparent.
inline constexpr Point kChartOrigin{6, 6};
inline constexpr Rgb kChartTransparent{255, 255, 255};

enum class PromptContent { None, Chart, Grid };

// What the prompt window depends on, gathered from the engine and the settings.
struct PromptView {
    Scheme scheme = Scheme::Keypad;
    std::size_t codeLength = 0; // of the input string
    std::uint32_t flags = 0;    // settings flags
    bool spaceSelects = false;
    bool promptEnabled = true; // the engine may switch the prompt off
    int totalCount = 0;        // candidates in the list
};

// Scheme 1 draws a chart, scheme 2 the grid, the others nothing.
PromptContent promptContent(Scheme scheme);
// The chart of scheme 1: the one-character chart for exactly one character of input.
PromptChart promptChart(std::size_t codeLength);

// Scheme 1: the chart with a margin (172 × 91 or 512 × 194); schemes 0 and 2: room for seven
// columns of four "啊" and five lines; scheme 3: 27 "啊" by two lines.
Size promptWindowSize(Scheme scheme, std::size_t codeLength, const TextMeasure& measure);

// Shown with root hints on, the prompt enabled and candidates in the list; the pinyin grid
// gives way while Space selects.
bool promptShown(const PromptView& view);

} // namespace tovi
