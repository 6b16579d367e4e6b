// The prompt table of a scheme: rows of up to 100 prompt strings keyed by the number a code
// spells, read from the scheme's ".pmt" file; the prompt window shows the current row.
#pragma once

#include "platform/install_folder.h"
#include "tables/scheme.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace tovi {

struct PromptRow {
    static constexpr std::size_t kFields = 100;
    std::int32_t key = 0;
    std::array<std::u16string, kFields> strings;
};

class PromptTable {
public:
    static constexpr std::size_t kCopied = 35; // strings the prompt window receives
    static constexpr std::size_t kMaxLine = 255;

    // Loads the file of the scheme from `folder`; the current key is then 0.
    PromptTable(Scheme scheme, const platform::InstallFolder& folder);

    // Reads the scheme's file again; a missing file leaves the table empty.
    void loadRows(Scheme scheme, const platform::InstallFolder& folder);
    // Makes the row the code spells current, if the table has it (the empty code spells 0).
    void selectRow(std::u16string_view code);
    // Strings 0 to 34 of the current row; the rest empty (all empty without a current row).
    void copyCurrentRow(std::array<std::u16string, PromptRow::kFields>& destination) const;

    std::int32_t currentKey() const { return current_; }
    std::size_t size() const { return rows_.size(); }

    // One line of the file as a row: the key, then the fields between runs of separators.
    static PromptRow parseRow(std::u16string_view line);
    static const char16_t* fileName(Scheme scheme);

private:
    std::map<std::int32_t, PromptRow> rows_;
    std::int32_t current_ = 0;
};

} // namespace tovi
