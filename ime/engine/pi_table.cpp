#include "engine/pi_table.h"

#include "platform/file_io.h"
#include "tables/key_value_line.h"
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
    const KeyValueLine split = splitKeyValueLine(line);
    // Unlike the hint table, this table ignores a line without a separator.
    if (!split.separated)
        return;
    entries_.insert_or_assign(std::u16string(split.key), std::u16string(split.value));
}

} // namespace tovi
