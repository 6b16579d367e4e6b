// Loads arbitrary bytes as a scheme's code-table file through the whole shared-memory path: one
// table refills the pools (or attaches when the bytes repeat), a second one attaches and must see
// the same entries, the searches run on both, and a word is added and deleted again. Small pools
// make the pool-full path reachable.
#include "shared_names.h"
#include "tables/code_table.h"
#include "temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace tovi;

constexpr std::size_t kPoolBytes = 64 << 10;

void check(bool condition) {
    if (!condition)
        std::abort();
}

class CountingReporter : public CodeTableReporter {
public:
    void messageBox(std::u16string_view text, std::u16string_view caption, Style) override {
        check(!text.empty() && !caption.empty());
        ++shown;
    }
    int shown = 0;
};

struct Setup {
    test::TempFolder folder;
    test::SharedNames names;
};

Setup& setup() {
    static Setup s;
    return s;
}

CodeTableOptions options(int scheme, std::uint32_t instance) {
    CodeTableOptions o;
    o.scheme = schemeFromIndex(scheme);
    o.folder =
        platform::InstallFolder(setup().folder.installFolder(), setup().folder.installFolder());
    o.instanceNumber = instance;
    o.nameSuffix = setup().names.suffix();
    o.poolBytes = kPoolBytes;
    o.lockMilliseconds = 100;
    return o;
}

// Every entry lies inside the pools and begins with its bucket's key.
void checkView(const CodeTableView& view) {
    const std::size_t units = kPoolBytes / sizeof(char16_t);
    for (std::size_t k = 0; k < bucketCount(view.layout); ++k) {
        const char16_t key = static_cast<char16_t>(firstKey(view.layout) + k);
        const auto [first, last] = view.bucket(key);
        for (std::size_t i = first; i < last; ++i) {
            const IndexEntry& e = view.entries[i];
            check(e.code + e.codeUnits < units && e.text + e.textUnits < units);
            check(e.codeUnits > 0 && e.textUnits > 0 && view.code(i).front() == key);
        }
    }
}

void checkSameEntries(const CodeTableView& a, const CodeTableView& b) {
    check(a.size() == b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        check(a.code(i) == b.code(i) && a.text(i) == b.text(i));
}

void search(const CodeTableView& view, std::u16string_view code) {
    ExactMatch exact;
    SearchOptions traditional;
    traditional.traditionalOutput = true;
    for (const SearchOptions& o : {SearchOptions{}, traditional}) {
        findByCode(view, code, o, exact);
        findByLetters(view, code, o);
        findByWildcard(view, code, o);
        if (!code.empty())
            findContinuations(view, code, u"中", o);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int scheme = (data[0] & 1) ? 2 : 1;
    const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
    setup().folder.write(scheme == 1 ? "toviwb.mb" : "tovipy.mb", file);

    CountingReporter reporter;
    CodeTable first(options(scheme, 1), reporter, setup().names.section());
    first.load();
    CodeTable second(options(scheme, 2), reporter, setup().names.section());
    second.load();
    check(first.loaded() == second.loaded());
    // A refused file is reported by each load, a loaded one by none.
    check(first.loaded() ? reporter.shown == 0 : reporter.shown == 2);
    if (!first.loaded())
        return 0;
    check(!second.lastLoad().refilled);
    checkView(first.view());
    checkSameEntries(first.view(), second.view());

    // Codes to search: the first entry's and a few typed from the input's bytes.
    std::u16string typed;
    for (std::size_t i = 1; i < size && typed.size() < 6; ++i)
        typed.push_back(static_cast<char16_t>(data[i] & 0x7F));
    search(second.view(), typed);
    if (first.view().size() == 0)
        return 0;
    const std::u16string code(first.view().code(0));
    search(second.view(), code);
    search(second.view(), code.substr(0, 1) + u"z");

    // An edit is seen by the other table after its next refresh. The first of them to reload
    // refills the pools, so the editing table must refresh too, as every search does.
    const std::u16string word = code.substr(0, kMaxFieldBytes - 1) + code.substr(0, 1);
    if (first.addWord(word, u"字")) {
        for (int i = 0; i < 2; ++i) {
            second.refreshIfStale();
            first.refreshIfStale();
            check(first.loaded() && second.loaded() && first.isCurrent() && second.isCurrent());
            checkView(first.view());
            checkSameEntries(first.view(), second.view());
            if (i == 0)
                check(first.deleteWord(word, u"字"));
        }
    }
    return 0;
}
