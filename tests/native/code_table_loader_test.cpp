#include "schemes/code_table_loader.h"

#include "core/module.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "tables/code_table_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <unistd.h>

namespace tovi {
namespace {

// Small tables for both schemes in a fresh installation folder, and pools of their own.
class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        CodeTableData keypad(CodeTableLayout::Digits);
        ASSERT_EQ(keypad.append(u"2321", u"中"), EntryFault::None);
        ASSERT_EQ(keypad.append(u"23212411", u"中国"), EntryFault::None);
        folder.write("toviwb.mb", writeCodeTable(keypad));
        CodeTableData pinyin(CodeTableLayout::Letters);
        ASSERT_EQ(pinyin.append(u"zhong", u"中"), EntryFault::None);
        ASSERT_EQ(pinyin.append(u"zhongguo", u"中国"), EntryFault::None);
        folder.write("tovipy.mb", writeCodeTable(pinyin));
        options.nameSuffix = u"-loader-test-" + std::u16string(1, u'a' + getpid() % 26);
        options.poolBytes = 1 << 16;
        options.folder = platform::InstallFolder(folder.installFolder(), folder.installFolder());
    }

    test::TempFolder folder;
    test::RecordingHost host;
    platform::SharedControlSection section{};
    CodeTableOptions options;
};

TEST_F(LoaderTest, ReadersSeeNoTableOrACompleteOne) {
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    loader.start(Scheme::Keypad);
    for (;;) {
        CodeTable* table = loader.table();
        if (table) {
            EXPECT_TRUE(table->loaded());
            EXPECT_EQ(table->lastLoad().entries, 2u);
            break;
        }
        loader.waitIdle();
    }
    EXPECT_TRUE(host.boxes->shown.empty());
}

TEST_F(LoaderTest, TheLastRequestWinsAndOverTakenLoadsAreDropped) {
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    for (int i = 0; i < 50; ++i) {
        loader.start(Scheme::Keypad);
        loader.table(); // may pick up a finished keypad table, which the next start drops
        loader.start(Scheme::Pinyin);
    }
    loader.waitIdle();
    CodeTable* table = loader.table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->scheme(), Scheme::Pinyin);
    EXPECT_TRUE(table->loaded());
}

TEST_F(LoaderTest, DestroyingTheLoaderDuringALoadIsSafe) {
    // The abandoned loads may outlive this test; the control section they use lives as long as
    // the program, as the module's does.
    static platform::SharedControlSection lasting{};
    for (int i = 0; i < 20; ++i) {
        CodeTableLoader loader(host.codeTableReporter(), &lasting, 1);
        loader.setOptions(options);
        loader.start(i % 2 ? Scheme::Pinyin : Scheme::Keypad);
    }
    // The abandoned loads end on their own; a new loader still loads.
    CodeTableLoader loader(host.codeTableReporter(), &lasting, 1);
    loader.setOptions(options);
    loader.start(Scheme::Keypad);
    loader.waitIdle();
    EXPECT_NE(loader.table(), nullptr);
}

TEST_F(LoaderTest, AMissingFileIsReportedFromTheLoad) {
    std::remove(folder.file("tovipy.mb").c_str());
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    loader.start(Scheme::Pinyin);
    loader.waitIdle();
    const std::lock_guard lock(host.boxes->mutex);
    ASSERT_EQ(host.boxes->shown.size(), 1u);
}

// A host short of address space: the load's allocations fail. The failure stays on the loading
// thread, nothing half made is published or shown, and the next use of the table loads again.
TEST_F(LoaderTest, ALoadThatThrowsPublishesNothingAndTheNextUseLoadsAgain) {
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    std::atomic<bool> failing{true};
    std::atomic<int> loads{0};
    loader.setLoadFault([&] {
        ++loads;
        if (failing)
            throw std::bad_alloc();
    });
    loader.start(Scheme::Keypad);
    loader.waitIdle();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(loader.table(), nullptr); // and this use starts the load again
    loader.waitIdle();
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(loader.table(), nullptr); // still short of memory: tried again, still nothing

    loader.waitIdle();
    failing = false; // memory is back
    EXPECT_EQ(loader.table(), nullptr);
    loader.waitIdle();
    CodeTable* table = loader.table();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->loaded());
    EXPECT_EQ(table->lastLoad().entries, 2u);
    EXPECT_EQ(loads, 4);
    loader.waitIdle();
    EXPECT_EQ(loads, 4); // a complete table is not loaded again
    const std::lock_guard lock(host.boxes->mutex);
    EXPECT_TRUE(host.boxes->shown.empty());
}

TEST_F(LoaderTest, ALoadThatThrowsAnythingIsTriedAgainByTheNextStart) {
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    std::atomic<bool> failing{true};
    loader.setLoadFault([&] {
        if (failing)
            throw std::runtime_error("no room");
    });
    loader.start(Scheme::Keypad);
    loader.waitIdle();
    failing = false;
    loader.start(Scheme::Pinyin); // a scheme change
    loader.waitIdle();
    CodeTable* table = loader.table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->scheme(), Scheme::Pinyin);
    EXPECT_TRUE(table->loaded());
}

// The module switching schemes quickly while it searches, as a user flipping the right-Ctrl
// tap while typing; run under ThreadSanitizer too.
TEST(ModuleSchemeSwitch, RapidSwitchesWhileSearching) {
    test::TempFolder folder;
    CodeTableData keypad(CodeTableLayout::Digits);
    ASSERT_EQ(keypad.append(u"2321", u"中"), EntryFault::None);
    folder.write("toviwb.mb", writeCodeTable(keypad));
    CodeTableData pinyin(CodeTableLayout::Letters);
    ASSERT_EQ(pinyin.append(u"zhong", u"中"), EntryFault::None);
    folder.write("tovipy.mb", writeCodeTable(pinyin));
    const std::u16string section = u"tovi-test-switch";
    platform::SharedMemory::removeName(section);
    platform::setSharedSectionName(section);
    test::RecordingHost host;
    {
        Module module(host, platform::InstallFolder(folder.installFolder(), folder.installFolder()),
                      1);
        TableLookup lookup([&] { return module.codeTableLoader().table(); });
        ExactMatch exact;
        for (int i = 0; i < 200; ++i) {
            module.settings().setScheme(i % 2 ? Scheme::Keypad : Scheme::Pinyin);
            const Scheme scheme = module.settings().scheme();
            const CandidateList found =
                lookup.search(scheme, scheme == Scheme::Keypad ? u"2321" : u"zhong", {}, exact);
            // Either the table is not there yet, or it is the whole table of this scheme.
            EXPECT_TRUE(found.totalCount() == 0 || found.itemText(0) == u"中");
        }
        module.codeTableLoader().waitIdle();
        EXPECT_EQ(lookup.search(module.settings().scheme(), u"2321", {}, exact).itemText(0), u"中");
    }
    platform::setSharedSectionName(u"tovi.VemoraH");
    platform::SharedMemory::removeName(section);
}

} // namespace
} // namespace tovi
