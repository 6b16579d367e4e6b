#include "schemes/char_code_map.h"

#include "platform/file_io.h"
#include "tables/code_table_control.h"
#include "tables/code_table_file.h"

#include <vector>

namespace tovi {

CharCodeMap::CharCodeMap(Scheme scheme, const platform::InstallFolder& folder) {
    const auto layout = layoutOfScheme(scheme);
    if (!layout)
        return;
    // One byte more than any acceptable table, so that the parser refuses a larger file. A file
    // that cannot be read, or that the parser refuses (an empty one too), leaves the map empty.
    const auto bytes = platform::readWholeFile(folder.fileToRead(codeTableFileName(scheme)),
                                               kMaxCodeTableFileBytes + 1);
    if (!bytes)
        return;
    const CodeTableParse parsed = parseCodeTable(std::string_view(*bytes), *layout);
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

std::u16string_view codeSeparator(Scheme scheme) {
    return scheme == Scheme::A || scheme == Scheme::Pinyin ? u"0" : u"";
}

std::u16string makeWordCode(const CharCodeMap& map, std::u16string_view word, Scheme scheme) {
    if (word.empty())
        return {};
    if (word.size() == 1)
        return map.codeOf(word[0]);
    std::u16string code = map.codeOf(word[0]).substr(0, 3);
    if (scheme == Scheme::D)
        code += u'0';
    std::vector<char16_t> further;
    if (word.size() <= 4)
        further.assign(word.begin() + 1, word.end());
    else
        further = {word[1], word[2], word.back()};
    for (const char16_t character : further) {
        code += codeSeparator(scheme);
        const std::u16string part = map.codeOf(character);
        if (part.empty())
            break;
        code += part[0];
    }
    return code;
}

} // namespace tovi
