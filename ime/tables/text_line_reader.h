// Reading the module's UTF-16LE text files line by line. Files start with a two-byte mark that
// is skipped whatever it holds; only the pair CR LF ends a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tovi {

// Reads the next line (without its CR LF) into `line`. Returns false, reading nothing, once the
// end of the file has been reached. A line longer than `maxUnits` is cut to its first
// `maxUnits` units; the rest of it is skipped.
bool readLine(std::FILE* file, std::u16string& line, std::size_t maxUnits);

// Splits a line at runs of tabs and spaces.
bool isSeparator(char16_t unit);

// The number a text spells, read as the module reads numbers from ANSI text: one sign, then
// digits up to the first non-digit; none gives 0.
std::int32_t numberOf(std::u16string_view text);

} // namespace tovi
