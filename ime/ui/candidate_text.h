// What the candidate window writes for one candidate: its label and its (possibly shortened)
// text.
#pragma once

#include <string>
#include <string_view>

namespace tovi {

// Longer candidates are cut to their first 11 units and "…", so that a page of long words still
// fits the window.
inline constexpr std::size_t kLongestShownWhole = 13;
inline constexpr std::size_t kShortenedTo = 11;

std::u16string displayedCandidate(std::u16string_view text);

// "1." for slot 0 up to "9." for slot 8: the digit that selects the candidate; empty for a
// negative slot.
std::u16string candidateLabel(int slot);

} // namespace tovi
