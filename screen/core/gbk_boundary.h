// Cutting GBK text without splitting a two-byte character.
#pragma once

#include <cstddef>
#include <string_view>

namespace tovi::screen {

// The length of the longest prefix of `gbk` that is at most `limit` bytes and ends on a
// character boundary (a lead byte 0x81-0xFE takes the byte after it along).
std::size_t gbkPrefixLength(std::string_view gbk, std::size_t limit);

} // namespace tovi::screen
