// Types the typing benchmark's workload through librime, for comparison with tovi on the same
// words: the five-stroke letters in librime's wubi86 schema, the pinyin in pinyin_simp. Each
// letter is timed from the key to the fetch of the context that a front end reads to show the
// candidates; Space then commits the first candidate, which is compared with the word.
//
//   rime_typing_bench WORKLOAD.tsv [RUNS]
//
// Learning is off (no user dictionary, no phrase encoder), so that every run types into the
// same dictionaries. The tables are the ones Debian's rime-data packages ship prebuilt; the user
// folder is a fresh temporary one, removed at the end. The output has the line format of
// typing_bench: "RESULT <schema> keys=... mean=... p50=... p90=... p99=... max=...
// commit_mean=... match=... lines=...", in microseconds.
#include "latency_stats.h"
#include "typing_workload.h"

#include <rime_api.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tovi::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSpace = 0x20; // the X key symbol of Space; a to z are their ASCII codes too
constexpr std::size_t kMissesShown = 5;

// A librime structure with its size field set, the rest zero.
template <typename T>
T rimeStruct() {
    T value{};
    value.data_size = static_cast<int>(sizeof(T) - sizeof(value.data_size));
    return value;
}

double microsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A temporary folder that goes with its contents.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "rime_typing_bench.XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool made() const { return !path_.empty(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

bool writeFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// The user folder: both schemas in the schema list, learning off in each.
bool writeUserSettings(const fs::path& user) {
    const std::string noLearning = "patch:\n"
                                   "  translator/enable_user_dict: false\n"
                                   "  translator/enable_encoder: false\n"
                                   "  translator/encode_commit_history: false\n";
    return writeFile(user / "default.custom.yaml", "patch:\n"
                                                   "  schema_list:\n"
                                                   "    - schema: wubi86\n"
                                                   "    - schema: pinyin_simp\n") &&
           writeFile(user / "wubi86.custom.yaml", noLearning) &&
           writeFile(user / "pinyin_simp.custom.yaml", noLearning);
}

struct SchemaResult {
    std::vector<double> keyMicros;
    std::vector<double> commitMicros;
    std::size_t matches = 0;
    std::size_t lines = 0;
    std::vector<std::string> misses;
};

class RimeSession {
public:
    RimeSession(RimeApi& rime, const char* schema) : rime_(rime), id_(rime.create_session()) {
        if (!id_ || !rime_.select_schema(id_, schema))
            return;
        char current[64] = {};
        selected_ = rime_.get_current_schema(id_, current, sizeof current) &&
                    std::string(current) == schema;
        rime_.set_option(id_, "ascii_mode", False);
    }
    ~RimeSession() {
        if (id_)
            rime_.destroy_session(id_);
    }
    RimeSession(const RimeSession&) = delete;
    RimeSession& operator=(const RimeSession&) = delete;

    bool selected() const { return selected_; }

    // A key, then the context a front end would read to show the code and the candidates.
    void typeKey(int key) {
        rime_.process_key(id_, key, 0);
        RimeContext context = rimeStruct<RimeContext>();
        if (rime_.get_context(id_, &context))
            rime_.free_context(&context);
    }
    // The text committed since the last call, if any.
    std::optional<std::string> takeCommit() {
        RimeCommit commit = rimeStruct<RimeCommit>();
        if (!rime_.get_commit(id_, &commit))
            return std::nullopt;
        std::string text = commit.text ? commit.text : "";
        rime_.free_commit(&commit);
        return text;
    }
    // Untimed: every word starts on an empty composition.
    void startWord() {
        rime_.clear_composition(id_);
        takeCommit();
    }

private:
    RimeApi& rime_;
    RimeSessionId id_;
    bool selected_ = false;
};

SchemaResult typeWorkload(RimeSession& session, const std::vector<WorkloadWord>& words,
                          bool fiveStroke) {
    SchemaResult result;
    result.keyMicros.reserve(words.size() * 12);
    result.commitMicros.reserve(words.size());
    for (const WorkloadWord& word : words) {
        const std::string& code = fiveStroke ? word.letters : word.pinyin;
        session.startWord();
        for (const char letter : code) {
            const auto start = Clock::now();
            session.typeKey(static_cast<unsigned char>(letter));
            result.keyMicros.push_back(microsSince(start));
        }
        // A five-stroke code may have committed itself at its last letter; Space then only
        // fetches that commit.
        const auto start = Clock::now();
        session.typeKey(kSpace);
        const std::optional<std::string> committed = session.takeCommit();
        result.commitMicros.push_back(microsSince(start));
        ++result.lines;
        if (committed == word.word)
            ++result.matches;
        else if (result.misses.size() < kMissesShown)
            result.misses.push_back(word.word + "/" + code + "->" +
                                    committed.value_or("(nothing)"));
    }
    return result;
}

void report(const char* schema, const SchemaResult& result, double deployMillis) {
    const LatencySummary keys = summarize(result.keyMicros);
    const LatencySummary commits = summarize(result.commitMicros);
    std::printf("RESULT %s keys=%zu mean=%.2f p50=%.2f p90=%.2f p99=%.2f max=%.2f "
                "commit_mean=%.2f match=%zu lines=%zu deploy_ms=%.2f\n",
                schema, keys.count, keys.mean, keys.p50, keys.p90, keys.p99, keys.max, commits.mean,
                result.matches, result.lines, deployMillis);
    if (!result.misses.empty()) {
        std::printf("MISSES %s", schema);
        for (const std::string& miss : result.misses)
            std::printf(" %s", miss.c_str());
        std::printf("\n");
    }
}

std::string deployStatus;

void onNotification(void*, RimeSessionId, const char* type, const char* value) {
    if (type && value && std::string(type) == "deploy")
        deployStatus = value;
}

int run(const char* workloadFile, int runs) {
    const Workload workload = readWorkload(workloadFile);
    if (!workload.error.empty()) {
        std::fprintf(stderr, "rime_typing_bench: %s: %s\n", workloadFile, workload.error.c_str());
        return 2;
    }
    RimeApi* rime = rime_get_api();
    const ScratchFolder scratch;
    if (!rime || !scratch.made()) {
        std::fprintf(stderr, "rime_typing_bench: no librime API or no scratch folder\n");
        return 1;
    }
    const fs::path user = scratch.path() / "user";
    const fs::path log = scratch.path() / "log";
    std::error_code error;
    fs::create_directories(user, error);
    fs::create_directories(log, error);
    if (error || !writeUserSettings(user)) {
        std::fprintf(stderr, "rime_typing_bench: cannot write %s\n", user.c_str());
        return 1;
    }

    const std::string userDir = user.string();
    const std::string logDir = log.string();
    RimeTraits traits = rimeStruct<RimeTraits>();
    traits.shared_data_dir = "/usr/share/rime-data";
    traits.user_data_dir = userDir.c_str();
    traits.log_dir = logDir.c_str();
    traits.distribution_name = "tovi-bench";
    traits.distribution_code_name = "tovi-bench";
    traits.distribution_version = "1";
    traits.app_name = "rime.tovi-bench";
    traits.min_log_level = 2; // errors only: no logging while timing
    rime->setup(&traits);
    rime->set_notification_handler(&onNotification, nullptr);

    // Deployment applies the user settings to the prebuilt tables; timed on its own.
    const auto deployStart = Clock::now();
    rime->initialize(&traits);
    if (rime->start_maintenance(True))
        rime->join_maintenance_thread();
    const double deployMillis = microsSince(deployStart) / 1000;
    const char* version = RIME_API_AVAILABLE(rime, get_version) ? rime->get_version() : "?";
    std::printf("LIBRIME %s\n", version);
    int status = 0;
    if (deployStatus == "failure") {
        std::fprintf(stderr, "rime_typing_bench: deployment failed (log in %s)\n", logDir.c_str());
        status = 1;
    }

    for (const char* schema : {"wubi86", "pinyin_simp"}) {
        RimeSession session(*rime, schema);
        if (!session.selected()) {
            std::fprintf(stderr, "rime_typing_bench: cannot select schema %s\n", schema);
            status = 1;
            continue;
        }
        const bool fiveStroke = std::string(schema) == "wubi86";
        SchemaResult result;
        for (int i = 0; i < runs; ++i)
            result = typeWorkload(session, workload.words, fiveStroke);
        report(schema, result, deployMillis);
    }
    rime->finalize();
    return status;
}

} // namespace
} // namespace tovi::bench

int main(int argc, char** argv) {
    long runs = 3;
    char* end = nullptr;
    if (argc == 3)
        runs = std::strtol(argv[2], &end, 10);
    if (argc < 2 || argc > 3 || (end && *end != '\0') || runs < 1 || runs > 1000) {
        std::fprintf(stderr, "usage: rime_typing_bench WORKLOAD.tsv [RUNS]\n");
        return 2;
    }
    return tovi::bench::run(argv[1], static_cast<int>(runs));
}
