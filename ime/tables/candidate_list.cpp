#include "tables/candidate_list.h"

#include <algorithm>

namespace tovi {

CandidateList::CandidateList(std::vector<std::u16string> items, std::u16string code,
                             bool verticalLayout)
    : items_(std::move(items)), code_(std::move(code)) {
    pageSize_ = computePageSize(verticalLayout);
}

int CandidateList::computePageSize(bool verticalLayout) const {
    int taken = 0;
    std::size_t width = 0;
    for (int i = first_; i < totalCount() && taken < kMaxPage; ++i) {
        width += std::min<std::size_t>(items_[static_cast<std::size_t>(i)].size(), 13);
        // The first candidate always fits: 13 never exceeds the row.
        if (!verticalLayout && width > 23)
            break;
        ++taken;
    }
    return taken;
}

std::u16string CandidateList::itemText(int n) const {
    if (n < 0 || n >= pageSize_)
        return {};
    return items_[static_cast<std::size_t>(first_ + n)];
}

bool CandidateList::nextPage(bool verticalLayout) {
    if (!hasNextPage())
        return false;
    pageStack_.push_back(pageSize_);
    first_ += pageSize_;
    pageSize_ = computePageSize(verticalLayout);
    return true;
}

bool CandidateList::previousPage() {
    if (!hasPreviousPage() || pageStack_.empty())
        return false;
    pageSize_ = pageStack_.back();
    first_ -= pageSize_;
    pageStack_.pop_back();
    return true;
}

void CandidateList::clear() {
    items_.clear();
    first_ = 0;
    pageSize_ = 0;
}

} // namespace tovi
