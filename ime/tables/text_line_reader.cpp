#include "tables/text_line_reader.h"

#include "tables/config_words.h"

namespace tovi {
namespace {
// One little-endian unit, or false at the end of the file (a lone last byte counts as the end).
bool readUnit(std::FILE* file, char16_t& unit) {
    unsigned char bytes[2];
    if (std::fread(bytes, 1, 2, file) != 2)
        return false;
    unit = static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
    return true;
}
} // namespace

bool readLine(std::FILE* file, std::u16string& line, std::size_t maxUnits) {
    line.clear();
    // A read error never reaches the end of the file: without this a failing read (a folder, a
    // lost network drive) would be read as empty lines for ever.
    if (std::feof(file) || std::ferror(file))
        return false;
    if (std::ftell(file) == 0)
        std::fseek(file, 2, SEEK_SET);
    bool carriageReturn = false;
    bool cut = false;
    char16_t unit = 0;
    while (readUnit(file, unit)) {
        if (unit == u'\n' && carriageReturn) {
            if (!cut && !line.empty())
                line.pop_back(); // the CR
            return true;
        }
        carriageReturn = unit == u'\r';
        if (line.size() < maxUnits)
            line += unit;
        else
            cut = true;
    }
    return true;
}

bool isSeparator(char16_t unit) {
    return unit == u'\t' || unit == u' ';
}

std::int32_t numberOf(std::u16string_view text) {
    std::string narrow;
    for (const char16_t unit : text.substr(0, 19))
        narrow += unit < 0x80 ? static_cast<char>(unit) : '?';
    return configValue(narrow);
}

} // namespace tovi
