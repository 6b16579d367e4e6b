// Types a workload of words key by key through the module on the real tables, in the keypad
// scheme and in pinyin, and reports the time of each key press including the fetch of what the
// candidate window then shows.
//
//   typing_bench WORKLOAD.tsv [RUNS] [--dump FILE]
//
// Each word starts clean. Keypad: each five-stroke letter as its two keypad digits, then keypad
// 0, a second time when the first only listed the code's candidates. Pinyin: the letters, then
// Space. The last of RUNS runs (default 3) is reported, one line per scheme; --dump writes, for
// every key press of the last run, the code and the page shown, so that two builds can be
// compared.
#include "bench_support.h"
#include "engine/virtual_keys.h"
#include "latency_stats.h"
#include "platform/utf8_path.h"
#include "typing_session.h"
#include "typing_workload.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tovi::bench {
namespace {

struct Key {
    unsigned virtualKey;
    char16_t unit;
};

struct SchemeResult {
    std::vector<double> keyMicros;
    std::vector<double> commitMicros;
    std::size_t matches = 0;
    std::size_t lines = 0;
};

// FNV-1a over the dump's lines, so that two builds compare at a glance.
class PageHash {
public:
    void add(const std::string& line) {
        for (const char c : line)
            hash_ = (hash_ ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
        hash_ = (hash_ ^ '\n') * 0x100000001B3ull;
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

// One press as the dump records it: the code, the engine's counts, the page and its flags.
std::string describePress(const char* scheme, TypingSession& session,
                          const ShownCandidates& shown) {
    std::string line =
        std::string(scheme) + '\t' + platform::toUtf8(shown.code) + '\t' +
        platform::toUtf8(shown.codeHint) + '\t' + std::to_string(session.totalCount()) + '\t' +
        std::to_string(session.exactMatchCount()) + '\t' +
        (session.singleExactMatch() ? '1' : '0') + (session.selectionPending() ? '1' : '0') +
        (shown.hasPreviousPage ? '1' : '0') + (shown.hasNextPage ? '1' : '0');
    for (const std::u16string& item : shown.page)
        line += '\t' + platform::toUtf8(item);
    return line;
}

class SchemeRunner {
public:
    SchemeRunner(const char* name, TypingSession& session, Key commitKey)
        : name_(name), session_(session), commitKey_(commitKey) {}

    // Types every word once; with `hash` (the last run) every press is recorded in it, and in
    // `dump` when there is one.
    SchemeResult run(const std::vector<WorkloadWord>& words,
                     const std::vector<std::vector<Key>>& keys, std::ofstream* dump,
                     PageHash* hash) {
        SchemeResult result;
        result.keyMicros.reserve(words.size() * 12);
        result.commitMicros.reserve(words.size() * 2);
        for (std::size_t w = 0; w < words.size(); ++w) {
            session_.startWord();
            for (const Key& key : keys[w])
                result.keyMicros.push_back(timedPress(key, dump, hash));
            result.commitMicros.push_back(timedPress(commitKey_, dump, hash));
            // The two-confirm rule: the first confirm of an ambiguous code lists its candidates.
            if (session_.committed().empty() && session_.selectionPending())
                result.commitMicros.push_back(timedPress(commitKey_, dump, hash));
            ++result.lines;
            const std::string committed = platform::toUtf8(session_.committed());
            if (committed == words[w].word)
                ++result.matches;
            if (hash)
                record(std::string(name_) + "\tcommit\t" + words[w].word + '\t' + committed, dump,
                       hash);
        }
        return result;
    }

private:
    double timedPress(const Key& key, std::ofstream* dump, PageHash* hash) {
        const auto start = std::chrono::steady_clock::now();
        session_.press(key.virtualKey, key.unit, shown_);
        const auto end = std::chrono::steady_clock::now();
        if (hash)
            record(describePress(name_, session_, shown_), dump, hash);
        session_.release(key.virtualKey);
        return std::chrono::duration<double, std::micro>(end - start).count();
    }

    static void record(const std::string& line, std::ofstream* dump, PageHash* hash) {
        hash->add(line);
        if (dump)
            *dump << line << '\n';
    }

    const char* name_;
    TypingSession& session_;
    Key commitKey_;
    ShownCandidates shown_;
};

std::vector<Key> pinyinKeys(const std::string& letters) {
    std::vector<Key> keys;
    for (const char c : letters)
        keys.push_back(Key{static_cast<unsigned>('A' + (c - 'a')), static_cast<char16_t>(c)});
    return keys;
}

std::vector<Key> keypadKeys(const std::string& digits) {
    std::vector<Key> keys;
    for (const char d : digits)
        keys.push_back(Key{vk::Numpad0 + static_cast<unsigned>(d - '0'), static_cast<char16_t>(d)});
    return keys;
}

struct Options {
    std::string workload;
    int runs = 3;
    std::optional<std::string> dump;
};

std::optional<Options> parseArguments(int argc, char** argv) {
    Options options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dump" && i + 1 < argc)
            options.dump = argv[++i];
        else if (arg.starts_with("--"))
            return std::nullopt;
        else
            positional.push_back(arg);
    }
    if (positional.empty() || positional.size() > 2)
        return std::nullopt;
    options.workload = positional[0];
    if (positional.size() == 2) {
        char* end = nullptr;
        const long runs = std::strtol(positional[1].c_str(), &end, 10);
        if (*end != '\0' || runs < 1 || runs > 1000)
            return std::nullopt;
        options.runs = static_cast<int>(runs);
    }
    return options;
}

void report(const char* scheme, const SchemeResult& result, double loadMs) {
    const LatencySummary keys = summarize(result.keyMicros);
    const LatencySummary commits = summarize(result.commitMicros);
    std::printf("RESULT %s keys=%zu mean=%.2f p50=%.2f p90=%.2f p99=%.2f max=%.2f "
                "commit_mean=%.2f match=%zu lines=%zu load_ms=%.2f\n",
                scheme, keys.count, keys.mean, keys.p50, keys.p90, keys.p99, keys.max, commits.mean,
                result.matches, result.lines, loadMs);
}

struct SchemePlan {
    const char* name;
    Scheme scheme;
    Key commitKey;
    std::vector<std::vector<Key>> keys;
};

int runBenchmark(const Options& options) {
    const Workload workload = readWorkload(options.workload);
    if (!workload.error.empty()) {
        std::fprintf(stderr, "typing_bench: %s: %s\n", options.workload.c_str(),
                     workload.error.c_str());
        return 2;
    }
    const auto keypad = KeypadKeys::read(TOVI_KEYPAD_KEYS);
    if (!keypad) {
        std::fprintf(stderr, "typing_bench: cannot read %s\n", TOVI_KEYPAD_KEYS);
        return 2;
    }

    SchemePlan plans[] = {{"keypad", Scheme::Keypad, Key{vk::Numpad0, u'0'}, {}},
                          {"pinyin", Scheme::Pinyin, Key{vk::Space, u' '}, {}}};
    for (const WorkloadWord& word : workload.words) {
        const auto digits = keypad->digits(word.letters);
        if (!digits) {
            std::fprintf(stderr, "typing_bench: no keypad keys for \"%s\"\n", word.letters.c_str());
            return 2;
        }
        plans[0].keys.push_back(keypadKeys(*digits));
        plans[1].keys.push_back(pinyinKeys(word.pinyin));
    }

    std::optional<std::ofstream> dump;
    if (options.dump) {
        dump.emplace(*options.dump, std::ios::binary | std::ios::trunc);
        if (!*dump) {
            std::fprintf(stderr, "typing_bench: cannot write %s\n", options.dump->c_str());
            return 2;
        }
    }

    const std::string tag = "tovi-typing-bench-" + std::to_string(getpid());
    const DistFolder folder(tag.c_str(),
                            {"toviwb.mb", "tovipy.mb", "codePyMain.pmt", "vemoraPY.pmt",
                             "vemoraSP.pmt", "deduSPNum.pi", "dict.txt"});
    const std::u16string section(tag.begin(), tag.end());
    for (const SchemePlan& plan : plans) {
        TypingSession session(folder.installFolder(), plan.scheme, section);
        if (!session.tableLoaded()) {
            std::fprintf(stderr, "typing_bench: the %s table did not load\n", plan.name);
            return 1;
        }
        SchemeRunner runner(plan.name, session, plan.commitKey);
        SchemeResult result;
        PageHash hash;
        for (int run = 1; run <= options.runs; ++run) {
            const bool last = run == options.runs;
            result = runner.run(workload.words, plan.keys, last && dump ? &*dump : nullptr,
                                last ? &hash : nullptr);
        }
        report(plan.name, result, session.loadMilliseconds());
        std::printf("PAGES %s fnv=%016llx\n", plan.name,
                    static_cast<unsigned long long>(hash.value()));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("PEAK_RSS kib=%ld\n", usage.ru_maxrss);
    return 0;
}

} // namespace
} // namespace tovi::bench

int main(int argc, char** argv) {
    const auto options = tovi::bench::parseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: typing_bench WORKLOAD.tsv [RUNS] [--dump FILE]\n");
        return 2;
    }
    return tovi::bench::runBenchmark(*options);
}
