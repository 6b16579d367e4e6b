// The shared code table between real processes under Wine, through the Win32 platform layer:
// named file mappings, the shared section of the image and a named mutex.
#include "platform/named_mutex.h"
#include "platform/shared_section.h"
#include "tables/code_table.h"
#include "tables/code_table_file.h"
#include "tables/code_table_index.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovi {
namespace {

using wintest::InstallPathValue;
using wintest::ScratchFolder;
using Candidates = std::vector<std::u16string>;

class SilentReporter : public CodeTableReporter {
public:
    void messageBox(std::u16string_view, std::u16string_view, Style) override { ++boxes; }
    int boxes = 0;
};

std::u16string suffixOf(const std::wstring& s) {
    return std::u16string(s.begin(), s.end());
}

CodeTableOptions options(std::uint32_t instance, const std::u16string& suffix) {
    CodeTableOptions o;
    o.scheme = Scheme::Keypad;
    o.folder = platform::InstallFolder::fromSystem();
    o.instanceNumber = instance;
    o.nameSuffix = suffix;
    return o;
}

Candidates byCode(const CodeTable& table, std::u16string_view code) {
    ExactMatch exact;
    return findByCode(table.view(), code, SearchOptions{}, exact);
}

std::string keypadFile() {
    CodeTableData data(CodeTableLayout::Digits);
    data.append(u"11", u"一");
    data.append(u"1234", u"中国");
    data.append(u"12", u"中");
    data.append(u"2", u"二");
    return writeCodeTable(data);
}

// Child modes: attach and check the strings, or add a word (which saves).
int childMain(const std::string& mode, const std::u16string& suffix) {
    SilentReporter reporter;
    CodeTable table(options(2, suffix), reporter, platform::sharedControlSection());
    table.load();
    if (!table.loaded() || reporter.boxes)
        return 10;
    if (mode == "--attach")
        return !table.lastLoad().refilled && byCode(table, u"12") == Candidates{u"中国34", u"中"}
                   ? 0
                   : 11;
    if (mode == "--add")
        return table.addWord(u"13", u"文") && reporter.boxes == 0 ? 0 : 12;
    return 13;
}

class WinCodeTable : public ::testing::Test {
protected:
    ScratchFolder scratch;
    InstallPathValue installPath{scratch.path()};
    std::u16string suffix = suffixOf(L"." + std::to_wstring(GetCurrentProcessId()));
    SilentReporter reporter;

    long runChild(const wchar_t* mode) {
        auto child = wintest::startSelf(std::wstring(mode) + L" " +
                                        std::wstring(suffix.begin(), suffix.end()));
        return child ? wintest::waitExitCode(child) : -2;
    }
};

TEST_F(WinCodeTable, TheSecondProcessIndexesWhatTheFirstCopied) {
    wintest::writeBytes(scratch.file(L"toviwb.mb"), keypadFile());
    CodeTable table(options(1, suffix), reporter, platform::sharedControlSection());
    table.load();
    ASSERT_TRUE(table.loaded());
    EXPECT_TRUE(table.lastLoad().refilled);
    EXPECT_EQ(runChild(L"--attach"), 0);
    EXPECT_TRUE(table.isCurrent());
}

TEST_F(WinCodeTable, ASaveInAnotherProcessMakesThisOneReload) {
    wintest::writeBytes(scratch.file(L"toviwb.mb"), keypadFile());
    CodeTable table(options(1, suffix + u".save"), reporter, platform::sharedControlSection());
    table.load();
    ASSERT_TRUE(table.loaded());
    auto child =
        wintest::startSelf(L"--add " + std::wstring(suffix.begin(), suffix.end()) + L".save");
    ASSERT_TRUE(child);
    EXPECT_EQ(wintest::waitExitCode(child), 0);
    EXPECT_FALSE(table.isCurrent());
    table.refreshIfStale();
    EXPECT_EQ(byCode(table, u"13"), (Candidates{u"文"}));
    EXPECT_EQ(reporter.boxes, 0);
}

TEST(WinNamedMutex, AnAbandonedMutexIsReportedAsRecovered) {
    const std::u16string name =
        u"tovi.test.mutex." + suffixOf(std::to_wstring(GetCurrentProcessId()));
    // This process keeps the mutex in existence while the child takes it and ends.
    auto mutex = platform::NamedMutex::open(name);
    ASSERT_TRUE(mutex);
    auto child = wintest::startSelf(L"--hold " + std::wstring(name.begin(), name.end()));
    ASSERT_TRUE(child);
    EXPECT_EQ(wintest::waitExitCode(child), 0);
    EXPECT_EQ(mutex->lock(1000), platform::LockResult::Recovered);
    mutex->unlock();
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    if (argc > 2) {
        const std::string mode = argv[1];
        const std::string arg = argv[2];
        const std::u16string suffix(arg.begin(), arg.end());
        if (mode == "--hold") {
            auto mutex = tovi::platform::NamedMutex::open(suffix);
            return mutex && mutex->lock(1000) == tovi::platform::LockResult::Acquired ? 0 : 1;
        }
        return tovi::childMain(mode, suffix);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
