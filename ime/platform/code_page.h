// Conversion between UTF-16 and the Chinese ANSI code page 936 (GBK), in which the module's data
// files are written whatever the system's own ANSI code page is.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovi::platform {

// Decodes GBK bytes into `out`. Returns the number of UTF-16 units written, or nullopt when the
// bytes hold a sequence code page 936 does not define or the result does not fit `out`.
std::optional<std::size_t> gbkToUtf16(std::string_view gbk, std::span<char16_t> out);

// Encodes UTF-16 text as GBK into `out`. Returns the number of bytes written, or nullopt when a
// character has no GBK form or the result does not fit `out`.
std::optional<std::size_t> utf16ToGbk(std::u16string_view text, std::span<char> out);

// Unbounded forms for callers that own their strings.
std::optional<std::u16string> gbkToUtf16(std::string_view gbk);
std::optional<std::string> utf16ToGbk(std::u16string_view text);

} // namespace tovi::platform
