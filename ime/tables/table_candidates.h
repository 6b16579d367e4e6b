// The keypad and pinyin searches: the entries whose code begins with the typed code, in the
// table's order, found through the code order and made into strings only when shown.
#pragma once

#include "tables/candidate_items.h"
#include "tables/code_table_index.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovi {

// The prefix matches of a typed code in index order, found as far as they are asked for. A
// few are sorted out of the code order at once; many are collected by a scan of the bucket that
// stops as soon as it has the match asked for.
class OrderedMatches {
public:
    OrderedMatches(const CodeTableView& view, std::u16string_view code);

    // Every match of the code.
    std::size_t total() const { return total_; }
    // Matches whose code equals the typed code.
    std::size_t exactTotal() const { return exactTotal_; }
    // Entry indices of every match in code order, the exact ones first; empty without a code
    // order.
    std::span<const std::uint32_t> inCodeOrder() const { return inCodeOrder_; }
    // Entries from the first match to the last, in index order.
    std::size_t span() const { return span_; }
    // Entry index of match k, or none when k is not below total() (or the strings changed under
    // the view, as another process's refill can do).
    std::optional<std::uint32_t> at(std::size_t k);

private:
    CodeTableView view_;
    std::u16string code_;
    std::vector<std::uint32_t> found_;
    std::size_t next_ = 0; // the scan's next entry
    std::size_t last_ = 0; // the scan's end
    std::size_t total_ = 0;
    std::size_t exactTotal_ = 0;
    std::span<const std::uint32_t> inCodeOrder_;
    std::size_t span_ = 0;
};

// Keypad scheme. Every prefix match of `code` in bucket order, each as its text followed by the
// rest of its code, at most kMaxCodeCandidates of them; with `selectionPending` the list stops
// at the first match whose code is longer than `code`. A code beginning with "/" adds the
// symbols. `exact` counts the listed entries equal to the code, and is written unless `code` is
// empty, as the engine's flags are.
std::shared_ptr<const CandidateItems> listByCode(const HeldView& table, std::u16string_view code,
                                                 const SearchOptions& options, ExactMatch& exact);

// Pinyin scheme. Every prefix match of `code` in its bucket, text followed by the rest of the
// code; no limit.
std::shared_ptr<const CandidateItems> listByLetters(const HeldView& table, std::u16string_view code,
                                                    const SearchOptions& options);

// The same searches with every item made into a string, for tools and tests.
std::vector<std::u16string> findByCode(const CodeTableView& table, std::u16string_view code,
                                       const SearchOptions& options, ExactMatch& exact);
std::vector<std::u16string> findByLetters(const CodeTableView& table, std::u16string_view code,
                                          const SearchOptions& options);

// Every item of a list as a string.
std::vector<std::u16string> allItems(const CandidateItems& items);

} // namespace tovi
