#include "dict_line.h"

#include "gbk_boundary.h"

#include <string>

namespace tovi::screen {
namespace {

bool isControlOrSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string boundedField(std::string_view text, std::size_t limit) {
    const std::string_view trimmed = trimControls(text);
    // Cutting may leave trailing spaces of an inner part; trim again.
    return std::string(trimControls(trimmed.substr(0, gbkPrefixLength(trimmed, limit))));
}

} // namespace

std::string_view trimControls(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isControlOrSpace(text[begin]))
        ++begin;
    while (end > begin && isControlOrSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

DictEntry splitDictLine(std::string_view line) {
    line = line.substr(0, gbkPrefixLength(line, kMaxLineBytes));
    DictEntry entry;
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos)
        return entry; // no space: no word
    entry.word = boundedField(line.substr(0, first), kMaxWordBytes);
    const std::string_view afterFirst = line.substr(first + 1);
    const std::size_t second = afterFirst.find(' ');
    if (second == std::string_view::npos)
        return entry; // the key is taken only when a second space follows it
    entry.key = boundedField(afterFirst.substr(0, second), kMaxKeyBytes);
    entry.description = boundedField(afterFirst.substr(second + 1), kMaxDescriptionBytes);
    return entry;
}

} // namespace tovi::screen
