#include "vms_dict.h"

#include "dict_line.h"

namespace tovi::screen {

DictLoadReport TVmsDict::load(std::string_view bytes) {
    entries_.clear();
    first_.clear();
    DictLoadReport report;
    if (bytes.size() > kMaxDictBytes) {
        bytes = bytes.substr(0, kMaxDictBytes);
        report.truncated = true;
    }
    std::size_t start = 0;
    // A final line end closes the last line; it does not open an empty one.
    while (start < bytes.size()) {
        if (entries_.size() == kMaxRecords) {
            report.truncated = true;
            break;
        }
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        if (line.size() > kMaxLineBytes)
            ++report.cutLines;
        entries_.push_back(splitDictLine(line));
        first_.try_emplace(entries_.back().word, entries_.size() - 1);
        start = end + 1;
    }
    report.records = entries_.size();
    return report;
}

const DictEntry* TVmsDict::lookup(std::string_view word) const {
    const auto found = first_.find(std::string(word));
    return found == first_.end() ? nullptr : &entries_[found->second];
}

} // namespace tovi::screen
