#include "engine/pi_table.h"

#include "platform/file_io.h"
#include "tables/text_line_reader.h"

namespace tovi {

void PiTable::load(const std::u16string& path) {
    const auto file = platform::openFile(path, "rb");
    if (!file)
        return;
    std::u16string line;
    while (readLine(file.get(), line, 1000))
        if (!line.empty())
            addLine(line);
}

void PiTable::addLine(std::u16string_view line) {
    std::size_t keyEnd = 0;
    while (keyEnd < line.size() && !isSeparator(line[keyEnd]))
        ++keyEnd;
    if (keyEnd == line.size())
        return;
    std::size_t value = keyEnd;
    while (value < line.size() && isSeparator(line[value]))
        ++value;
    entries_.insert_or_assign(std::u16string(line.substr(0, keyEnd)),
                              std::u16string(line.substr(value)));
}

} // namespace tovi
