// The pinyin engine's key table "deduSPNum.pi": a key, a run of tabs or spaces, and a value.
#pragma once

#include <map>
#include <string>

namespace tovi {

class PiTable {
public:
    // Reads the file; a missing file leaves the table empty. Later lines replace earlier keys.
    void load(const std::u16string& path);
    // One line into the table; a line without a separator is outside the format and ignored.
    void addLine(std::u16string_view line);
    const std::map<std::u16string, std::u16string>& entries() const { return entries_; }

private:
    std::map<std::u16string, std::u16string> entries_;
};

} // namespace tovi
