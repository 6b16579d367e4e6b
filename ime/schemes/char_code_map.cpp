#include "schemes/char_code_map.h"

#include "platform/file_io.h"
#include "platform/install_folder.h"
#include "tables/code_table_control.h"
#include "tables/code_table_file.h"

#include <vector>

namespace tovi {
namespace {

// Larger files are refused by the parser anyway; reading stops here.
constexpr std::size_t kMaxFile = 64u << 20;

std::string readWhole(const std::u16string& path) {
    const auto file = platform::openFile(path, "rb");
    std::string bytes;
    if (!file)
        return bytes;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0 && bytes.size() <= kMaxFile)
        bytes.append(chunk, got);
    return bytes;
}

} // namespace

CharCodeMap::CharCodeMap(int schemeIndex) {
    const auto layout = layoutOfScheme(schemeIndex);
    if (!layout)
        return;
    const std::string bytes = readWhole(platform::installFilePath(codeTableFileName(schemeIndex)));
    if (bytes.empty() || bytes.size() > kMaxFile)
        return;
    const CodeTableParse parsed = parseCodeTable(std::string_view(bytes), *layout);
    if (!parsed.ok())
        return;
    for (std::size_t i = 0; i < parsed.table.size(); ++i)
        if (const auto text = parsed.table.text(i); text.size() == 1)
            add(text[0], parsed.table.code(i));
}

void CharCodeMap::add(char16_t character, std::u16string_view code) {
    auto [it, inserted] = codes_.try_emplace(character, code);
    if (!inserted && code.size() > it->second.size())
        it->second = code;
}

std::u16string CharCodeMap::codeOf(char16_t character) const {
    const auto it = codes_.find(character);
    return it == codes_.end() ? std::u16string() : it->second;
}

std::u16string_view codeSeparator(int schemeIndex) {
    return schemeIndex == 0 || schemeIndex == 2 ? u"0" : u"";
}

std::u16string makeWordCode(const CharCodeMap& map, std::u16string_view word, int schemeIndex) {
    if (word.empty())
        return {};
    if (word.size() == 1)
        return map.codeOf(word[0]);
    std::u16string code = map.codeOf(word[0]).substr(0, 3);
    if (schemeIndex == 3)
        code += u'0';
    std::vector<char16_t> further;
    if (word.size() <= 4)
        further.assign(word.begin() + 1, word.end());
    else
        further = {word[1], word[2], word.back()};
    for (const char16_t character : further) {
        code += codeSeparator(schemeIndex);
        const std::u16string part = map.codeOf(character);
        if (part.empty())
            break;
        code += part[0];
    }
    return code;
}

} // namespace tovi
