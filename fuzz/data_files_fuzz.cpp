// Feeds arbitrary bytes, as each data file of the installation folder in turn, to the reader
// that loads it in the module: config.ini (the settings and their words), the two prompt tables
// (.pmt), the code hint table, the pinyin key table "deduSPNum.pi" and the character code map
// read from a code table. The first byte picks the file, the rest is its content. Besides the
// sanitizers' checks, each reader must keep its documented bounds.
#include "engine/pi_table.h"
#include "platform/install_folder.h"
#include "schemes/char_code_map.h"
#include "schemes/code_hint_table.h"
#include "tables/ime_settings.h"
#include "tables/prompt_table.h"
#include "temp_folder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

const tovi::test::TempFolder& folder() {
    static const tovi::test::TempFolder made;
    return made;
}

tovi::platform::InstallFolder install() {
    return tovi::platform::InstallFolder(folder().installFolder(), folder().installFolder());
}

void settings(const std::string& bytes) {
    folder().write("config.ini", bytes);
    const tovi::ImeSettings read(install());
    // Whatever the file holds, the scheme is one of the four and the skin a number.
    const int scheme = tovi::schemeIndex(read.scheme());
    check(scheme >= 0 && scheme <= 3);
}

void prompts(const std::string& bytes, tovi::Scheme scheme) {
    folder().write(scheme == tovi::Scheme::Keypad ? "vemoraPY.pmt" : "vemoraSP.pmt", bytes);
    tovi::PromptTable table(scheme, install());
    std::array<std::u16string, tovi::PromptRow::kFields> row;
    for (const std::u16string_view code : {u"", u"1", u"12", u"zh", u"2147483648"}) {
        table.selectRow(code);
        table.copyCurrentRow(row);
        for (std::size_t i = tovi::PromptTable::kCopied; i < row.size(); ++i)
            check(row[i].empty());
        for (const std::u16string& field : row)
            check(field.size() <= tovi::PromptTable::kMaxLine);
    }
}

void hints(const std::string& bytes) {
    folder().write("codePyMain.pmt", bytes);
    tovi::ImeSettings keypad(install());
    keypad.setScheme(tovi::Scheme::Keypad);
    const tovi::LoadedCodeHintTable table(keypad, install());
    for (const std::u16string& code :
         {std::u16string(), std::u16string(u"1"), std::u16string(u"23")})
        check(table.hintFor(code).size() <= tovi::LoadedCodeHintTable::kMaxLine);
}

void piTable(const std::string& bytes) {
    folder().write("deduSPNum.pi", bytes);
    tovi::PiTable table;
    table.load(install().file(u"deduSPNum.pi"));
    for (const auto& [key, value] : table.entries())
        check(key.size() + value.size() <= 1000);
}

void charCodes(const std::string& bytes, tovi::Scheme scheme) {
    folder().write(scheme == tovi::Scheme::Keypad ? "toviwb.mb" : "tovipy.mb", bytes);
    const tovi::CharCodeMap map(scheme, install());
    const std::u16string code = tovi::makeWordCode(map, u"中国人民", scheme);
    check(code.size() <= 3 + 3 * (1 + 1) + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 7) {
    case 0:
        settings(bytes);
        break;
    case 1:
        prompts(bytes, tovi::Scheme::Keypad);
        break;
    case 2:
        prompts(bytes, tovi::Scheme::Pinyin);
        break;
    case 3:
        hints(bytes);
        break;
    case 4:
        piTable(bytes);
        break;
    case 5:
        charCodes(bytes, tovi::Scheme::Keypad);
        break;
    default:
        charCodes(bytes, tovi::Scheme::Pinyin);
        break;
    }
    return 0;
}
