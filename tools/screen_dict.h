// The companion's dictionary "dict.txt": one line per character of the five-stroke source and
// per frequent word, in code page 936 with CR LF line ends:
//
//   WORD KEYPAD-CODE 五笔：LETTERS　简码：SHORT、SHORT　拼音：READING、READING
//
// The key is the keypad digits of the word's longest (full) code; the description names that
// code's letters, the word's shorter codes and its pinyin readings, most frequent first.
#pragma once

#include "dict_source.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tovi::tools {

// Words of two or more characters are kept from this weight up (about 8,600 of the source's).
inline constexpr double kFrequentWordWeight = 10'000'000;
// Readings listed per word at most.
inline constexpr std::size_t kMaxReadings = 6;

struct ScreenDictCounts {
    std::size_t characters = 0;
    std::size_t words = 0;
    std::size_t notGbk = 0;   // left out: text code page 936 cannot hold
    std::size_t noPinyin = 0; // kept without a reading
};

// The lines, GBK-encoded, without line ends, in the order the words first occur in `wubi`.
std::vector<std::string> screenDictLines(const std::vector<DictEntry>& wubi,
                                         const std::vector<DictEntry>& pinyin,
                                         ScreenDictCounts& counts);

// The lines as a file: each followed by CR LF.
std::string screenDictFile(const std::vector<std::string>& lines);

} // namespace tovi::tools
