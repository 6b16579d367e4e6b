#include "tables/table_candidates.h"

#include "tables/code_order.h"

#include <algorithm>
#include <bit>

namespace tovi {
namespace {

// So few matches are sorted whatever the bucket's size.
constexpr std::size_t kAlwaysSorted = 48;
// About how many matches a page asks for, counting the look-ahead of the page size.
constexpr std::size_t kMatchesAPage = 12;
// Matches of one code in at least one of this many entries of the bucket are dense enough to
// be met by a scan from the bucket's start.
constexpr std::size_t kDenseMatches = 2;

// An entry list's items: the texts of the listed matches with the rest of their codes, then the
// symbols when asked for.
class TableCandidates final : public CandidateItems {
public:
    TableCandidates(HeldView table, OrderedMatches matches, std::size_t listed,
                    std::size_t typedUnits, bool symbols, const SearchOptions& options)
        : table_(std::move(table)), matches_(std::move(matches)), listed_(listed),
          typedUnits_(typedUnits), symbols_(symbols), options_(options) {}

    std::size_t count() const override { return listed_ + (symbols_ ? codeSymbols().size() : 0); }

    std::size_t length(std::size_t i) const override {
        if (i >= listed_)
            return symbol(i - listed_).size();
        const auto entry = readable(i);
        if (!entry)
            return 0;
        return table_.view.text(*entry).size() + rest(*entry).size();
    }

    std::u16string text(std::size_t i) const override {
        if (i >= listed_)
            return std::u16string(symbol(i - listed_));
        const auto entry = readable(i);
        if (!entry)
            return {};
        return candidateText(table_.view.text(*entry), rest(*entry), options_);
    }

private:
    // Entry of listed match i, unless the view's strings may have changed since the search.
    std::optional<std::uint32_t> readable(std::size_t i) const {
        if (table_.unchanged && !table_.unchanged())
            return std::nullopt;
        return matches_.at(i);
    }

    // The keys of an entry's code beyond those typed.
    std::u16string_view rest(std::uint32_t entry) const {
        const std::u16string_view code = table_.view.code(entry);
        return code.substr(std::min(typedUnits_, code.size()));
    }

    std::u16string_view symbol(std::size_t n) const {
        const auto symbols = codeSymbols();
        return symbols_ && n < symbols.size() ? symbols[n] : std::u16string_view{};
    }

    HeldView table_;
    // Finding matches on demand changes only what is cached, not what the list holds.
    mutable OrderedMatches matches_;
    std::size_t listed_;
    std::size_t typedUnits_;
    bool symbols_;
    SearchOptions options_;
};

} // namespace

OrderedMatches::OrderedMatches(const CodeTableView& view, std::u16string_view code)
    : view_(view), code_(code) {
    if (code.empty())
        return;
    const auto [first, last] = view.bucket(code.front());
    next_ = last_ = last;
    span_ = last - first;
    if (view.byCode.size() != view.size()) {
        // Without a code order one scan finds them all.
        for (std::size_t i = first; i < last; ++i) {
            if (!isPrefixMatch(view.code(i), code))
                continue;
            found_.push_back(static_cast<std::uint32_t>(i));
            exactTotal_ += view.code(i).size() == code.size() ? 1 : 0;
        }
        total_ = found_.size();
        return;
    }

    const auto [low, high] = prefixRange(view, code);
    const auto begin = view.byCode.begin();
    total_ = high - low;
    inCodeOrder_ = view.byCode.subspan(low, total_);
    // A code's exact matches come first in its range.
    exactTotal_ = static_cast<std::size_t>(
        std::partition_point(begin + static_cast<std::ptrdiff_t>(low),
                             begin + static_cast<std::ptrdiff_t>(high),
                             [&](std::uint32_t i) { return view.code(i).size() == code.size(); }) -
        (begin + static_cast<std::ptrdiff_t>(low)));
    if (total_ == 0)
        return;
    if (total_ <= kAlwaysSorted) {
        found_.assign(inCodeOrder_.begin(), inCodeOrder_.end());
        std::sort(found_.begin(), found_.end());
        return;
    }
    // Matches gather where the table keeps a code's words, so a scan need cover only the entries
    // from the first match to the last. Finding those costs a pass over the matches, worth it
    // unless they are so many that a scan from the bucket's start soon meets them.
    std::size_t scanFrom = first;
    std::size_t scanTo = last;
    if (total_ * kDenseMatches < span_) {
        std::uint32_t lowest = inCodeOrder_.front();
        std::uint32_t highest = lowest;
        for (const std::uint32_t i : inCodeOrder_) {
            lowest = std::min(lowest, i);
            highest = std::max(highest, i);
        }
        scanFrom = lowest;
        scanTo = std::size_t{highest} + 1;
        span_ = scanTo - scanFrom;
    }
    // Sorting n matches costs about n log n steps; a scan, about (span / n) entries a match.
    const std::size_t sortSteps = total_ * static_cast<std::size_t>(std::bit_width(total_));
    if (sortSteps <= kMatchesAPage * span_ / total_) {
        found_.assign(inCodeOrder_.begin(), inCodeOrder_.end());
        std::sort(found_.begin(), found_.end());
        return;
    }
    next_ = scanFrom;
    last_ = scanTo;
    found_.reserve(kMatchesAPage);
}

std::optional<std::uint32_t> OrderedMatches::at(std::size_t k) {
    if (k >= total_)
        return std::nullopt;
    while (found_.size() <= k && next_ < last_) {
        if (isPrefixMatch(view_.code(next_), code_))
            found_.push_back(static_cast<std::uint32_t>(next_));
        ++next_;
    }
    if (k >= found_.size())
        return std::nullopt;
    return found_[k];
}

std::shared_ptr<const CandidateItems> listByCode(const HeldView& table, std::u16string_view code,
                                                 const SearchOptions& options, ExactMatch& exact) {
    if (code.empty())
        return std::make_shared<StringItems>(std::vector<std::u16string>{});
    exact = ExactMatch{};
    OrderedMatches matches(table.view, code);
    std::size_t listed = 0;
    if (options.selectionPending) {
        // The list ends at the first longer code: everything before it equals the code.
        while (listed < kMaxCodeCandidates) {
            const auto entry = matches.at(listed);
            if (!entry || table.view.code(*entry).size() > code.size())
                break;
            ++listed;
        }
        exact.count = static_cast<std::uint32_t>(listed);
    } else {
        listed = std::min(matches.total(), kMaxCodeCandidates);
        std::size_t seen = 0;
        if (matches.total() <= kMaxCodeCandidates) {
            seen = matches.exactTotal();
        } else if (const auto range = matches.inCodeOrder();
                   matches.exactTotal() > 0 && !range.empty() &&
                   listed * matches.span() / matches.total() > 2 * matches.total()) {
            // Only the exact matches among the listed ones count. Where a scan to the last
            // listed match would cross many entries, the last listed entry is selected
            // from the matches instead, and the exact ones up to it are counted.
            std::vector<std::uint32_t> indices(range.begin(), range.end());
            const auto lastListed = indices.begin() + static_cast<std::ptrdiff_t>(listed - 1);
            std::nth_element(indices.begin(), lastListed, indices.end());
            seen = static_cast<std::size_t>(std::count_if(
                range.begin(), range.begin() + static_cast<std::ptrdiff_t>(matches.exactTotal()),
                [last = *lastListed](std::uint32_t i) { return i <= last; }));
        } else {
            // Only the exact matches among the listed ones count; the scan stops when it has
            // passed all of them.
            for (std::size_t k = 0; k < listed && seen < matches.exactTotal(); ++k) {
                const auto entry = matches.at(k);
                if (!entry)
                    break;
                seen += table.view.code(*entry).size() == code.size() ? 1 : 0;
            }
        }
        exact.count = static_cast<std::uint32_t>(seen);
    }
    exact.single = exact.count == 1;
    return std::make_shared<TableCandidates>(table, std::move(matches), listed, code.size(),
                                             code.front() == u'/', options);
}

std::shared_ptr<const CandidateItems> listByLetters(const HeldView& table, std::u16string_view code,
                                                    const SearchOptions& options) {
    OrderedMatches matches(table.view, code);
    const std::size_t listed = matches.total();
    return std::make_shared<TableCandidates>(table, std::move(matches), listed, code.size(), false,
                                             options);
}

std::vector<std::u16string> allItems(const CandidateItems& items) {
    std::vector<std::u16string> all;
    all.reserve(items.count());
    for (std::size_t i = 0; i < items.count(); ++i)
        all.push_back(items.text(i));
    return all;
}

std::vector<std::u16string> findByCode(const CodeTableView& table, std::u16string_view code,
                                       const SearchOptions& options, ExactMatch& exact) {
    return allItems(*listByCode(HeldView{table, nullptr, {}}, code, options, exact));
}

std::vector<std::u16string> findByLetters(const CodeTableView& table, std::u16string_view code,
                                          const SearchOptions& options) {
    return allItems(*listByLetters(HeldView{table, nullptr, {}}, code, options));
}

} // namespace tovi
