#include "tables/candidate_list.h"

#include <algorithm>

namespace tovi {

CandidateList::CandidateList(std::vector<std::u16string> items, std::u16string code,
                             bool verticalLayout)
    : items_(std::make_shared<StringItems>(std::move(items))), code_(std::move(code)) {
    takePage(verticalLayout);
}

CandidateList CandidateList::of(std::shared_ptr<const CandidateItems> items, std::u16string code,
                                bool verticalLayout) {
    CandidateList list;
    list.items_ = std::move(items);
    list.code_ = std::move(code);
    list.takePage(verticalLayout);
    return list;
}

void CandidateList::takePage(bool verticalLayout) {
    pageSize_ = computePageSize(verticalLayout);
    makePageStrings();
}

void CandidateList::makePageStrings() {
    page_.clear();
    for (int n = 0; n < pageSize_; ++n)
        page_.push_back(items_->text(static_cast<std::size_t>(first_ + n)));
}

int CandidateList::computePageSize(bool verticalLayout) const {
    int taken = 0;
    std::size_t width = 0;
    for (int i = first_; i < totalCount() && taken < kMaxPage; ++i) {
        width += std::min<std::size_t>(items_->length(static_cast<std::size_t>(i)), 13);
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
    return page_[static_cast<std::size_t>(n)];
}

bool CandidateList::nextPage(bool verticalLayout) {
    if (!hasNextPage())
        return false;
    pageStack_.push_back(pageSize_);
    first_ += pageSize_;
    takePage(verticalLayout);
    return true;
}

bool CandidateList::previousPage() {
    if (!hasPreviousPage() || pageStack_.empty())
        return false;
    const int size = pageStack_.back();
    first_ -= size;
    pageStack_.pop_back();
    pageSize_ = size;
    makePageStrings();
    return true;
}

void CandidateList::clear() {
    items_.reset();
    page_.clear();
    first_ = 0;
    pageSize_ = 0;
}

} // namespace tovi
