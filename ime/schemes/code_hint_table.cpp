#include "schemes/code_hint_table.h"

#include "platform/file_io.h"
#include "tables/ime_settings.h"
#include "tables/key_value_line.h"
#include "tables/text_line_reader.h"

namespace tovi {

LoadedCodeHintTable::LoadedCodeHintTable(const ImeSettings& settings,
                                         const platform::InstallFolder& folder)
    : settings_(settings) {
    const auto file = platform::openFile(folder.file(u"codePyMain.pmt"), "rb");
    if (!file)
        return;
    std::u16string line;
    while (readLine(file.get(), line, kMaxLine))
        if (!line.empty())
            addLine(line);
}

void LoadedCodeHintTable::addLine(std::u16string_view line) {
    // A line without a separator still counts: its key gets the empty hint.
    const KeyValueLine split = splitKeyValueLine(line);
    hints_.insert_or_assign(std::u16string(split.key), std::u16string(split.value));
}

std::u16string LoadedCodeHintTable::hintFor(std::u16string input) const {
    if (settings_.scheme() != Scheme::Keypad)
        return {};
    const auto it = hints_.find(input);
    return it == hints_.end() ? std::u16string() : it->second;
}

} // namespace tovi
