// Code-table files put together byte by byte, independently of the writer, so that tests can
// also make every kind of broken file.
#pragma once

#include <cstdint>
#include <string>

namespace tovi::test {

inline std::string le32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
            static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
}

// A length byte and the bytes.
inline std::string field(const std::string& bytes) {
    return static_cast<char>(static_cast<unsigned char>(bytes.size())) + bytes;
}

inline std::string entry(const std::string& code, const std::string& text) {
    return field(code) + field(text);
}

} // namespace tovi::test
