// The candidates found for a typed code, split into pages that fit the candidate window. Paging
// back returns exactly to the earlier pages.
#pragma once

#include "engine/ime_host.h"

#include <string>
#include <vector>

namespace tovi {

// What promotes a chosen candidate: the code table that produced the list.
class CandidatePromoter {
public:
    virtual ~CandidatePromoter() = default;
    virtual void promote(const std::u16string& code, const std::u16string& text) = 0;
};

class CandidateList {
public:
    static constexpr int kMaxPage = 9;

    CandidateList() = default;
    // Page 1 of `items`, found for `code` in `table` (which may be null).
    CandidateList(std::vector<std::u16string> items, std::u16string code, CandidatePromoter* table,
                  bool verticalLayout);

    // Candidate n of the current page, or empty beyond it.
    std::u16string itemText(int n) const;
    int totalCount() const { return static_cast<int>(items_.size()); }
    int pageSize() const { return pageSize_; }
    int first() const { return first_; }
    const std::u16string& code() const { return code_; }
    bool hasNextPage() const { return first_ + pageSize_ < totalCount(); }
    bool hasPreviousPage() const { return first_ > 0; }

    // Turn a page; at either end the host beeps and says so instead.
    void nextPage(ImeHost& host, bool verticalLayout);
    void previousPage(ImeHost& host);
    // The user chose candidate n: the table may promote it (never the very first candidate).
    void markSelected(int n) const;
    // Drops the items; the page stack stays.
    void clear();

private:
    int computePageSize(bool verticalLayout) const;

    std::vector<std::u16string> items_;
    std::vector<int> pageStack_;
    CandidatePromoter* table_ = nullptr;
    std::u16string code_;
    int first_ = 0;
    int pageSize_ = 0;
};

} // namespace tovi
