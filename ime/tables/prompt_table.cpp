#include "tables/prompt_table.h"

#include "platform/file_io.h"
#include "tables/key_value_line.h"
#include "tables/text_line_reader.h"

namespace tovi {

PromptTable::PromptTable(Scheme scheme, const platform::InstallFolder& folder) {
    loadRows(scheme, folder);
}

const char16_t* PromptTable::fileName(Scheme scheme) {
    return schemeIndex(scheme) >= 2 ? u"vemoraSP.pmt" : u"vemoraPY.pmt";
}

PromptRow PromptTable::parseRow(std::u16string_view line) {
    PromptRow row;
    KeyValueLine split = splitKeyValueLine(line);
    row.key = numberOf(split.key);
    // Each field is the key of what follows the one before. A value never begins with a
    // separator, so a non-empty rest always yields a non-empty field.
    std::size_t field = 0;
    while (!split.value.empty() && field < PromptRow::kFields) {
        split = splitKeyValueLine(split.value);
        row.strings[field++] = std::u16string(split.key);
    }
    return row;
}

void PromptTable::loadRows(Scheme scheme, const platform::InstallFolder& folder) {
    rows_.clear();
    const auto file = platform::openFile(folder.file(fileName(scheme)), "rb");
    if (!file)
        return;
    std::u16string line;
    while (readLine(file.get(), line, kMaxLine)) {
        if (line.empty())
            continue;
        PromptRow row = parseRow(line);
        const std::int32_t key = row.key;
        rows_.insert_or_assign(key, std::move(row));
    }
}

void PromptTable::selectRow(std::u16string_view code) {
    const std::int32_t key = code.empty() ? 0 : numberOf(code);
    if (rows_.contains(key))
        current_ = key;
}

void PromptTable::copyCurrentRow(
    std::array<std::u16string, PromptRow::kFields>& destination) const {
    for (auto& s : destination)
        s.clear();
    const auto it = rows_.find(current_);
    if (it == rows_.end())
        return;
    for (std::size_t i = 0; i < kCopied; ++i)
        destination[i] = it->second.strings[i];
}

} // namespace tovi
