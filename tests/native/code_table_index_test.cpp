#include "tables/code_table_index.h"
#include "tables/table_candidates.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tovi {
namespace {

using Candidates = std::vector<std::u16string>;
using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

// A loaded table: the data and the index over it, in one object so that the index's views stay
// valid.
class Table {
public:
    Table(CodeTableLayout layout, const Entries& entries) : data_(layout) {
        for (const auto& [code, text] : entries)
            EXPECT_EQ(data_.append(code, text), EntryFault::None)
                << "entry of code " << code.size();
        index_ = CodeTableIndex(data_);
    }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
    CodeTableView view() const { return index_.view(); }

private:
    CodeTableData data_;
    CodeTableIndex index_;
};

Table keypad(const Entries& entries) {
    return Table(CodeTableLayout::Digits, entries);
}

Candidates byCode(const Table& table, std::u16string_view code, ExactMatch& exact,
                  bool selectionPending = false) {
    SearchOptions options;
    options.selectionPending = selectionPending;
    return findByCode(table.view(), code, options, exact);
}

// findByCode

TEST(FindByCode, ListsPrefixMatchesWithRestOfCode) {
    const Table table = keypad({{u"11", u"一"},
                                {u"1234", u"中国"},
                                {u"12", u"中"},
                                {u"1299", u"中华"},
                                {u"1323", u"人"},
                                {u"2", u"二"}});
    ExactMatch exact;
    EXPECT_EQ(byCode(table, u"12", exact), (Candidates{u"中国34", u"中", u"中华99"}));
    EXPECT_EQ(exact.count, 1u);
    EXPECT_TRUE(exact.single);
}

TEST(FindByCode, ShorterEntryCodesDoNotMatch) {
    const Table table = keypad({{u"1", u"一"}, {u"12", u"中"}, {u"123", u"国"}});
    ExactMatch exact;
    EXPECT_EQ(byCode(table, u"123", exact), (Candidates{u"国"}));
    EXPECT_EQ(byCode(table, u"1", exact), (Candidates{u"一", u"中2", u"国23"}));
}

TEST(FindByCode, TwoExactMatchesAreNotSingle) {
    const Table table = keypad({{u"12", u"中"}, {u"123", u"国"}, {u"12", u"种"}});
    ExactMatch exact;
    EXPECT_EQ(byCode(table, u"12", exact), (Candidates{u"中", u"国3", u"种"}));
    EXPECT_EQ(exact.count, 2u);
    EXPECT_FALSE(exact.single);
}

TEST(FindByCode, ExactMatchAfterLongerCodesIsSingle) {
    const Table table = keypad({{u"123", u"国"}, {u"124", u"华"}, {u"12", u"中"}});
    ExactMatch exact;
    byCode(table, u"12", exact);
    EXPECT_EQ(exact.count, 1u);
    EXPECT_TRUE(exact.single);
}

TEST(FindByCode, NoExactMatch) {
    const Table table = keypad({{u"123", u"国"}});
    ExactMatch exact{5, true};
    EXPECT_EQ(byCode(table, u"12", exact), (Candidates{u"国3"}));
    EXPECT_EQ(exact.count, 0u);
    EXPECT_FALSE(exact.single);
}

TEST(FindByCode, SelectionPendingStopsAtFirstLongerMatch) {
    const Table table =
        keypad({{u"11", u"一"}, {u"12", u"中"}, {u"123", u"国"}, {u"12", u"种"}, {u"12", u"重"}});
    ExactMatch exact;
    EXPECT_EQ(byCode(table, u"12", exact, true), (Candidates{u"中"}));
    EXPECT_EQ(exact.count, 1u);
    EXPECT_TRUE(exact.single);
    EXPECT_EQ(byCode(table, u"12", exact, false), (Candidates{u"中", u"国3", u"种", u"重"}));
}

TEST(FindByCode, TakesAtMost150Entries) {
    Entries entries;
    for (int i = 0; i < 200; ++i)
        entries.emplace_back(u"12" + std::u16string(1, char16_t(u'0' + i % 10)), u"中");
    const Table table = keypad(entries);
    ExactMatch exact;
    EXPECT_EQ(byCode(table, u"12", exact).size(), kMaxCodeCandidates);
    EXPECT_EQ(kMaxCodeCandidates, 150u);
}

TEST(FindByCode, SlashListsExactlyTheSymbols) {
    const Table table = keypad({{u"1", u"一"}, {u"9", u"九"}});
    ExactMatch exact{3, true};
    const Candidates found = byCode(table, u"/", exact);
    ASSERT_EQ(found.size(), 36u);
    EXPECT_EQ(found.front(), u"，");
    EXPECT_EQ(found[8], u"/");
    EXPECT_EQ(found[12], u"“");
    EXPECT_EQ(found[24], u"·");
    EXPECT_EQ(found.back(), u"●");
    EXPECT_EQ(exact.count, 0u);
    EXPECT_FALSE(exact.single);
    EXPECT_EQ(byCode(table, u"/12", exact).size(), 36u);
}

TEST(FindByCode, SymbolsAreNotConverted) {
    const Table table = keypad({});
    SearchOptions options;
    options.traditionalOutput = true;
    ExactMatch exact;
    const Candidates found = findByCode(table.view(), u"/", options, exact);
    ASSERT_EQ(found.size(), 36u);
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], codeSymbols()[i]);
}

TEST(FindByCode, ConvertsToTraditional) {
    const Table table = keypad({{u"1234", u"中国"}, {u"12", u"发"}});
    SearchOptions options;
    options.traditionalOutput = true;
    ExactMatch exact;
    EXPECT_EQ(findByCode(table.view(), u"12", options, exact), (Candidates{u"中國34", u"發"}));
    EXPECT_TRUE(exact.single);
}

TEST(FindByCode, EmptyCodeLeavesExactMatchAlone) {
    const Table table = keypad({{u"1", u"一"}});
    ExactMatch exact{7, true};
    EXPECT_TRUE(byCode(table, u"", exact).empty());
    EXPECT_EQ(exact.count, 7u);
    EXPECT_TRUE(exact.single);
}

TEST(FindByCode, CodeWithoutBucketFindsNothing) {
    const Table table = keypad({{u"1", u"一"}});
    ExactMatch exact;
    EXPECT_TRUE(byCode(table, u"0", exact).empty());
    EXPECT_TRUE(byCode(table, u"a", exact).empty());
    EXPECT_TRUE(byCode(table, u"中", exact).empty());
}

TEST(FindByCode, OnlyScansTheCodesBucket) {
    const Table table = keypad({{u"12", u"中"}, {u"22", u"二"}});
    ExactMatch exact;
    EXPECT_EQ(byCode(table, u"22", exact), (Candidates{u"二"}));
}

TEST(FindByCode, NoTableFindsNothing) {
    const CodeTableIndex none;
    ExactMatch exact;
    EXPECT_TRUE(findByCode(none.view(), u"1", {}, exact).empty());
    EXPECT_EQ(findByCode(none.view(), u"/", {}, exact).size(), 36u);
}

// findByLetters

TEST(FindByLetters, ListsEveryPrefixMatchWithoutLimit) {
    Entries entries{{u"a", u"啊"}};
    for (int i = 0; i < 200; ++i)
        entries.emplace_back(u"zhong", u"中");
    entries.emplace_back(u"zhongguo", u"中国");
    entries.emplace_back(u"zi", u"字");
    const Table table(CodeTableLayout::Letters, entries);
    SearchOptions options;
    options.selectionPending = true; // not read by this search
    const Candidates found = findByLetters(table.view(), u"zh", options);
    ASSERT_EQ(found.size(), 201u);
    EXPECT_EQ(found.front(), u"中ong");
    EXPECT_EQ(found.back(), u"中国ongguo");
}

TEST(FindByLetters, ConvertsAndSkipsForeignKeys) {
    const Table table(CodeTableLayout::Letters, {{u"guo", u"国"}, {u"guojia", u"国家"}});
    SearchOptions options;
    options.traditionalOutput = true;
    EXPECT_EQ(findByLetters(table.view(), u"guo", options), (Candidates{u"國", u"國家jia"}));
    EXPECT_TRUE(findByLetters(table.view(), u"", options).empty());
    EXPECT_TRUE(findByLetters(table.view(), u"Guo", options).empty());
    EXPECT_TRUE(findByLetters(table.view(), u"1", options).empty());
}

// findByWildcard

TEST(FindByWildcard, StandsForTheKeysAfterTheFixedPart) {
    const Table table = keypad({{u"123", u"甲"},
                                {u"12", u"乙"},
                                {u"145", u"丙"},
                                {u"1234", u"丁"},
                                {u"133", u"戊"},
                                {u"213", u"己"}});
    // Only the keys before the "z" are compared, so every 3-key code of bucket "1" is listed.
    EXPECT_EQ(findByWildcard(table.view(), u"1z3", {}), (Candidates{u"甲23", u"丙45", u"戊33"}));
    EXPECT_EQ(findByWildcard(table.view(), u"12z", {}), (Candidates{u"甲3"}));
    EXPECT_EQ(findByWildcard(table.view(), u"12zz", {}), (Candidates{u"丁34"}));
}

TEST(FindByWildcard, WithoutZListsExactCodes) {
    const Table table = keypad({{u"123", u"甲"}, {u"1234", u"丁"}, {u"124", u"乙"}});
    EXPECT_EQ(findByWildcard(table.view(), u"123", {}), (Candidates{u"甲"}));
}

TEST(FindByWildcard, ShortCodesFindNothing) {
    const Table table = keypad({{u"1", u"一"}, {u"12", u"中"}});
    EXPECT_TRUE(findByWildcard(table.view(), u"", {}).empty());
    EXPECT_TRUE(findByWildcard(table.view(), u"1", {}).empty());
    EXPECT_EQ(findByWildcard(table.view(), u"1z", {}), (Candidates{u"中2"}));
    EXPECT_TRUE(findByWildcard(table.view(), u"z1", {}).empty());
}

TEST(FindByWildcard, ConvertsToTraditional) {
    const Table table = keypad({{u"123", u"国"}});
    SearchOptions options;
    options.traditionalOutput = true;
    EXPECT_EQ(findByWildcard(table.view(), u"1z3", options), (Candidates{u"國23"}));
}

// findContinuations

TEST(FindContinuations, ListsLongerTextsNotTheTextItself) {
    const Table table = keypad({{u"1234", u"中国"},
                                {u"1235", u"中国人"},
                                {u"1231", u"中国话"},
                                {u"1244", u"中国队"},
                                {u"12", u"中"},
                                {u"123", u"外国人"}});
    // Positions 1 and 2 ("23") are compared; the last typed key is not.
    EXPECT_EQ(findContinuations(table.view(), u"1234", u"中国", {}),
              (Candidates{u"中国人", u"中国话"}));
}

TEST(FindContinuations, ShortCodesCompareNothing) {
    const Table table = keypad({{u"1", u"中"}, {u"1234", u"中国"}, {u"2", u"中间"}});
    EXPECT_EQ(findContinuations(table.view(), u"12", u"中", {}), (Candidates{u"中国"}));
    EXPECT_EQ(findContinuations(table.view(), u"1", u"中", {}), (Candidates{u"中国"}));
    EXPECT_TRUE(findContinuations(table.view(), u"", u"中", {}).empty());
}

TEST(FindContinuations, ComparesConvertedTexts) {
    const Table table = keypad({{u"1234", u"中国人"}});
    SearchOptions options;
    options.traditionalOutput = true;
    EXPECT_EQ(findContinuations(table.view(), u"1234", u"中國", options), (Candidates{u"中國人"}));
    EXPECT_TRUE(findContinuations(table.view(), u"1234", u"中国", options).empty());
}

// textToCommit

TEST(TextToCommit, DropsAppendedCodeKeys) {
    EXPECT_EQ(textToCommit(u"中国zg", {}), u"中国");
    EXPECT_EQ(textToCommit(u"中国34", {}), u"中国");
    EXPECT_EQ(textToCommit(u"中", {}), u"中");
    EXPECT_EQ(textToCommit(u"中a国", {}), u"中");
    EXPECT_EQ(textToCommit(u"", {}), u"");
}

TEST(TextToCommit, RunStartsWithAnyCharacterAndStopsAtTheFirstAsciiAfterIt) {
    EXPECT_EQ(textToCommit(u"a中", {}), u"a中");
    EXPECT_EQ(textToCommit(u"T恤12", {}), u"T恤");
    EXPECT_EQ(textToCommit(u"a12", {}), u"a");
    EXPECT_EQ(textToCommit(u"/", {}), u"/");
    EXPECT_EQ(textToCommit(u"·", {}), u"·"); // U+00B7 is above 128
}

TEST(TextToCommit, AssociationCommitsOnlyTheContinuation) {
    CommitContext context;
    context.engineCode = u" 12";
    context.wordAssociation = true;
    context.lastCommitted = u"中国";
    EXPECT_EQ(textToCommit(u"中国人", context), u"人");

    context.ctrlSelect = true;
    EXPECT_EQ(textToCommit(u"中国人", context), u"中国人");
    context.ctrlSelect = false;

    context.wordAssociation = false;
    EXPECT_EQ(textToCommit(u"中国人", context), u"中国人");
    context.wordAssociation = true;

    context.engineCode = u"12";
    EXPECT_EQ(textToCommit(u"中国人", context), u"中国人");
    context.engineCode = u" ";

    // Only a last text shorter than the run is dropped.
    context.lastCommitted = u"中国人";
    EXPECT_EQ(textToCommit(u"中国人", context), u"中国人");
}

// Views whose starts disagree with their entries

// "11一" "12中": codes and texts side by side in one buffer, as a CodeTableData holds them.
constexpr std::u16string_view kTwoEntryUnits = u"11\u4E0012\u4E2D";
const std::vector<IndexEntry> kTwoEntries{{0, 2, 2, 1}, {3, 5, 2, 1}};

TEST(CodeTableView, ClampsStartsToTheEntriesPresent) {
    const std::vector<std::int32_t> starts{0, 100, 100, -5, -5, 7, 7, 7, 2, 1};
    const CodeTableView view{CodeTableLayout::Digits, starts,      kTwoEntryUnits.data(),
                             kTwoEntryUnits.data(),   kTwoEntries, {}};
    ExactMatch exact;
    EXPECT_EQ(findByCode(view, u"1", {}, exact), (Candidates{u"一1", u"中2"})); // end past entries
    EXPECT_TRUE(findByCode(view, u"3", {}, exact).empty());                     // negative end
    EXPECT_TRUE(findByCode(view, u"4", {}, exact).empty());                     // both negative
    EXPECT_EQ(findByCode(view, u"5", {}, exact).size(), 2u);                    // negative start
    EXPECT_TRUE(findByCode(view, u"9", {}, exact).empty());                     // end before start
}

TEST(CodeTableView, WrongNumberOfStartsFindsNothing) {
    const std::vector<std::int32_t> starts{0, 1};
    const CodeTableView view{CodeTableLayout::Digits,         starts,
                             kTwoEntryUnits.data(),           kTwoEntryUnits.data(),
                             std::span(kTwoEntries).first(1), {}};
    ExactMatch exact;
    EXPECT_TRUE(findByCode(view, u"1", {}, exact).empty());
}

TEST(CodeTableView, FewerEntriesThanStartsBoundTheBucket) {
    const std::vector<std::int32_t> starts{0, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    const CodeTableView view{CodeTableLayout::Digits,         starts,
                             kTwoEntryUnits.data(),           kTwoEntryUnits.data(),
                             std::span(kTwoEntries).first(1), {}};
    EXPECT_EQ(findByWildcard(view, u"1z", {}), (Candidates{u"一1"}));
}

} // namespace
} // namespace tovi
