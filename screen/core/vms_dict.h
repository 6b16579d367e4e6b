// The screen dictionary: the records of "dict.txt" in file order, one per line (empty lines
// included), and the lookup of a word's first record.
#pragma once

#include "dict_entry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tovi::screen {

// Bounds of a whole file: bytes beyond the first kMaxDictBytes and lines beyond kMaxRecords are
// not read.
inline constexpr std::size_t kMaxDictBytes = 64u << 20;
inline constexpr std::size_t kMaxRecords = 1u << 21;

struct DictLoadReport {
    std::size_t records = 0;
    std::size_t cutLines = 0; // lines longer than kMaxLineBytes, read up to the limit
    bool truncated = false;   // the file went beyond kMaxDictBytes or kMaxRecords
};

class TVmsDict {
public:
    // Replaces the records with those of `bytes`, the whole file.
    DictLoadReport load(std::string_view bytes);

    // The first record, in file order, whose word is `word` byte for byte; null when none.
    const DictEntry* lookup(std::string_view word) const;

    const std::vector<DictEntry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<DictEntry> entries_;
    // Word to the index of its first record.
    std::unordered_map<std::string, std::size_t> first_;
};

} // namespace tovi::screen
