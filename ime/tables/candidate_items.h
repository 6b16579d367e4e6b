// What a candidate list lists. A list asks only for the items of the page it shows, so a search
// that finds thousands of entries makes strings for nine of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tovi {

class CandidateItems {
public:
    virtual ~CandidateItems() = default;
    virtual std::size_t count() const = 0;
    // Units of item i; 0 beyond the items.
    virtual std::size_t length(std::size_t i) const = 0;
    // Item i; empty beyond the items.
    virtual std::u16string text(std::size_t i) const = 0;
};

// Items given as strings.
class StringItems final : public CandidateItems {
public:
    explicit StringItems(std::vector<std::u16string> items) : items_(std::move(items)) {}
    std::size_t count() const override { return items_.size(); }
    std::size_t length(std::size_t i) const override {
        return i < items_.size() ? items_[i].size() : 0;
    }
    std::u16string text(std::size_t i) const override {
        return i < items_.size() ? items_[i] : std::u16string();
    }

private:
    std::vector<std::u16string> items_;
};

} // namespace tovi
