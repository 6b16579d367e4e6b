// Feeds arbitrary bytes to the screen dictionary as a whole "dict.txt". Besides the sanitizers'
// checks: every record is bounded, trimmed and free of line ends, one record per line, and a
// lookup of any record's word finds the first record with that word.
#include "dict_line.h"
#include "vms_dict.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkField(const std::string& field, std::size_t limit) {
    check(field.size() <= limit);
    check(field.find('\n') == std::string::npos);
    if (!field.empty()) {
        check(static_cast<unsigned char>(field.front()) > 32);
        check(static_cast<unsigned char>(field.back()) > 32);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    tovi::screen::TVmsDict dict;
    const tovi::screen::DictLoadReport report = dict.load(file);
    check(report.records == dict.size());
    const auto lineEnds = static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n'));
    const bool openLastLine = !file.empty() && file.back() != '\n';
    check(dict.size() == lineEnds + (openLastLine ? 1 : 0));
    for (std::size_t i = 0; i < dict.size(); ++i) {
        const tovi::screen::DictEntry& e = dict.entries()[i];
        checkField(e.word, tovi::screen::kMaxWordBytes);
        checkField(e.key, tovi::screen::kMaxKeyBytes);
        checkField(e.description, tovi::screen::kMaxDescriptionBytes);
        const tovi::screen::DictEntry* found = dict.lookup(e.word);
        check(found != nullptr && found->word == e.word && found <= &e);
    }
    return 0;
}
