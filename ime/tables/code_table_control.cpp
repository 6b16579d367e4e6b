#include "code_table_control.h"

namespace tovi {

std::optional<CodeTableNames> codeTableNames(Scheme scheme, std::u16string_view suffix) {
    std::u16string_view tag;
    switch (scheme) {
    case Scheme::Keypad:
        tag = u"Wb";
        break;
    case Scheme::Pinyin:
        tag = u"Py";
        break;
    default:
        return std::nullopt;
    }
    const std::u16string base = u".VemoraToviIme" + std::u16string(tag);
    const std::u16string end(suffix);
    return CodeTableNames{base + u"MbShareMemory" + end, base + u"MyShareMemory" + end,
                          base + u"MbMutex" + end};
}

std::u16string_view codeTableFileName(Scheme scheme) {
    switch (scheme) {
    case Scheme::Keypad:
        return u"toviwb.mb";
    case Scheme::Pinyin:
        return u"tovipy.mb";
    default:
        return u"tovi.mb";
    }
}

std::uint64_t tableOwner(std::u16string_view userFolder) {
    // FNV-1a over the UTF-16 units, ASCII letters folded: Windows paths ignore case.
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (char16_t c : userFolder) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        h = (h ^ c) * 0x100000001B3ull;
    }
    return h == 0 ? 1 : h;
}

} // namespace tovi
