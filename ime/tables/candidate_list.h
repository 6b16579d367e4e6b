// The candidates found for a typed code, split into pages that fit the candidate window. Paging
// back returns exactly to the earlier pages.
#pragma once

#include "tables/candidate_items.h"

#include <memory>
#include <string>
#include <vector>

namespace tovi {

class CandidateList {
public:
    static constexpr int kMaxPage = 9;

    CandidateList() = default;
    // Page 1 of `items`, found for `code`.
    CandidateList(std::vector<std::u16string> items, std::u16string code, bool verticalLayout);
    static CandidateList of(std::shared_ptr<const CandidateItems> items, std::u16string code,
                            bool verticalLayout);

    // Candidate n of the current page, or empty beyond it.
    std::u16string itemText(int n) const;
    int totalCount() const { return items_ ? static_cast<int>(items_->count()) : 0; }
    int pageSize() const { return pageSize_; }
    int first() const { return first_; }
    const std::u16string& code() const { return code_; }
    bool hasNextPage() const { return first_ + pageSize_ < totalCount(); }
    bool hasPreviousPage() const { return first_ > 0; }

    // Turn a page; false at either end, where the page stays.
    bool nextPage(bool verticalLayout);
    bool previousPage();
    // Drops the items; the page stack stays.
    void clear();

private:
    int computePageSize(bool verticalLayout) const;
    // Sizes the page at first_ and makes its strings, so that what is shown and what is
    // committed are the same whatever happens to the table meanwhile.
    void takePage(bool verticalLayout);
    void makePageStrings();

    std::shared_ptr<const CandidateItems> items_;
    std::vector<std::u16string> page_;
    std::vector<int> pageStack_;
    std::u16string code_;
    int first_ = 0;
    int pageSize_ = 0;
};

} // namespace tovi
