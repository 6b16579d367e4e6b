// Turns the entries of an open dictionary into a code table (".mb") for one scheme.
//
// Keypad scheme (five-stroke 86 on the numeric keypad): each letter of a code becomes the two
// digits of its zone and position (g=11 f=12 d=13 s=14 a=15, h=21 … m=25, t=31 … q=35,
// y=41 … p=45, n=51 … x=55); codes with any other letter (z is Rime's wildcard) are left out.
// Pinyin scheme: the syllables of a code are joined without spaces; only a–z are keys.
//
// Order of the entries inside a bucket, which is the order the candidates are shown in:
//  1. Entries with the same code stand together, heavier (more frequent) first; equal weights
//     keep the order of the source.
//  2. A code never comes after a longer code that begins with it. So whatever the user has
//     typed, the entries whose whole code is the typed code (the exact matches) come before all
//     continuations, and a search that stops at the first longer code has seen every exact
//     match.
//  3. Within that rule, codes go by frequency: a code's rank is the weight of its heaviest entry,
//     capped by the rank of the longest shorter code that is its prefix. Higher ranks first;
//     at equal rank the shorter code first, then byte order. The cap is what makes rule 2 hold;
//     among the continuations of any typed code the frequent ones still come first (a frequent
//     word can't outrank the code it continues, so it ties with it and comes right after).
#pragma once

#include "dict_source.h"
#include "tables/code_table_file.h"

#include "tables/scheme.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovi::tools {

using tovi::Scheme; // the keypad and pinyin schemes are the ones with tables

constexpr CodeTableLayout layoutOf(Scheme scheme) {
    return scheme == Scheme::Keypad ? CodeTableLayout::Digits : CodeTableLayout::Letters;
}

// The zone–position digits of a five-stroke letter ("11" for g), or none (z, anything else).
std::optional<std::string_view> keypadDigits(char letter);
// A five-stroke letter code as keypad digits; none when a letter is not one of the 25.
std::optional<std::string> keypadCode(std::string_view letters);
// A pinyin code with its syllables joined; none when it holds anything but a–z and spaces.
std::optional<std::string> pinyinCode(std::string_view syllables);

// What happened to the entries of the source.
struct BuildCounts {
    std::size_t read = 0;
    std::size_t outsideKeys = 0; // a key the layout does not have (z in five-stroke)
    std::size_t notGbk = 0;      // text that code page 936 cannot hold
    std::size_t tooLong = 0;     // code or text above 127 bytes
    std::size_t duplicates = 0;  // the same code and text again; the heavier weight is kept
    std::size_t tableFull = 0;   // beyond what a table can index
    std::size_t kept = 0;

    std::size_t skipped() const { return outsideKeys + notGbk + tooLong + duplicates + tableFull; }
};

struct BuiltTable {
    CodeTableData table;
    BuildCounts counts;
};

BuiltTable buildCodeTable(const std::vector<DictEntry>& entries, Scheme scheme);

} // namespace tovi::tools
