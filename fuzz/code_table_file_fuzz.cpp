// Feeds arbitrary bytes to the code-table parser in both layouts. Besides the sanitizers'
// checks, an accepted file must hold the format's invariants and survive a write and a re-parse
// unchanged; a refused one must leave no entries.
#include "tables/code_table_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkInvariants(const tovi::CodeTableData& table) {
    const auto starts = table.starts();
    const char16_t key = tovi::firstKey(table.layout());
    check(starts.size() == tovi::bucketCount(table.layout()) + 1);
    check(starts.front() == 0);
    check(static_cast<std::size_t>(starts.back()) == table.size());
    for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
        check(starts[k] <= starts[k + 1]);
        for (auto i = static_cast<std::size_t>(starts[k]);
             i < static_cast<std::size_t>(starts[k + 1]); ++i) {
            const std::string_view code = table.codeBytes(i);
            const std::string_view text = table.textBytes(i);
            check(!code.empty() && code.size() <= tovi::kMaxFieldBytes);
            check(!text.empty() && text.size() <= tovi::kMaxFieldBytes);
            check(static_cast<std::size_t>(static_cast<unsigned char>(code.front())) == key + k);
            check(static_cast<std::size_t>(table.code(i).front()) == key + k);
            check(!table.code(i).empty() && table.code(i).size() <= code.size());
            check(!table.text(i).empty() && table.text(i).size() <= text.size());
        }
    }
}

void fuzzLayout(std::string_view file, tovi::CodeTableLayout layout) {
    const tovi::CodeTableParse parsed = tovi::parseCodeTable(file, layout);
    if (!parsed.ok()) {
        check(parsed.table.empty() && parsed.skipped() == 0);
        return;
    }
    checkInvariants(parsed.table);

    const std::string written = tovi::writeCodeTable(parsed.table);
    // Nothing skipped: the file up to its last entry is exactly what is written back.
    if (parsed.skipped() == 0)
        check(file.starts_with(written));

    const tovi::CodeTableParse again = tovi::parseCodeTable(written, layout);
    check(again.ok() && again.skipped() == 0 && again.table.size() == parsed.table.size());
    check(tovi::writeCodeTable(again.table) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    fuzzLayout(file, tovi::CodeTableLayout::Digits);
    fuzzLayout(file, tovi::CodeTableLayout::Letters);
    return 0;
}
