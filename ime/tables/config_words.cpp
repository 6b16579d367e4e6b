#include "config_words.h"

#include <algorithm>
#include <limits>

namespace tovi {
namespace {
bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
} // namespace

std::optional<std::string> ConfigWordReader::next() {
    int c = std::getc(file_);
    while (c != EOF && isSpace(c))
        c = std::getc(file_);
    if (c == EOF)
        return std::nullopt;
    std::string word;
    // GBK trail bytes are never white space, so splitting the raw bytes splits whole characters.
    for (; c != EOF && !isSpace(c); c = std::getc(file_))
        if (word.size() < kMaxConfigWord)
            word += static_cast<char>(c);
    return word;
}

std::int32_t configValue(std::string_view word) {
    word = word.substr(0, 19);
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-'))
        negative = word[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i)
        value = std::min(value * 10 + (word[i] - '0'), kLimit);
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min(value, kLimit - 1));
}

} // namespace tovi
