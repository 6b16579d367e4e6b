// Each bucket's entries sorted by code, so that the entries beginning with a typed code are
// found by binary search instead of a scan of the bucket.
//
// Position 0 of a code is its bucket's key and is not compared, as in isPrefixMatch. Entries with
// equal codes keep their index order.
#pragma once

#include "tables/code_table_index.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace tovi {

// Entry indices bucket by bucket, each bucket's sorted by code; the buckets lie where
// `view.starts` puts them. Entries without a code come first in their bucket.
std::vector<std::uint32_t> sortEntriesByCode(const CodeTableView& view);

// Positions [first, second) in `view.byCode` of the entries that isPrefixMatch finds for
// `code`: a code's exact matches come first, then its longer matches. Empty when `code` is empty,
// not a key of the layout, or the view has no sorted order.
std::pair<std::size_t, std::size_t> prefixRange(const CodeTableView& view,
                                                std::u16string_view code);

} // namespace tovi
