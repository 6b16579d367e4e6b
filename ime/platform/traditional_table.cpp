#include "char_conversions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tovi {
namespace {

using Pair = std::pair<char16_t, char16_t>;

constexpr Pair kRawPairs[] = {
#include "traditional_pairs.inc"
};

constexpr auto kPairs = [] {
    std::array<Pair, std::size(kRawPairs)> sorted{};
    std::copy(std::begin(kRawPairs), std::end(kRawPairs), sorted.begin());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}();

} // namespace

char16_t traditionalOf(char16_t c) {
    const auto it = std::lower_bound(kPairs.begin(), kPairs.end(), Pair{c, 0});
    return it != kPairs.end() && it->first == c ? it->second : c;
}

} // namespace tovi
