// How tables in several processes share the pools: a refill warns the others before it writes,
// and a table that cannot have the shared pools makes pools of its own, still follows the
// others' saves and announces its own, writing no pool they read.
#include "code_table_test_support.h"

#include "tables/code_table_index.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tovi {
namespace {

using test::Entries;
using test::RecordingReporter;
using Candidates = std::vector<std::u16string>;

const Entries kFirst = {{u"12", u"中"}, {u"12", u"钟"}, {u"13", u"人"}, {u"2", u"二"}};
const Entries kSecond = {{u"12", u"钟"}, {u"12", u"中"}, {u"13", u"人"}, {u"2", u"二"}};

class CodeTableSharing : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::SharedNames names;
    RecordingReporter reporter;

    std::unique_ptr<CodeTable> table(std::uint32_t instance, std::size_t poolBytes = 1 << 20) {
        CodeTableOptions options;
        options.scheme = Scheme::Keypad;
        options.folder = platform::InstallFolder(folder.installFolder(), folder.installFolder());
        options.instanceNumber = instance;
        options.nameSuffix = names.suffix();
        options.poolBytes = poolBytes;
        return std::make_unique<CodeTable>(options, reporter, names.section());
    }
    void write(const Entries& entries) {
        folder.write("toviwb.mb", test::tableFile(CodeTableLayout::Digits, entries));
    }
    static Candidates byCode(const CodeTable& t, std::u16string_view code) {
        ExactMatch exact;
        return findByCode(t.view(), code, SearchOptions{}, exact);
    }
    const CodeTableSchemeControl& shared() const {
        return codeTableControl(*names.section()).schemes[0];
    }
};

// In a child process: every mapping of the scheme's pools made read-only, so that the first
// write into them faults.
std::string poolPath(const std::u16string& name) {
    std::string path = "/dev/shm/";
    for (const char16_t c : name)
        path += static_cast<char>(c);
    return path;
}

void protectMappingsOf(const std::vector<std::string>& paths) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        std::istringstream fields(line);
        std::string range, perms, offset, device, inode, path;
        fields >> range >> perms >> offset >> device >> inode >> path;
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            continue;
        const auto dash = range.find('-');
        const auto from = std::stoull(range.substr(0, dash), nullptr, 16);
        const auto to = std::stoull(range.substr(dash + 1), nullptr, 16);
        ::mprotect(reinterpret_cast<void*>(from), to - from, PROT_READ);
    }
}

int gFaults = -1;
void reportFaultAndEnd(int) {
    const char byte = 'w';
    [[maybe_unused]] const auto n = ::write(gFaults, &byte, 1);
    ::_exit(0);
}

// Another process refills the pools (the file changed) while this one holds a list over them.
// The refiller is stopped at its first write into the pools: by then the list must already know
// that its strings are no longer current, or it would show half-written ones.
TEST_F(CodeTableSharing, ARefillTellsTheOtherProcessesBeforeItOverwritesTheirStrings) {
    write(kFirst);
    auto reader = table(1);
    reader->load();
    ASSERT_TRUE(reader->loaded() && reader->lastLoad().refilled);
    ExactMatch exact;
    const auto list = listByCode(reader->heldView(), u"12", SearchOptions{}, exact);
    ASSERT_EQ(allItems(*list), (Candidates{u"中", u"钟"}));

    // The file becomes a pipe, so that the refiller's pools are mapped and protected before it
    // has the bytes to write into them.
    const std::string file = folder.file("toviwb.mb");
    ASSERT_EQ(::unlink(file.c_str()), 0);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    const std::string second = test::tableFile(CodeTableLayout::Digits, kSecond);
    const auto pools = codeTableNames(Scheme::Keypad, names.suffix());
    int faults[2];
    ASSERT_EQ(::pipe(faults), 0);

    const pid_t refiller = ::fork();
    if (refiller == 0) {
        ::close(faults[0]);
        gFaults = faults[1];
        struct sigaction action {};
        action.sa_handler = reportFaultAndEnd;
        ::sigaction(SIGSEGV, &action, nullptr);
        ::sigaction(SIGBUS, &action, nullptr);
        std::thread feeder([&] {
            // Opening the pipe waits until the load opens the file, after it mapped the pools.
            const int fd = ::open(file.c_str(), O_WRONLY);
            protectMappingsOf({poolPath(pools->codePool), poolPath(pools->textPool)});
            [[maybe_unused]] const auto n = ::write(fd, second.data(), second.size());
            ::close(fd);
        });
        feeder.detach();
        RecordingReporter quiet;
        CodeTableOptions options;
        options.scheme = Scheme::Keypad;
        options.folder = platform::InstallFolder(folder.installFolder(), folder.installFolder());
        options.instanceNumber = 2;
        options.nameSuffix = names.suffix();
        options.poolBytes = 1 << 20;
        CodeTable(options, quiet, names.section()).load();
        ::_exit(1); // the refill never wrote into the pools
    }
    ASSERT_GT(refiller, 0);
    ::close(faults[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(refiller, &status, 0), refiller);
    char byte = 0;
    ASSERT_EQ(::read(faults[0], &byte, 1), 1) << "the refiller ended before writing a string";
    ::close(faults[0]);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(list->text(0), u"");
    EXPECT_EQ(list->length(1), 0u);
    EXPECT_FALSE(reader->isCurrent());
    // The next process to load refills what the refiller left half done.
    ASSERT_EQ(::unlink(file.c_str()), 0);
    write(kSecond);
    reader->refreshIfStale();
    EXPECT_TRUE(reader->lastLoad().refilled);
    EXPECT_EQ(byCode(*reader, u"12"), (Candidates{u"钟", u"中"}));
}

// A table whose pools cannot be opened as the shared ones (here: they exist smaller than it
// asks) types from pools of its own and leaves the shared block alone.
TEST_F(CodeTableSharing, PoolsThatCannotBeOpenedGiveTheTablePoolsOfItsOwn) {
    write(kFirst);
    auto holder = table(1, 1 << 16);
    holder->load();
    ASSERT_TRUE(holder->loaded() && !holder->ownPools());
    const std::uint32_t generation = shared().generation;

    auto own = table(2, 1 << 20);
    own->load();
    EXPECT_TRUE(reporter.boxes.empty());
    ASSERT_TRUE(own->loaded());
    EXPECT_TRUE(own->ownPools());
    EXPECT_TRUE(own->lastLoad().refilled);
    EXPECT_EQ(byCode(*own, u"12"), (Candidates{u"中", u"钟"}));
    EXPECT_TRUE(own->isCurrent());
    // Nothing of the shared block changed: not the generation, not the mask.
    EXPECT_EQ(shared().generation, generation);
    EXPECT_EQ(shared().mappedMask, 1u << 1);
    EXPECT_TRUE(holder->isCurrent());
}

TEST_F(CodeTableSharing, ATableWithPoolsOfItsOwnFollowsTheOtherProcessesSaves) {
    write(kFirst);
    auto holder = table(1, 1 << 16);
    holder->load();
    auto own = table(2, 1 << 20);
    own->load();
    ASSERT_TRUE(own->ownPools());
    ExactMatch exact;
    const auto list = listByCode(own->heldView(), u"12", SearchOptions{}, exact);

    holder->promote(u"12", u"钟");
    EXPECT_FALSE(own->isCurrent());
    own->refreshIfStale();
    EXPECT_TRUE(own->ownPools());
    EXPECT_EQ(byCode(*own, u"12"), (Candidates{u"钟", u"中"}));
    ASSERT_TRUE(holder->addWord(u"14", u"文", [](std::u16string_view) {}));
    own->refreshIfStale();
    EXPECT_EQ(byCode(*own, u"14"), (Candidates{u"文"}));
    // The list of the first load keeps its own pools and its page.
    EXPECT_EQ(allItems(*list), (Candidates{u"中", u"钟"}));
    EXPECT_TRUE(reporter.boxes.empty());
}

TEST_F(CodeTableSharing, EditsOfATableWithPoolsOfItsOwnAreSavedAndOnlyAnnounced) {
    write(kFirst);
    auto holder = table(1, 1 << 16);
    holder->load();
    auto own = table(2, 1 << 20);
    own->load();
    ASSERT_TRUE(own->ownPools());
    const std::uint32_t generation = shared().generation;
    const std::int32_t codeFill = shared().codeFill;

    ASSERT_TRUE(own->addWord(u"14", u"文", [](std::u16string_view) {}));
    own->refreshIfStale();
    EXPECT_EQ(byCode(*own, u"14"), (Candidates{u"文"}));
    own->promote(u"12", u"钟");
    own->refreshIfStale();
    EXPECT_EQ(byCode(*own, u"12"), (Candidates{u"钟", u"中"}));
    ASSERT_TRUE(own->deleteWord(u"13", u"人", [](std::u16string_view) {}));
    own->refreshIfStale();
    EXPECT_TRUE(byCode(*own, u"13").empty());

    // The file has every edit; the shared pools were not touched, but the generation moved on
    // so that the other processes load the file again.
    const CodeTableParse parsed = parseCodeTable(folder.read("toviwb.mb"), CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.table.size(), 4u);
    EXPECT_NE(shared().generation, generation);
    EXPECT_EQ(shared().codeFill, codeFill);
    EXPECT_FALSE(holder->isCurrent());
    holder->refreshIfStale();
    EXPECT_EQ(byCode(*holder, u"12"), (Candidates{u"钟", u"中"}));
    EXPECT_TRUE(byCode(*holder, u"13").empty());
    EXPECT_TRUE(reporter.boxes.empty());
}

} // namespace
} // namespace tovi
