// Reading "config.ini": a stream of whitespace-separated words taken two at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tovi {

// Longest word kept, as the 260-unit buffers of the file's readers allow; the rest of a longer
// word is skipped so that the pairing of the words that follow is unchanged.
inline constexpr std::size_t kMaxConfigWord = 259;

class ConfigWordReader {
public:
    explicit ConfigWordReader(std::FILE* file) : file_(file) {}
    // The next word, or nullopt at the end of the file.
    std::optional<std::string> next();

private:
    std::FILE* file_;
};

// The value of a word as a signed decimal: one optional sign, then digits up to the first
// non-digit; no leading digits gives 0. Only the first 19 bytes count, and a value beyond the
// 32-bit range is held at its nearest end.
std::int32_t configValue(std::string_view word);

} // namespace tovi
