#include "code_table_control.h"

namespace tovi {

std::optional<CodeTableNames> codeTableNames(int schemeIndex, std::u16string_view suffix) {
    std::u16string_view tag;
    switch (schemeIndex) {
    case 1:
        tag = u"Wb";
        break;
    case 2:
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

std::u16string_view codeTableFileName(int schemeIndex) {
    switch (schemeIndex) {
    case 1:
        return u"toviwb.mb";
    case 2:
        return u"tovipy.mb";
    default:
        return u"tovi.mb";
    }
}

} // namespace tovi
