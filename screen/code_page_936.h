// Conversion between UTF-16 and code page 936, the code page of "dict.txt", named explicitly so
// that the system's own ANSI code page never matters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovi::screen {

// GBK bytes as UTF-16; a byte sequence code page 936 does not define becomes U+FFFD or the
// system's substitute, never an error.
std::wstring gbkToWide(std::string_view gbk);

// UTF-16 text as GBK; none when a character has no GBK form.
std::optional<std::string> wideToGbk(std::wstring_view text);

} // namespace tovi::screen
