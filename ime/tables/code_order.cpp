#include "tables/code_order.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tovi {
namespace {

// The code after its bucket key.
std::u16string_view tail(std::u16string_view code) {
    return code.size() > 1 ? code.substr(1) : std::u16string_view{};
}

// A sort key that decides most comparisons without reading the pools: positions 1 to 8 of a
// code, eight bits each, first position highest. 0 stands past the end and a unit below 255 for
// itself plus one, so the keys order as the codes do. A larger unit packs as 255 and ends the
// key; such a code, or one longer than nine units, is `whole == false` and is compared in full
// when keys are equal.
struct SortItem {
    std::uint64_t key = 0;
    std::uint32_t index = 0;
    bool empty = false;
    bool whole = true;
};

SortItem sortItem(std::u16string_view code, std::uint32_t index) {
    SortItem item;
    item.index = index;
    item.empty = code.empty();
    const std::u16string_view rest = tail(code);
    std::size_t p = 0;
    for (; p < 8 && p < rest.size(); ++p) {
        const char16_t c = rest[p];
        const std::uint64_t packed = c < 255 ? c + 1u : 255u;
        item.key |= packed << (56 - 8 * p);
        if (c >= 255) {
            item.whole = false;
            return item;
        }
    }
    item.whole = p == rest.size();
    return item;
}

// Sorts by key, a byte at a time from the lowest; each pass keeps the order of equal bytes, so
// equal keys stay in index order. A table of 140,000 entries sorts in a few milliseconds, which
// a comparison sort does not achieve, and the sort runs in every process that loads the table.
void sortByKey(std::vector<SortItem>& items, std::vector<SortItem>& scratch) {
    scratch.resize(items.size());
    for (int shift = 0; shift < 64 && !items.empty(); shift += 8) {
        std::array<std::size_t, 256> counts{};
        for (const SortItem& item : items)
            ++counts[(item.key >> shift) & 0xFF];
        // One value at this byte for all: the pass would change nothing.
        if (counts[(items.front().key >> shift) & 0xFF] == items.size())
            continue;
        std::size_t sum = 0;
        for (std::size_t& count : counts)
            sum += std::exchange(count, sum);
        for (const SortItem& item : items)
            scratch[counts[(item.key >> shift) & 0xFF]++] = item;
        items.swap(scratch);
    }
}

// Entries whose keys are equal but whose codes may not be (codes without one, and codes the key
// does not hold whole) are put in code order; equal codes keep their index order.
void settleEqualKeys(const CodeTableView& view, std::vector<SortItem>& items) {
    for (std::size_t run = 0; run < items.size();) {
        std::size_t end = run + 1;
        bool settle = items[run].empty || !items[run].whole;
        while (end < items.size() && items[end].key == items[run].key) {
            settle = settle || items[end].empty || !items[end].whole;
            ++end;
        }
        if (settle && end - run > 1) {
            std::stable_sort(items.begin() + static_cast<std::ptrdiff_t>(run),
                             items.begin() + static_cast<std::ptrdiff_t>(end),
                             [&view](const SortItem& a, const SortItem& b) {
                                 if (a.empty != b.empty)
                                     return a.empty;
                                 return tail(view.code(a.index)) < tail(view.code(b.index));
                             });
        }
        run = end;
    }
}

} // namespace

std::vector<std::uint32_t> sortEntriesByCode(const CodeTableView& view) {
    std::vector<std::uint32_t> order;
    const std::size_t buckets = view.starts.empty() ? 0 : view.starts.size() - 1;
    order.reserve(view.size());
    std::vector<SortItem> items;
    std::vector<SortItem> scratch;
    for (std::size_t b = 0; b < buckets; ++b) {
        const auto [first, last] = view.bucket(static_cast<char16_t>(firstKey(view.layout) + b));
        // Starts that disagree with the entries (they may come from shared memory) get no order,
        // and prefixRange then finds nothing.
        if (first != order.size())
            return {};
        items.clear();
        for (std::size_t i = first; i < last; ++i)
            items.push_back(sortItem(view.code(i), static_cast<std::uint32_t>(i)));
        sortByKey(items, scratch);
        settleEqualKeys(view, items);
        for (const SortItem& item : items)
            order.push_back(item.index);
    }
    if (order.size() != view.size())
        return {};
    return order;
}

std::pair<std::size_t, std::size_t> prefixRange(const CodeTableView& view,
                                                std::u16string_view code) {
    if (code.empty() || view.byCode.size() != view.size())
        return {0, 0};
    const auto [first, last] = view.bucket(code.front());
    const std::u16string_view typed = tail(code);
    const auto begin = view.byCode.begin();
    const auto low =
        std::partition_point(begin + static_cast<std::ptrdiff_t>(first),
                             begin + static_cast<std::ptrdiff_t>(last), [&](std::uint32_t i) {
                                 const std::u16string_view entry = view.code(i);
                                 return entry.empty() || tail(entry) < typed;
                             });
    const auto high =
        std::partition_point(low, begin + static_cast<std::ptrdiff_t>(last), [&](std::uint32_t i) {
            return tail(view.code(i)).starts_with(typed);
        });
    return {static_cast<std::size_t>(low - begin), static_cast<std::size_t>(high - begin)};
}

} // namespace tovi
