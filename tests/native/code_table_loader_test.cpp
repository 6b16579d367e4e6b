#include "schemes/code_table_loader.h"

#include "boundary/module.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "tables/code_table_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

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
    }

    test::TempFolder folder;
    test::RecordingHost host;
    platform::SharedControlSection section{};
    CodeTableOptions options;
};

TEST_F(LoaderTest, ReadersSeeNoTableOrACompleteOne) {
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    loader.start(1);
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
        loader.start(1);
        loader.table(); // may pick up a finished keypad table, which the next start drops
        loader.start(2);
    }
    loader.waitIdle();
    CodeTable* table = loader.table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->schemeIndex(), 2);
    EXPECT_TRUE(table->loaded());
}

TEST_F(LoaderTest, DestroyingTheLoaderDuringALoadIsSafe) {
    for (int i = 0; i < 20; ++i) {
        CodeTableLoader loader(host.codeTableReporter(), &section, 1);
        loader.setOptions(options);
        loader.start(i % 2 + 1);
    }
    // The abandoned loads end on their own; a new loader still loads.
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    loader.start(1);
    loader.waitIdle();
    EXPECT_NE(loader.table(), nullptr);
}

TEST_F(LoaderTest, AMissingFileIsReportedFromTheLoad) {
    std::remove(folder.file("tovipy.mb").c_str());
    CodeTableLoader loader(host.codeTableReporter(), &section, 1);
    loader.setOptions(options);
    loader.start(2);
    loader.waitIdle();
    const std::lock_guard lock(host.boxes->mutex);
    ASSERT_EQ(host.boxes->shown.size(), 1u);
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
    ASSERT_TRUE(attachModule(host));
    Module& module = *modulePtr();
    for (int i = 0; i < 200; ++i) {
        module.settings().setScheme(i % 2 ? 1 : 2);
        const int scheme = module.settings().schemeIndex();
        const CandidateList found =
            module.lookup()->search(scheme, scheme == 1 ? u"2321" : u"zhong");
        // Either the table is not there yet, or it is the whole table of this scheme.
        EXPECT_TRUE(found.totalCount() == 0 || found.itemText(0) == u"中");
    }
    module.codeTableLoader().waitIdle();
    EXPECT_EQ(module.lookup()->search(module.settings().schemeIndex(), u"2321").itemText(0), u"中");
    detachModule();
    platform::setSharedSectionName(u"tovi.VemoraH");
    platform::SharedMemory::removeName(section);
}

} // namespace
} // namespace tovi
