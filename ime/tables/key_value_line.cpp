#include "tables/key_value_line.h"

#include "tables/text_line_reader.h"

namespace tovi {

KeyValueLine splitKeyValueLine(std::u16string_view line) {
    std::size_t keyEnd = 0;
    while (keyEnd < line.size() && !isSeparator(line[keyEnd]))
        ++keyEnd;
    std::size_t value = keyEnd;
    while (value < line.size() && isSeparator(line[value]))
        ++value;
    return KeyValueLine{line.substr(0, keyEnd), line.substr(value), keyEnd < line.size()};
}

} // namespace tovi
