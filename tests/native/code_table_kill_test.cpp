// A process killed at any moment while it edits a code table (inside a save, a refill of the
// pools, or holding the scheme's mutex) must leave the file whole and the other processes' tables
// working: the file is always a table the editor could have written, never a mix or a truncation,
// and the processes attached to the same pools go on typing and editing.
#include "code_table_test_support.h"

#include "tables/code_table_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <poll.h>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tovi {
namespace {

using test::Entries;

// A table of some thousands of entries, so that a save takes long enough for kills to land in
// every part of it.
Entries baseTable() {
    Entries entries;
    for (char16_t bucket = u'1'; bucket <= u'9'; ++bucket) {
        for (int i = 0; i < 300; ++i) {
            std::u16string code(1, bucket);
            for (int n = i, digits = 0; digits < 3; ++digits, n /= 5)
                code += static_cast<char16_t>(u'1' + n % 5);
            const std::string number = std::to_string((bucket - u'1') * 1000 + i);
            entries.emplace_back(code, u"词" + std::u16string(number.begin(), number.end()));
        }
    }
    return entries;
}

// The words the editor adds and deletes in turn; their codes fall among the base table's.
const Entries kToggled = {{u"1234", u"甲"},   {u"2", u"乙乙"},  {u"5555", u"丙"},
                          {u"91", u"丁丁丁"}, {u"3333", u"戊"}, {u"7", u"己"}};

// The word the surviving process adds and deletes after every kill.
const std::pair<std::u16string, std::u16string> kSurvivorWord = {u"4444", u"庚"};

void quiet(std::u16string_view) {}

class CodeTableKillTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = baseTable();
        folder.write("toviwb.mb", test::tableFile(CodeTableLayout::Digits, base));
        ASSERT_FALSE(folder.read("toviwb.mb").empty());
    }

    std::unique_ptr<CodeTable> table(std::uint32_t instance, test::RecordingReporter& reporter) {
        CodeTableOptions options;
        options.scheme = Scheme::Keypad;
        options.folder = platform::InstallFolder(folder.installFolder(), folder.installFolder());
        options.instanceNumber = instance;
        options.nameSuffix = names.suffix();
        options.poolBytes = 4 << 20;
        // Long enough never to time out here: a timed-out lock is a stuck mutex.
        options.lockMilliseconds = 10000;
        return std::make_unique<CodeTable>(options, reporter, names.section());
    }

    // Starts a process that loads the table and toggles the words of kToggled for ever, writing
    // one byte to `progress` after each completed edit.
    pid_t startEditor(int progress) {
        const pid_t pid = ::fork();
        if (pid != 0)
            return pid;
        test::RecordingReporter reporter;
        auto editor = table(3, reporter);
        editor->load();
        for (std::size_t k = 0;; k = (k + 1) % kToggled.size()) {
            const auto& [code, text] = kToggled[k];
            if (!editor->deleteWord(code, text, quiet) && !editor->addWord(code, text, quiet))
                ::_exit(1);
            if (::write(progress, "e", 1) != 1)
                ::_exit(2);
        }
    }

    // The file parses whole, with nothing skipped and nothing after its last entry, and holds
    // the base table in its order with at most one of each toggled word besides. Returns the
    // toggled words it holds.
    ::testing::AssertionResult wholeTable(const std::string& bytes, std::set<std::size_t>& held) {
        const CodeTableParse parsed = parseCodeTable(bytes, CodeTableLayout::Digits);
        if (!parsed.ok())
            return ::testing::AssertionFailure() << "refused: " << describe(parsed.fault);
        if (parsed.skipped() != 0 || writeCodeTable(parsed.table) != bytes)
            return ::testing::AssertionFailure() << "not exactly a written table";
        held.clear();
        std::size_t next = 0;
        for (std::size_t i = 0; i < parsed.table.size(); ++i) {
            const auto code = parsed.table.code(i);
            const auto text = parsed.table.text(i);
            if (next < base.size() && base[next].first == code && base[next].second == text) {
                ++next;
                continue;
            }
            const auto toggled = std::find(kToggled.begin(), kToggled.end(),
                                           std::pair(std::u16string(code), std::u16string(text)));
            if (toggled == kToggled.end() ||
                !held.insert(static_cast<std::size_t>(toggled - kToggled.begin())).second)
                return ::testing::AssertionFailure() << "unexpected entry " << i;
        }
        if (next != base.size())
            return ::testing::AssertionFailure() << "lost base entries from " << next;
        return ::testing::AssertionSuccess();
    }

    // The table, once current, lists exactly the file's entries, and finds a base word and
    // every toggled word the file holds.
    ::testing::AssertionResult typesTheFile(CodeTable& t, const std::string& bytes,
                                            const std::set<std::size_t>& held) {
        t.refreshIfStale();
        if (!t.loaded() || !t.isCurrent())
            return ::testing::AssertionFailure() << "no current table";
        const CodeTableParse parsed = parseCodeTable(bytes, CodeTableLayout::Digits);
        const CodeTableView view = t.view();
        if (view.size() != parsed.table.size())
            return ::testing::AssertionFailure()
                   << view.size() << " entries indexed, " << parsed.table.size() << " in the file";
        for (std::size_t i = 0; i < view.size(); ++i)
            if (view.code(i) != parsed.table.code(i) || view.text(i) != parsed.table.text(i))
                return ::testing::AssertionFailure() << "entry " << i << " differs from the file";
        ExactMatch exact;
        const auto candidates = findByCode(view, u"1111", SearchOptions{}, exact);
        if (candidates.empty() || candidates.front() != u"词0")
            return ::testing::AssertionFailure() << "1111 does not type 词0";
        for (const std::size_t k : held) {
            const auto found = findByCode(view, kToggled[k].first, SearchOptions{}, exact);
            if (std::find(found.begin(), found.end(), kToggled[k].second) == found.end())
                return ::testing::AssertionFailure() << "toggled word " << k << " not typed";
        }
        return ::testing::AssertionSuccess();
    }

    // A kill, unlike a power cut, does not care where the file lives: in memory, the many saves
    // cost nothing.
    test::TempFolder folder{test::TempFolder::inMemory()};
    test::SharedNames names;
    Entries base;
};

// Each kill forks a process, which AddressSanitizer makes far slower; its part is to watch the
// same paths, not to land more kills.
#ifdef __SANITIZE_ADDRESS__
constexpr int kKills = 30;
#else
constexpr int kKills = 100;
#endif

// Waits for `count` bytes of progress; false when the editor stops making progress (ended, or
// stuck for ten seconds: a lock that never comes back).
bool awaitEdits(int progress, int count) {
    char byte = 0;
    while (count > 0) {
        pollfd fd{progress, POLLIN, 0};
        const int ready = ::poll(&fd, 1, 10000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready != 1 || ::read(progress, &byte, 1) != 1)
            return false;
        --count;
    }
    return true;
}

TEST_F(CodeTableKillTest, AnEditorKilledAtAnyMomentLeavesAWholeFileAndWorkingTables) {
    test::RecordingReporter reporter;
    auto typist = table(1, reporter);
    typist->load();
    auto other = table(2, reporter);
    other->load();
    ASSERT_TRUE(typist->loaded() && other->loaded());
    ASSERT_FALSE(other->lastLoad().refilled);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> edits(1, 3);
    std::uniform_int_distribution<int> delayMicros(0, 4000);
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        int pipes[2];
        ASSERT_EQ(::pipe(pipes), 0);
        const pid_t editor = startEditor(pipes[1]);
        ASSERT_GT(editor, 0);
        ::close(pipes[1]);
        // At least one edit, then a moment anywhere in the next ones.
        const bool edited = awaitEdits(pipes[0], edits(random));
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        ::kill(editor, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(editor, &status, 0), editor);
        ::close(pipes[0]);
        ASSERT_TRUE(edited) << "the editor stopped editing";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        const std::string bytes = folder.read("toviwb.mb");
        std::set<std::size_t> held;
        ASSERT_TRUE(wholeTable(bytes, held));
        ASSERT_TRUE(typesTheFile(*typist, bytes, held));
        ASSERT_TRUE(typesTheFile(*other, bytes, held));

        // The survivors edit: the mutex is free again and the file takes their word and loses
        // it again, back to the same bytes.
        const auto& [code, text] = kSurvivorWord;
        ASSERT_TRUE(typist->addWord(code, text, quiet));
        other->refreshIfStale();
        ExactMatch exact;
        const auto found = findByCode(other->view(), code, SearchOptions{}, exact);
        ASSERT_NE(std::find(found.begin(), found.end(), text), found.end());
        ASSERT_TRUE(other->deleteWord(code, text, quiet));
        ASSERT_EQ(folder.read("toviwb.mb"), bytes);
    }
    EXPECT_TRUE(reporter.boxes.empty());
}

} // namespace
} // namespace tovi
