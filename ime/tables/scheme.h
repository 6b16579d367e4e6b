// The four input schemes of the settings. Only the keypad and pinyin schemes have an engine and
// a code table; the other two have names and file names but take no keys.
#pragma once

#include <cstdint>

namespace tovi {

enum class Scheme : std::uint8_t {
    A = 0,      // "霁川A"
    Keypad = 1, // "朔昕拼形": five-stroke shape codes on the numeric keypad
    Pinyin = 2, // "汉语拼音": pinyin on the letter keys
    D = 3,      // "霁川D"
};

// The scheme of a stored index; an index outside 0..3 keeps its two low bits, as the settings
// flags hold them.
constexpr Scheme schemeFromIndex(int index) {
    return static_cast<Scheme>(index & 3);
}
constexpr int schemeIndex(Scheme scheme) {
    return static_cast<int>(scheme);
}
// Whether the scheme has an engine and a code table.
constexpr bool hasEngine(Scheme scheme) {
    return scheme == Scheme::Keypad || scheme == Scheme::Pinyin;
}

} // namespace tovi
