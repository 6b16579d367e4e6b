// Character conversions used when text is produced: full-width forms of typed ASCII characters,
// and traditional forms of simplified Chinese text.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tovi {

// Quotes alternate between opening and closing forms for the life of the process.
struct QuoteState {
    bool singleOpens = true;
    bool doubleOpens = true;
};

// The full-width (or Chinese punctuation) form of an ASCII character, or 0 when it has none.
// Quotes consult and flip `quotes`.
char16_t toFullWidth(char16_t c, QuoteState& quotes);

// Writes the traditional form of `source` into `destination`, terminated, and returns its length.
// The result has the source's length; `destination` should hold one unit more. A smaller
// destination receives as much as fits, still terminated; an empty one receives nothing.
std::size_t toTraditional(std::u16string_view source, std::span<char16_t> destination);

// The one-to-one traditional form of one character, from the built-in table; the character itself
// when the table has none.
char16_t traditionalOf(char16_t c);

} // namespace tovi
