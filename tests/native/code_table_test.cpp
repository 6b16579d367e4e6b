#include "code_table_test_support.h"

#include "core/table_lookup.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace tovi {
namespace {

using test::Box;
using test::Entries;
using test::inChild;
using test::RecordingReporter;
using Candidates = std::vector<std::u16string>;
using Style = CodeTableReporter::Style;

const Entries kKeypad = {{u"11", u"一"},     {u"1234", u"中国"}, {u"12", u"中"},
                         {u"1299", u"中华"}, {u"1323", u"人"},   {u"2", u"二"}};
const Entries kPinyin = {{u"zhong", u"中"}, {u"zhongguo", u"中国"}, {u"a", u"啊"}};

Entries sorted(CodeTableLayout layout, Entries entries) {
    std::stable_sort(entries.begin(), entries.end(), [layout](const auto& a, const auto& b) {
        return *bucketOf(layout, a.first[0]) < *bucketOf(layout, b.first[0]);
    });
    return entries;
}

class CodeTableTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::SharedNames names;
    RecordingReporter reporter;

    void writeKeypad(const Entries& entries = kKeypad) {
        folder.write("toviwb.mb", test::tableFile(CodeTableLayout::Digits, entries));
    }
    void writePinyin(const Entries& entries = kPinyin) {
        folder.write("tovipy.mb", test::tableFile(CodeTableLayout::Letters,
                                                  sorted(CodeTableLayout::Letters, entries)));
    }
    std::unique_ptr<CodeTable> table(int scheme, std::uint32_t instance,
                                     std::size_t poolBytes = kCodeTablePoolBytes) {
        CodeTableOptions options;
        options.scheme = schemeFromIndex(scheme);
        options.folder = platform::InstallFolder(folder.installFolder(), folder.installFolder());
        options.instanceNumber = instance;
        options.nameSuffix = names.suffix();
        options.poolBytes = poolBytes;
        return std::make_unique<CodeTable>(options, reporter, names.section());
    }
    static Candidates byCode(const CodeTable& t, std::u16string_view code) {
        ExactMatch exact;
        return findByCode(t.view(), code, SearchOptions{}, exact);
    }
};

// Load, attach and the shared pools

TEST_F(CodeTableTest, FirstProcessCopiesAndIndexes) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    EXPECT_TRUE(reporter.boxes.empty());
    EXPECT_TRUE(t->loaded());
    EXPECT_TRUE(t->lastLoad().refilled);
    EXPECT_EQ(t->lastLoad().entries, 6u);
    EXPECT_TRUE(t->isCurrent());
    EXPECT_EQ(byCode(*t, u"12"), (Candidates{u"中国34", u"中", u"中华99"}));
    const auto& control = codeTableControl(*names.section()).schemes[0];
    EXPECT_EQ(control.stale, 0);
    EXPECT_EQ(control.mappedMask, 1u << 1);
    EXPECT_EQ(control.starts[9], 6);
    EXPECT_EQ(control.counts[0], 5);
    // Slots are as long as the file's bytes plus a terminator: "中国" has 4 bytes.
    EXPECT_EQ(control.codeFill, 3 + 5 + 3 + 5 + 5 + 2);
    EXPECT_EQ(control.textFill, 3 + 5 + 3 + 5 + 3 + 3);
}

TEST_F(CodeTableTest, SecondProcessOnlyIndexesAndSeesTheSameStrings) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    ASSERT_TRUE(t->lastLoad().refilled);
    const int child = inChild([&] {
        auto other = table(1, 2);
        other->load();
        if (other->lastLoad().refilled || !other->loaded())
            return 1;
        return byCode(*other, u"12") == Candidates{u"中国34", u"中", u"中华99"} ? 0 : 2;
    });
    EXPECT_EQ(child, 0);
    // An attach changes nothing for the first process.
    EXPECT_TRUE(t->isCurrent());
}

TEST_F(CodeTableTest, ASaveMakesEveryProcessReloadAndTheFirstToReloadRefills) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    EXPECT_EQ(inChild([&] {
                  auto other = table(1, 2);
                  other->load();
                  return other->addWord(u"1288", u"中文") ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(t->isCurrent());
    t->refreshIfStale();
    EXPECT_TRUE(t->lastLoad().refilled);
    EXPECT_EQ(byCode(*t, u"128"), (Candidates{u"中文8"}));
    EXPECT_EQ(inChild([&] {
                  auto other = table(1, 3);
                  other->load();
                  return !other->lastLoad().refilled &&
                                 byCode(*other, u"128") == Candidates{u"中文8"}
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_TRUE(reporter.boxes.empty());
}

TEST_F(CodeTableTest, PromotionIsSeenByEveryProcess) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    EXPECT_EQ(inChild([&] {
                  auto other = table(1, 2);
                  other->load();
                  other->promote(u"12", u"中华");
                  return 0;
              }),
              0);
    t->refreshIfStale();
    EXPECT_EQ(byCode(*t, u"12"), (Candidates{u"中华99", u"中国34", u"中"}));
    EXPECT_EQ(inChild([&] {
                  auto other = table(1, 3);
                  other->load();
                  return byCode(*other, u"12").front() == u"中华99" ? 0 : 1;
              }),
              0);
}

// A list makes strings only for the page it shows. The page stays as it was through a promotion,
// an addition, a reload and the table's end; once the table changed, no more strings are made
// from the old view (another process's refill may have rewritten them).
TEST_F(CodeTableTest, AListKeepsItsPageThroughEditsReloadsAndTheTablesEnd) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    ExactMatch exact;
    const auto items = listByCode(t->heldView(), u"12", SearchOptions{}, exact);
    const CandidateList list = CandidateList::of(items, u"12", true);
    t->promote(u"12", u"中华");
    EXPECT_TRUE(t->addWord(u"12", u"众"));
    t->refreshIfStale();
    EXPECT_EQ(byCode(*t, u"12"), (Candidates{u"众", u"中华99", u"中国34", u"中"}));
    t.reset();
    EXPECT_EQ(list.pageSize(), 3);
    EXPECT_EQ((Candidates{list.itemText(0), list.itemText(1), list.itemText(2)}),
              (Candidates{u"中国34", u"中", u"中华99"}));
    EXPECT_EQ(allItems(*items), (Candidates{u"", u"", u""}));
}

TEST_F(CodeTableTest, MoreThanThirtyTwoProcessesNeverMissAReload) {
    writeKeypad();
    auto first = table(1, 1);
    first->load();
    for (std::uint32_t instance = 2; instance <= 40; ++instance)
        ASSERT_EQ(inChild([&] {
                      auto other = table(1, instance);
                      other->load();
                      return other->isCurrent() ? 0 : 1;
                  }),
                  0);
    ASSERT_EQ(inChild([&] {
                  auto saver = table(1, 3);
                  saver->load();
                  return saver->addWord(u"17", u"七") ? 0 : 1;
              }),
              0);
    // Instance 33 shares bit 1 with this process; its reload sets the bit again.
    ASSERT_EQ(inChild([&] {
                  auto sharer = table(1, 33);
                  sharer->load();
                  return sharer->isCurrent() ? 0 : 1;
              }),
              0);
    EXPECT_NE(codeTableControl(*names.section()).schemes[0].mappedMask & (1u << 1), 0u);
    EXPECT_FALSE(first->isCurrent());
    first->refreshIfStale();
    EXPECT_EQ(byCode(*first, u"17"), (Candidates{u"七"}));
}

TEST_F(CodeTableTest, ARefillOfTheOtherSchemeLeavesThisSchemeAlone) {
    writeKeypad();
    writePinyin();
    auto keypad = table(1, 1);
    keypad->load();
    EXPECT_EQ(inChild([&] {
                  auto pinyin = table(2, 2);
                  pinyin->load();
                  if (!pinyin->lastLoad().refilled)
                      return 1;
                  ExactMatch exact;
                  (void)exact;
                  return findByLetters(pinyin->view(), u"zhong", SearchOptions{}) ==
                                 Candidates{u"中", u"中国guo"}
                             ? 0
                             : 2;
              }),
              0);
    EXPECT_TRUE(keypad->isCurrent());
    EXPECT_EQ(byCode(*keypad, u"12"), (Candidates{u"中国34", u"中", u"中华99"}));
    EXPECT_EQ(inChild([&] {
                  auto other = table(1, 3);
                  other->load();
                  return !other->lastLoad().refilled && byCode(*other, u"2") == Candidates{u"二"}
                             ? 0
                             : 1;
              }),
              0);
}

TEST_F(CodeTableTest, AFileReplacedBehindTheTablesBackIsRefilledNotIndexed) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    writeKeypad({{u"11", u"王"}, {u"12", u"土"}});
    EXPECT_EQ(inChild([&] {
                  auto other = table(1, 2);
                  other->load();
                  return other->lastLoad().refilled &&
                                 byCode(*other, u"1") == Candidates{u"王1", u"土2"}
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_FALSE(t->isCurrent());
    t->refreshIfStale();
    EXPECT_EQ(byCode(*t, u"1"), (Candidates{u"王1", u"土2"}));
}

TEST_F(CodeTableTest, PoolsNotWrittenFromTheFileAreRefilled) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    // Another process scribbles over the code pool without telling anyone.
    auto pool = platform::SharedMemory::openOrCreate(
        codeTableNames(Scheme::Keypad, names.suffix())->codePool, kCodeTablePoolBytes);
    ASSERT_TRUE(pool);
    static_cast<char16_t*>(pool->data())[0] = u'9';
    auto other = table(1, 2);
    other->load();
    EXPECT_TRUE(other->lastLoad().refilled);
    EXPECT_EQ(byCode(*other, u"11"), (Candidates{u"一"}));
}

TEST_F(CodeTableTest, AnOwnerThatDiedHoldingTheMutexLeavesThePoolsToBeRefilled) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    const auto mutexName = codeTableNames(Scheme::Keypad, names.suffix())->mutex;
    EXPECT_EQ(inChild([&] {
                  auto mutex = platform::NamedMutex::open(mutexName);
                  // Ends holding it, as a crash would, without unmapping anything.
                  ::_exit(mutex && mutex->lock(1000) == platform::LockResult::Acquired ? 0 : 1);
                  return 1;
              }),
              0);
    auto other = table(1, 2);
    other->load();
    EXPECT_TRUE(other->lastLoad().refilled);
    EXPECT_FALSE(t->isCurrent());
}

// Bad files and full pools

TEST_F(CodeTableTest, AMissingFileIsReportedOnceAndLeavesNoIndex) {
    auto t = table(1, 1);
    t->load();
    EXPECT_EQ(reporter.boxes, (std::vector<Box>{{u"码表打开失败！", u"信息", Style::Plain}}));
    EXPECT_FALSE(t->loaded());
    EXPECT_TRUE(byCode(*t, u"1").empty());
    t->refreshIfStale();
    EXPECT_EQ(reporter.boxes.size(), 1u);
}

TEST_F(CodeTableTest, BadFilesAreRefusedWithTheOpenFailureMessage) {
    const std::string good = test::tableFile(CodeTableLayout::Digits, kKeypad);
    std::string badLength = good;
    badLength[76] = '\x80'; // the first entry's code length
    std::string hugeCount = good;
    hugeCount[72] = '\x7F'; // start[9], with count[8] disagreeing
    // Nine counts of 0 but the first, and starts that agree with them: 1,000,000 entries.
    std::string manyEntries =
        std::string("\x40\x42\x0F\0", 4) + std::string(32, '\0') + std::string(4, '\0');
    for (int k = 0; k < 9; ++k)
        manyEntries += std::string("\x40\x42\x0F\0", 4);
    manyEntries += "\x02"
                   "11\x02\xD2\xBB";
    const std::vector<std::string> files = {good.substr(0, 40), good.substr(0, good.size() - 1),
                                            badLength, hugeCount, manyEntries};
    for (const std::string& file : files) {
        folder.write("toviwb.mb", file);
        reporter.boxes.clear();
        auto t = table(1, 1);
        t->load();
        EXPECT_EQ(reporter.boxes, (std::vector<Box>{{u"码表打开失败！", u"信息", Style::Plain}}));
        EXPECT_FALSE(t->loaded());
    }
}

TEST_F(CodeTableTest, EntriesThatAreNotGbkAreLeftOutAlike) {
    std::string file = test::tableFile(CodeTableLayout::Digits, kKeypad);
    // "一" (D2 BB) becomes an undefined sequence, and so does the second character of "中国"
    // (D6 D0 B9 FA), after a first one that converts.
    for (const std::string_view gbk : {"\xD2\xBB", "\xD6\xD0\xB9\xFA"}) {
        const auto at = file.find(gbk);
        ASSERT_NE(at, std::string::npos);
        file[at + gbk.size() - 2] = '\xFF';
    }
    folder.write("toviwb.mb", file);
    auto t = table(1, 1);
    t->load();
    EXPECT_EQ(t->lastLoad().skipped, 2u);
    EXPECT_EQ(byCode(*t, u"1"), (Candidates{u"中2", u"中华299", u"人323"}));
    auto other = table(1, 2);
    other->load();
    EXPECT_FALSE(other->lastLoad().refilled);
    EXPECT_EQ(byCode(*other, u"1"), byCode(*t, u"1"));
}

TEST_F(CodeTableTest, AFullPoolStopsTheLoadAndRefusesEdits) {
    writeKeypad();
    // Room for the first three codes (3 + 5 + 3 units) only.
    auto t = table(1, 1, 24);
    t->load();
    EXPECT_TRUE(t->lastLoad().poolFull);
    EXPECT_EQ(t->lastLoad().entries, 3u);
    EXPECT_TRUE(reporter.boxes.empty());
    EXPECT_FALSE(t->addWord(u"19", u"九"));
    EXPECT_EQ(reporter.boxes.back(), (Box{u"码表过大，无法修改！", u"提示", Style::Warning}));
    EXPECT_EQ(folder.read("toviwb.mb"), test::tableFile(CodeTableLayout::Digits, kKeypad));
}

TEST_F(CodeTableTest, AnAdditionThatDoesNotFitIsRefused) {
    writeKeypad();
    // Exactly the file's slots: 23 code units, 22 text units; the text pool has 23.
    auto t = table(1, 1, 46);
    t->load();
    ASSERT_FALSE(t->lastLoad().poolFull);
    EXPECT_FALSE(t->addWord(u"19", u"九"));
    EXPECT_EQ(reporter.boxes,
              (std::vector<Box>{{u"码表空间已满，无法加词！", u"提示", Style::Warning}}));
    EXPECT_EQ(byCode(*t, u"19"), Candidates{});
}

// The word maker

TEST_F(CodeTableTest, AddWordChecksItsArgumentsAgainstTheKeypadLayout) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    EXPECT_FALSE(t->addWord(u"", u"字"));
    EXPECT_FALSE(t->addWord(u"01", u"字"));
    EXPECT_FALSE(t->addWord(u"1a", u"字"));
    EXPECT_FALSE(t->addWord(u"13", u""));
    EXPECT_FALSE(t->addWord(u"12", u"中国")); // the first word listed for 12
    EXPECT_FALSE(t->addWord(u"13", u"\U0001F600"));
    EXPECT_EQ(reporter.boxes, (std::vector<Box>{
                                  {u"请输入编码！", u"提示", Style::Warning},
                                  {u"请输入正确的编码！", u"提示", Style::Warning},
                                  {u"请输入正确的编码！", u"提示", Style::Warning},
                                  {u"请输入要造的词组！", u"提示", Style::Warning},
                                  {u"该词组已经存在！", u"提示", Style::Warning},
                                  {u"词组过长或含有码表不能保存的字符！", u"提示", Style::Warning},
                              }));
    EXPECT_EQ(folder.read("toviwb.mb"), test::tableFile(CodeTableLayout::Digits, kKeypad));
}

TEST_F(CodeTableTest, AddWordPlacesTheEntryInsideItsBucketAndSaves) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    EXPECT_TRUE(t->addWord(u"12", u"仲"));  // before the first prefix match, 1234
    EXPECT_TRUE(t->addWord(u"133", u"众")); // before 1323? no: 3 > 2; end of the bucket
    EXPECT_TRUE(t->addWord(u"111", u"壹")); // before 1234 (1 <= 2, 1 <= 3), after 12 仲
    EXPECT_TRUE(reporter.boxes.empty());
    const Entries expected = {{u"11", u"一"},     {u"12", u"仲"},  {u"111", u"壹"},
                              {u"1234", u"中国"}, {u"12", u"中"},  {u"1299", u"中华"},
                              {u"1323", u"人"},   {u"133", u"众"}, {u"2", u"二"}};
    EXPECT_EQ(folder.read("toviwb.mb"), test::tableFile(CodeTableLayout::Digits, expected));
    EXPECT_FALSE(std::filesystem::exists(folder.file("toviwb.mb.new")));
}

TEST_F(CodeTableTest, PinyinWordsAreTypedWithLetters) {
    writePinyin();
    auto t = table(2, 1);
    t->load();
    EXPECT_FALSE(t->addWord(u"12", u"字"));
    EXPECT_TRUE(t->addWord(u"zi", u"字"));
    EXPECT_EQ(reporter.boxes, (std::vector<Box>{{u"请输入正确的编码！", u"提示", Style::Warning}}));
    const std::string saved = folder.read("tovipy.mb");
    const auto parsed = parseCodeTable(saved, CodeTableLayout::Letters);
    ASSERT_TRUE(parsed.ok());
    // 26 counts and 27 starts.
    EXPECT_EQ(parsed.table.size(), 4u);
    EXPECT_EQ(saved.size(),
              53u * 4 + (1 + 1 + 1 + 2) + (1 + 5 + 1 + 2) + (1 + 8 + 1 + 4) + (1 + 2 + 1 + 2));
}

TEST_F(CodeTableTest, DeleteWordRemovesTheFirstMatchOrSaysThereIsNone) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    EXPECT_FALSE(t->deleteWord(u"12", u""));
    EXPECT_FALSE(t->deleteWord(u"12", u"人"));
    EXPECT_TRUE(t->deleteWord(u"12", u"中华"));
    EXPECT_EQ(reporter.boxes, (std::vector<Box>{
                                  {u"请输入要删除的词组！", u"提示", Style::Warning},
                                  {u"没有您要删除的词组！", u"提示", Style::Warning},
                              }));
    Entries expected = kKeypad;
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(folder.read("toviwb.mb"), test::tableFile(CodeTableLayout::Digits, expected));
    t->refreshIfStale();
    EXPECT_EQ(byCode(*t, u"12"), (Candidates{u"中国34", u"中"}));
}

TEST_F(CodeTableTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
    writeKeypad();
    auto t = table(1, 1);
    t->load();
    // A directory where the new file would go: it cannot be written, whoever runs the test.
    std::filesystem::create_directory(folder.file("toviwb.mb.new"));
    EXPECT_TRUE(t->addWord(u"19", u"九"));
    EXPECT_EQ(reporter.boxes, (std::vector<Box>{{u"码表保存失败！", u"信息", Style::Plain}}));
    EXPECT_EQ(folder.read("toviwb.mb"), test::tableFile(CodeTableLayout::Digits, kKeypad));
    EXPECT_FALSE(t->isCurrent());
}

TEST_F(CodeTableTest, SchemesWithoutALayoutLoadNothingQuietly) {
    auto t = table(0, 1);
    t->load();
    EXPECT_FALSE(t->loaded());
    EXPECT_TRUE(t->isCurrent());
    EXPECT_TRUE(reporter.boxes.empty());
}

// The engine's lookups

class CodeTableLookupTest : public CodeTableTest {
protected:
    ExactMatch exact;
    std::unique_ptr<CodeTable> keypad;
    TableLookup lookup{[this] { return keypad.get(); }};

    void SetUp() override {
        writeKeypad();
        keypad = table(1, 1);
        keypad->load();
    }
    CandidateList search(Scheme scheme, const std::u16string& code) {
        return lookup.search(scheme, code, {}, exact);
    }
    static Candidates items(const CandidateList& list) {
        Candidates out;
        for (int i = 0; i < list.pageSize(); ++i)
            out.push_back(list.itemText(i));
        return out;
    }
};

TEST_F(CodeTableLookupTest, KeypadSearchesReportExactMatches) {
    const CandidateList list = search(Scheme::Keypad, u"12");
    EXPECT_EQ(items(list), (Candidates{u"中国34", u"中", u"中华99"}));
    EXPECT_EQ(list.code(), u"12");
    EXPECT_EQ(exact.count, 1u);
    EXPECT_TRUE(exact.single);
    EXPECT_EQ(items(lookup.wildcard(u"1z", {})), (Candidates{u"一1", u"中2"}));
    EXPECT_EQ(search(Scheme::Pinyin, u"12").totalCount(), 0);
    EXPECT_EQ(search(Scheme::Keypad, u"/").totalCount(), 36);
}

TEST_F(CodeTableLookupTest, NothingIsFoundWithoutATable) {
    keypad.reset();
    EXPECT_EQ(search(Scheme::Keypad, u"12").totalCount(), 0);
    EXPECT_EQ(lookup.continuations(u"12", u"中", {}).totalCount(), 0);
    lookup.promote(u"12", u"中华"); // nothing to promote in
}

TEST_F(CodeTableLookupTest, SearchesReloadAStaleTable) {
    ASSERT_EQ(inChild([&] {
                  auto other = table(1, 2);
                  other->load();
                  return other->addWord(u"13", u"文") ? 0 : 1;
              }),
              0);
    EXPECT_EQ(items(search(Scheme::Keypad, u"13")), (Candidates{u"文", u"人23"}));
}

TEST_F(CodeTableLookupTest, PromotionMovesTheCommittedTextToTheFront) {
    lookup.promote(u"12", textToCommit(u"中华99", CommitContext{u"12", true, false, {}}));
    EXPECT_EQ(items(search(Scheme::Keypad, u"12")), (Candidates{u"中华99", u"中国34", u"中"}));
}

TEST_F(CodeTableLookupTest, CommitAndContinuations) {
    EXPECT_EQ(textToCommit(u"中国34", {}), u"中国");
    EXPECT_EQ(textToCommit(u"a中", {}), u"a中");
    EXPECT_EQ(textToCommit(u"中国", CommitContext{u" 12", false, true, u"中"}), u"国");
    EXPECT_EQ(items(lookup.continuations(u"12", u"中", {})), (Candidates{u"中国", u"中华"}));
}

// Saving

TEST(FileReplace, WritesAndReplacesWithoutLeavingTheNewFile) {
    test::TempFolder folder;
    folder.write("a.mb", "old");
    const auto path = folder.path().u16string() + u"/a.mb";
    EXPECT_TRUE(platform::replaceFileContents(path, "new bytes"));
    EXPECT_EQ(folder.read("a.mb"), "new bytes");
    EXPECT_FALSE(std::filesystem::exists(folder.file("a.mb.new")));
    EXPECT_FALSE(platform::replaceFileContents(path + u"/x/y", "z"));
}

TEST(ReadWholeFile, ReadsUpToTheLimitThroughModulePaths) {
    test::TempFolder folder;
    std::string bytes(70000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    folder.write("a.mb", bytes);
    folder.write("empty.mb", "");
    const std::u16string base = folder.path().u16string() + u"\\";
    EXPECT_EQ(platform::readWholeFile(base + u"a.mb", bytes.size() + 1), bytes);
    EXPECT_EQ(platform::readWholeFile(base + u"a.mb", bytes.size()), bytes);
    EXPECT_EQ(platform::readWholeFile(base + u"a.mb", 4097), bytes.substr(0, 4097));
    EXPECT_EQ(platform::readWholeFile(base + u"empty.mb", 10), std::string());
    EXPECT_EQ(platform::readWholeFile(base + u"none.mb", 10), std::nullopt);
    EXPECT_EQ(platform::readWholeFile(folder.path().u16string(), 10), std::nullopt); // a folder
}

} // namespace
} // namespace tovi
