#include "schemes/code_hint_table.h"

#include "platform/file_io.h"
#include "platform/install_folder.h"
#include "tables/ime_settings.h"
#include "tables/text_line_reader.h"

namespace tovi {

LoadedCodeHintTable::LoadedCodeHintTable(const ImeSettings& settings) : settings_(settings) {
    const auto file = platform::openFile(platform::installFilePath(u"codePyMain.pmt"), "rb");
    if (!file)
        return;
    std::u16string line;
    while (readLine(file.get(), line, kMaxLine))
        if (!line.empty())
            addLine(line);
}

void LoadedCodeHintTable::addLine(std::u16string_view line) {
    std::size_t keyEnd = 0;
    while (keyEnd < line.size() && !isSeparator(line[keyEnd]))
        ++keyEnd;
    std::size_t hint = keyEnd;
    while (hint < line.size() && isSeparator(line[hint]))
        ++hint;
    hints_.insert_or_assign(std::u16string(line.substr(0, keyEnd)),
                            std::u16string(line.substr(hint)));
}

std::u16string LoadedCodeHintTable::hintFor(std::u16string input) const {
    if (settings_.schemeIndex() != 1)
        return {};
    const auto it = hints_.find(input);
    return it == hints_.end() ? std::u16string() : it->second;
}

} // namespace tovi
