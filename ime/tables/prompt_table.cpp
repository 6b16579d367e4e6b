#include "tables/prompt_table.h"

#include "platform/file_io.h"
#include "platform/install_folder.h"
#include "tables/text_line_reader.h"

namespace tovi {

PromptTable::PromptTable(int schemeIndex) {
    loadRows(schemeIndex);
}

const char16_t* PromptTable::fileName(int schemeIndex) {
    return schemeIndex >= 2 ? u"vemoraSP.pmt" : u"vemoraPY.pmt";
}

PromptRow PromptTable::parseRow(std::u16string_view line) {
    PromptRow row;
    std::size_t i = 0;
    while (i < line.size() && !isSeparator(line[i]))
        ++i;
    row.key = numberOf(line.substr(0, i));
    std::size_t field = 0;
    while (i < line.size() && field < PromptRow::kFields) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]))
            ++i;
        if (i > start)
            row.strings[field++] = std::u16string(line.substr(start, i - start));
    }
    return row;
}

void PromptTable::loadRows(int schemeIndex) {
    rows_.clear();
    const auto file = platform::openFile(platform::installFilePath(fileName(schemeIndex)), "rb");
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
