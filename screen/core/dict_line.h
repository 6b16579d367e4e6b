// How one line of "dict.txt" becomes a record: split at the first and second space (0x20), each
// part trimmed of leading and trailing bytes of code 32 or less, and each part bounded.
//
//   "word key description with spaces"  -> word, key, the rest after the second space
//   "word key"                           -> word only: a key is taken only when a second space
//                                           follows it
//   "word"                               -> an empty record (no space, no word)
//
// Every line, empty ones included, still adds a record, so the file's order is kept. Spaces
// never occur inside a GBK character (trail bytes are 0x40 or above), so splitting and trimming
// work on the bytes.
#pragma once

#include "dict_entry.h"

#include <cstddef>
#include <string_view>

namespace tovi::screen {

// Bounds of one record; longer text is cut at a character boundary.
inline constexpr std::size_t kMaxLineBytes = 4096;
inline constexpr std::size_t kMaxWordBytes = 256;
inline constexpr std::size_t kMaxKeyBytes = 256;
inline constexpr std::size_t kMaxDescriptionBytes = 2048;

// Removes leading and trailing bytes whose code is 32 or less.
std::string_view trimControls(std::string_view text);

// The record of one line (without its line end; a trailing CR is trimmed anyway).
DictEntry splitDictLine(std::string_view line);

} // namespace tovi::screen
