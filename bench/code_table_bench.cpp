// Loads, lookups and edits on synthetic tables shaped like the real ones: about 140,000 keypad
// entries and 65,000 pinyin entries, with one bucket much larger than the rest.
#include "shared_names.h"
#include "tables/code_table.h"
#include "temp_folder.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace tovi {
namespace {

class SilentReporter : public CodeTableReporter {
public:
    void messageBox(std::u16string_view, std::u16string_view, Style) override {}
};

// GBK text of n characters from the common-character rows (B0A1 .. D7F9).
std::string gbkText(std::mt19937& random, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s.push_back(static_cast<char>(0xB0 + random() % 40));
        s.push_back(static_cast<char>(0xA1 + random() % 94));
    }
    return s;
}

void putInt32(std::string& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
}

// A file whose bucket k holds weights[k] parts of `entries`, codes made of `keys`.
std::string syntheticTable(CodeTableLayout layout, int entries, std::u16string_view keys) {
    std::mt19937 random(7);
    const std::size_t buckets = bucketCount(layout);
    std::vector<int> counts(buckets);
    int total = 0;
    for (std::size_t k = 0; k < buckets; ++k) {
        // The first bucket is about four times the others, as "1" and "s" are in real tables.
        counts[k] = static_cast<int>(entries / (buckets + 3)) * (k == 0 ? 4 : 1);
        total += counts[k];
    }
    counts[1] += entries - total;
    std::string body;
    for (std::size_t k = 0; k < buckets; ++k) {
        for (int i = 0; i < counts[k]; ++i) {
            std::string code(1, static_cast<char>(firstKey(layout) + k));
            const int length =
                1 + static_cast<int>(random() % (layout == CodeTableLayout::Digits ? 7 : 9));
            for (int j = 0; j < length; ++j)
                code.push_back(static_cast<char>(keys[random() % keys.size()]));
            const std::string text = gbkText(random, 1 + static_cast<int>(random() % 4));
            body.push_back(static_cast<char>(code.size()));
            body += code;
            body.push_back(static_cast<char>(text.size()));
            body += text;
        }
    }
    std::string file;
    for (const int c : counts)
        putInt32(file, c);
    int start = 0;
    putInt32(file, 0);
    for (const int c : counts)
        putInt32(file, start += c);
    return file + body;
}

struct Fixture {
    test::TempFolder folder;
    test::SharedNames names;
    SilentReporter reporter;

    Fixture() {
        folder.write("toviwb.mb", syntheticTable(CodeTableLayout::Digits, 140000, u"12345"));
        folder.write("tovipy.mb", syntheticTable(CodeTableLayout::Letters, 65000,
                                                 u"abcdefghijklmnopqrstuvwxyz"));
    }
    CodeTable table(int scheme, std::uint32_t instance) {
        CodeTableOptions options;
        options.scheme = schemeFromIndex(scheme);
        options.folder = platform::InstallFolder(folder.installFolder(), folder.installFolder());
        options.instanceNumber = instance;
        options.nameSuffix = names.suffix();
        return CodeTable(options, reporter, names.section());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Forces the next load to refill: the pools no longer match the file.
void makeStale(int scheme) {
    codeTableControl(*platform::sharedControlSection()).schemes[scheme - 1].stale = 1;
}

void FirstLoad(benchmark::State& state) {
    const int scheme = static_cast<int>(state.range(0));
    auto& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        makeStale(scheme);
        CodeTable t = f.table(scheme, 1);
        state.ResumeTiming();
        t.load();
        benchmark::DoNotOptimize(t.view().entries.data());
        state.PauseTiming();
        if (!t.lastLoad().refilled)
            state.SkipWithError("did not refill");
        state.counters["entries"] = static_cast<double>(t.lastLoad().entries);
        state.ResumeTiming();
    }
}
BENCHMARK(FirstLoad)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void AttachingLoad(benchmark::State& state) {
    const int scheme = static_cast<int>(state.range(0));
    auto& f = fixture();
    CodeTable first = f.table(scheme, 1);
    first.load();
    for (auto _ : state) {
        CodeTable t = f.table(scheme, 2);
        t.load();
        if (t.lastLoad().refilled)
            state.SkipWithError("refilled");
        benchmark::DoNotOptimize(t.view().entries.data());
    }
}
BENCHMARK(AttachingLoad)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void FindByCodeLargestBucket(benchmark::State& state) {
    auto& f = fixture();
    CodeTable t = f.table(1, 1);
    t.load();
    ExactMatch exact;
    // A short code: the whole bucket is scanned until 150 candidates are taken.
    const std::u16string code = state.range(0) == 0 ? u"1" : u"1523";
    for (auto _ : state)
        benchmark::DoNotOptimize(findByCode(t.view(), code, SearchOptions{}, exact));
    const auto [first, last] = t.view().bucket(u'1');
    state.counters["bucket"] = static_cast<double>(last - first);
}
BENCHMARK(FindByCodeLargestBucket)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void FindByLettersLargestBucket(benchmark::State& state) {
    auto& f = fixture();
    CodeTable t = f.table(2, 1);
    t.load();
    const std::u16string code = state.range(0) == 0 ? u"ab" : u"abcd";
    for (auto _ : state)
        benchmark::DoNotOptimize(findByLetters(t.view(), code, SearchOptions{}));
    const auto [first, last] = t.view().bucket(u'a');
    state.counters["bucket"] = static_cast<double>(last - first);
}
BENCHMARK(FindByLettersLargestBucket)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void AddWordAndSave(benchmark::State& state) {
    auto& f = fixture();
    CodeTable t = f.table(1, 1);
    t.load();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        t.refreshIfStale();
        const std::u16string code = u"15" + std::u16string(1, static_cast<char16_t>(u'1' + n % 5)) +
                                    std::u16string(1, static_cast<char16_t>(u'1' + n / 5 % 5));
        const std::u16string text(1, static_cast<char16_t>(0x4E00 + n++));
        state.ResumeTiming();
        if (!t.addWord(code, text))
            state.SkipWithError("addWord refused");
    }
}
BENCHMARK(AddWordAndSave)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace tovi
