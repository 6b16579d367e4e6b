#include "table_builder.h"
#include "table_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovi::tools {
namespace {

DictEntry entry(std::u16string text, std::string code, double weight = 0) {
    return DictEntry{std::move(text), std::move(code), weight, 0};
}

// "code text" per entry of a built table, in index order.
std::vector<std::string> listing(const CodeTableData& table) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < table.size(); ++i)
        out.push_back(std::string(table.codeBytes(i)) + " " + std::string(table.textBytes(i)));
    return out;
}

std::string gbk(std::u16string_view text) {
    CodeTableData t(CodeTableLayout::Letters);
    EXPECT_EQ(t.append(u"a", text), EntryFault::None);
    return std::string(t.textBytes(0));
}

TEST(KeypadCode, MapsEveryLetterToItsZoneAndPosition) {
    const std::string letters = "gfdsahjklmtrewqyuiopnbvcx";
    const std::vector<std::string> digits = {"11", "12", "13", "14", "15", "21", "22", "23", "24",
                                             "25", "31", "32", "33", "34", "35", "41", "42", "43",
                                             "44", "45", "51", "52", "53", "54", "55"};
    for (std::size_t i = 0; i < letters.size(); ++i)
        EXPECT_EQ(keypadDigits(letters[i]), digits[i]) << letters[i];
    EXPECT_FALSE(keypadDigits('z'));
    EXPECT_FALSE(keypadDigits('G'));
    EXPECT_FALSE(keypadDigits('1'));
    EXPECT_EQ(keypadCode("khlg"), "23212411");
    EXPECT_FALSE(keypadCode("kz"));
    EXPECT_FALSE(keypadCode(""));
}

TEST(PinyinCode, JoinsSyllables) {
    EXPECT_EQ(pinyinCode("zhong guo"), "zhongguo");
    EXPECT_EQ(pinyinCode("lv"), "lv");
    EXPECT_FALSE(pinyinCode("zhong'guo"));
    EXPECT_FALSE(pinyinCode("Zhong"));
    EXPECT_FALSE(pinyinCode(" "));
}

TEST(TableBuilder, LeavesOutCodesWithZ) {
    const BuiltTable b = buildCodeTable(
        {entry(u"工", "a", 5), entry(u"ㄢ", "zzzy", 1), entry(u"中", "kz", 1)}, Scheme::Keypad);
    EXPECT_EQ(b.counts.outsideKeys, 2u);
    EXPECT_EQ(b.counts.kept, 1u);
    EXPECT_EQ(listing(b.table), std::vector<std::string>{"15 " + gbk(u"工")});
}

TEST(TableBuilder, SkipsAndCountsTextOutsideGbk) {
    const BuiltTable b = buildCodeTable({entry(u"中国", "khlg", 9), entry(u"\U00028208", "khlg", 1),
                                         entry(u"\u4DB5", "khlg", 1), entry(u"😀", "khlg", 1)},
                                        Scheme::Keypad);
    EXPECT_EQ(b.counts.notGbk, 3u);
    EXPECT_EQ(b.counts.kept, 1u);
    EXPECT_EQ(b.counts.skipped(), 3u);
}

TEST(TableBuilder, SkipsAndCountsFieldsLongerThan127Bytes) {
    const std::u16string longText(64, u'中'); // 128 GBK bytes
    const std::string longCode(128, 'a');
    const BuiltTable b = buildCodeTable({entry(longText, "a"), entry(u"啊", longCode),
                                         entry(std::u16string(63, u'中') + u"a", "a")},
                                        Scheme::Pinyin);
    EXPECT_EQ(b.counts.tooLong, 2u);
    EXPECT_EQ(b.counts.kept, 1u);
}

TEST(TableBuilder, KeepsOneOfDuplicatesWithTheHigherWeight) {
    const BuiltTable b = buildCodeTable(
        {entry(u"中", "zhong", 1), entry(u"钟", "zhong", 5), entry(u"中", "zhong", 9)},
        Scheme::Pinyin);
    EXPECT_EQ(b.counts.duplicates, 1u);
    EXPECT_EQ(listing(b.table),
              (std::vector<std::string>{"zhong " + gbk(u"中"), "zhong " + gbk(u"钟")}));
}

TEST(TableBuilder, KeepsTheShortCodesOfACharacter) {
    const BuiltTable b = buildCodeTable(
        {entry(u"中", "k", 5), entry(u"中", "kh", 5), entry(u"中", "khk", 5)}, Scheme::Keypad);
    EXPECT_EQ(listing(b.table), (std::vector<std::string>{"23 " + gbk(u"中"), "2321 " + gbk(u"中"),
                                                          "232123 " + gbk(u"中")}));
}

TEST(TableBuilder, PutsExactMatchesBeforeContinuationsAndHeavierFirst) {
    // Among the entries of one code and among continuations the heavier go first, but a code
    // never goes after a longer code it begins: 中古 (zhonggu) stays ahead of 中国 (zhongguo).
    const BuiltTable b = buildCodeTable({entry(u"国", "guo", 10), entry(u"中国", "zhongguo", 900),
                                         entry(u"钟", "zhong", 50), entry(u"中", "zhong", 100),
                                         entry(u"中文", "zhongwen", 80), entry(u"种", "zhong", 50),
                                         entry(u"中古", "zhonggu", 5), entry(u"果", "guo", 20)},
                                        Scheme::Pinyin);
    EXPECT_EQ(listing(b.table),
              (std::vector<std::string>{"guo " + gbk(u"果"), "guo " + gbk(u"国"),
                                        "zhong " + gbk(u"中"), "zhong " + gbk(u"钟"),
                                        "zhong " + gbk(u"种"), "zhongwen " + gbk(u"中文"),
                                        "zhonggu " + gbk(u"中古"), "zhongguo " + gbk(u"中国")}));
    EXPECT_TRUE(verifyCodeTable(writeCodeTable(b.table), CodeTableLayout::Letters).ok());
}

TEST(TableBuilder, GroupsEntriesIntoBucketsInKeyOrder) {
    const BuiltTable b = buildCodeTable(
        {entry(u"了", "b", 1), entry(u"一", "g", 9), entry(u"工", "a", 2), entry(u"以", "c", 3)},
        Scheme::Keypad);
    EXPECT_EQ(listing(b.table), (std::vector<std::string>{"11 " + gbk(u"一"), "15 " + gbk(u"工"),
                                                          "54 " + gbk(u"以"), "52 " + gbk(u"了")}));
    EXPECT_EQ(b.table.count(0), 2);
    EXPECT_EQ(b.table.count(4), 2);
}

TEST(TableBuilder, RoundTripsThroughTheFileAndTheDump) {
    const BuiltTable b = buildCodeTable({entry(u"中国", "khlg", 9), entry(u"一", "g", 9),
                                         entry(u"中", "k", 8), entry(u"跨国", "khlg", 3)},
                                        Scheme::Keypad);
    std::string error;
    const std::string dump = dumpCodeTable(writeCodeTable(b.table), CodeTableLayout::Digits, error);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(dump, "# keypad table, 9 buckets, 4 entries\n"
                    "# bucket 1: 1 entries\n11\t一\n"
                    "# bucket 2: 3 entries\n23\t中\n23212411\t中国\n23212411\t跨国\n"
                    "# bucket 3: 0 entries\n# bucket 4: 0 entries\n# bucket 5: 0 entries\n"
                    "# bucket 6: 0 entries\n# bucket 7: 0 entries\n# bucket 8: 0 entries\n"
                    "# bucket 9: 0 entries\n");
}

TEST(TableBuilder, BuildsAnEmptyTableFromNothing) {
    const BuiltTable b = buildCodeTable({}, Scheme::Pinyin);
    EXPECT_EQ(b.table.size(), 0u);
    EXPECT_EQ(writeCodeTable(b.table).size(), (26u + 27u) * 4u);
}

} // namespace
} // namespace tovi::tools
