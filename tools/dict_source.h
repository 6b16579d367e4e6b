// Reads an open dictionary in Rime's ".dict.yaml" form: a YAML header that ends with a line
// "...", then one entry a line, its columns separated by TABs (text, code, weight by default; the
// header's "columns:" list can name another order). Lines starting with "#" are comments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tovi::tools {

struct DictEntry {
    std::u16string text;
    std::string code; // as written in the file (pinyin syllables are separated by spaces)
    double weight = 0;
    std::size_t line = 0; // 1-based, for messages
};

// Lines of the body that gave no entry, by reason.
struct DictReadCounts {
    std::size_t entries = 0;
    std::size_t comments = 0;
    std::size_t blank = 0;
    std::size_t noCode = 0;    // text without a code (Rime would derive one)
    std::size_t badText = 0;   // empty text or bytes that are not UTF-8
    std::size_t badWeight = 0; // a weight that is not a number
};

struct DictSource {
    std::string error; // empty when the file could be read
    std::vector<DictEntry> entries;
    DictReadCounts counts;
    // The first lines that were left out for a fault (not comments or blanks), as
    // "line N: reason", so that a user can find them.
    std::vector<std::string> notes;

    bool ok() const { return error.empty(); }
};

// Largest source accepted.
inline constexpr std::size_t kMaxDictBytes = 256u << 20;

DictSource readRimeDict(std::string_view bytes);

// Strict UTF-8 to UTF-16; false on malformed input (overlong forms, surrogates, truncation).
bool utf8ToUtf16(std::string_view in, std::u16string& out);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view in);

} // namespace tovi::tools
