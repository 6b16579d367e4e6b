#include "core/word_maker.h"

#include "engine/info_messages.h"

namespace tovi {
namespace {

// Up to the first terminator, and at most `limit` units.
std::u16string_view cut(std::u16string_view text, std::size_t limit) {
    text = text.substr(0, text.find(u'\0'));
    return text.substr(0, limit);
}

} // namespace

void WordMaker::takeSelection(std::optional<std::u16string_view> clipboardText) {
    if (clipboardText)
        word_ = cut(*clipboardText, kMaxWordUnits);
}

bool WordMaker::add(std::u16string_view code, std::u16string_view word) {
    return edit(code, word, true);
}

bool WordMaker::remove(std::u16string_view code, std::u16string_view word) {
    return edit(code, word, false);
}

bool WordMaker::edit(std::u16string_view code, std::u16string_view word, bool adding) {
    word_ = cut(word, kMaxWordUnits);
    const std::u16string_view shortCode = cut(code, kMaxCodeUnits);
    CodeTable::WarningSink warnings;
    if (settings_.has(flag::OperationHints))
        warnings = [this](std::u16string_view text) {
            host_.showInfoMessage(text, info::kDefaultMilliseconds);
        };
    CodeTable* table = loader_.table();
    if (!table) {
        if (warnings)
            warnings(info::TableNotReady.text);
        else
            host_.codeTableReporter()->messageBox(info::TableNotReady.text, u"提示",
                                                  CodeTableReporter::Style::Warning);
        return false;
    }
    const bool done = adding ? table->addWord(shortCode, word_, warnings)
                             : table->deleteWord(shortCode, word_, warnings);
    if (done)
        host_.showInfo(adding ? info::WordAdded : info::WordDeleted);
    return done;
}

} // namespace tovi
