// The candidates found for a typed code, split into pages that fit the candidate window. Paging
// back returns exactly to the earlier pages.
#pragma once

#include <string>
#include <vector>

namespace tovi {

class CandidateList {
public:
    static constexpr int kMaxPage = 9;

    CandidateList() = default;
    // Page 1 of `items`, found for `code`.
    CandidateList(std::vector<std::u16string> items, std::u16string code, bool verticalLayout);

    // Candidate n of the current page, or empty beyond it.
    std::u16string itemText(int n) const;
    int totalCount() const { return static_cast<int>(items_.size()); }
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

    std::vector<std::u16string> items_;
    std::vector<int> pageStack_;
    std::u16string code_;
    int first_ = 0;
    int pageSize_ = 0;
};

} // namespace tovi
