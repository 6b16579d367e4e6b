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

} // namespace tovi
