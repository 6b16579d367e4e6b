#include "dict_source.h"

#include <gtest/gtest.h>

#include <string>

namespace tovi::tools {
namespace {

const std::string kHeader = "# comment before the header\n---\nname: test\nversion: \"1\"\n...\n";

TEST(DictSource, ReadsTextCodeAndWeight) {
    const DictSource s = readRimeDict(kHeader + "中\tzhong\t100\n国\tguo\t7\n");
    ASSERT_TRUE(s.ok()) << s.error;
    ASSERT_EQ(s.entries.size(), 2u);
    EXPECT_EQ(s.entries[0].text, u"中");
    EXPECT_EQ(s.entries[0].code, "zhong");
    EXPECT_EQ(s.entries[0].weight, 100);
    EXPECT_EQ(s.entries[1].line, 7u);
}

TEST(DictSource, RefusesAFileWithoutTheHeaderEnd) {
    const DictSource s = readRimeDict("---\nname: test\n中\tzhong\t1\n");
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("..."), std::string::npos);
    EXPECT_FALSE(readRimeDict("").ok());
}

TEST(DictSource, AcceptsAHeaderEndOnTheLastLine) {
    const DictSource s = readRimeDict("---\n...");
    ASSERT_TRUE(s.ok());
    EXPECT_TRUE(s.entries.empty());
}

TEST(DictSource, SkipsCommentsAndBlankLines) {
    const DictSource s = readRimeDict(kHeader + "#子\tb\t5\n\n   \n了\tb\t6\n");
    ASSERT_TRUE(s.ok());
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].text, u"了");
    EXPECT_EQ(s.counts.comments, 1u);
    EXPECT_EQ(s.counts.blank, 2u);
}

TEST(DictSource, HandlesByteOrderMarkAndCrLf) {
    const DictSource s = readRimeDict("\xEF\xBB\xBF---\r\n...\r\n中\tzhong guo\t3\r\n");
    ASSERT_TRUE(s.ok());
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].code, "zhong guo");
    EXPECT_EQ(s.entries[0].weight, 3);
}

TEST(DictSource, FollowsTheColumnsOfTheHeader) {
    const std::string header = "---\nname: t\ncolumns:\n  - code\n  - text\n  - stem\n"
                               "  - weight\nencoder:\n  rules: []\n...\n";
    const DictSource s = readRimeDict(header + "aa\t工\tx\t42\n");
    ASSERT_TRUE(s.ok()) << s.error;
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].text, u"工");
    EXPECT_EQ(s.entries[0].code, "aa");
    EXPECT_EQ(s.entries[0].weight, 42);
}

TEST(DictSource, RefusesColumnsWithoutACodeColumn) {
    const DictSource s = readRimeDict("---\ncolumns:\n  - text\n  - weight\n...\n");
    EXPECT_FALSE(s.ok());
}

TEST(DictSource, MissingWeightIsZeroAndMissingCodeIsCounted) {
    const DictSource s = readRimeDict(kHeader + "中\tzhong\n国\n人\t\t5\n");
    ASSERT_TRUE(s.ok());
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].weight, 0);
    EXPECT_EQ(s.counts.noCode, 2u);
}

TEST(DictSource, CountsBadWeightsAndBadText) {
    const DictSource s = readRimeDict(
        kHeader + "中\tzhong\tmany\n\xFF\xFE\tx\t1\n\tx\t1\n国\tguo\t1.5\n人\tren\t2%\n");
    ASSERT_TRUE(s.ok());
    EXPECT_EQ(s.counts.badWeight, 1u);
    EXPECT_EQ(s.counts.badText, 2u);
    ASSERT_EQ(s.entries.size(), 2u);
    EXPECT_EQ(s.entries[0].weight, 1.5);
    EXPECT_EQ(s.entries[1].weight, 2);
    ASSERT_FALSE(s.notes.empty());
    EXPECT_NE(s.notes[0].find("line 6"), std::string::npos);
}

TEST(DictSource, RefusesNegativeAndNonFiniteWeights) {
    const DictSource s = readRimeDict(kHeader + "中\tzhong\t-1\n国\tguo\tnan\n人\tren\tinf\n");
    EXPECT_EQ(s.counts.badWeight, 3u);
    EXPECT_TRUE(s.entries.empty());
}

TEST(DictSource, KeepsCharactersBeyondTheBasicPlane) {
    const DictSource s = readRimeDict(kHeader + "\xF0\xA8\x88\x88\tkhlg\t0\n");
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].text, std::u16string(u"\U00028208"));
}

TEST(DictUtf8, RejectsMalformedSequences) {
    std::u16string out;
    EXPECT_FALSE(utf8ToUtf16("\xC0\xAF", out));         // overlong
    EXPECT_FALSE(utf8ToUtf16("\xED\xA0\x80", out));     // surrogate
    EXPECT_FALSE(utf8ToUtf16("\xE4\xB8", out));         // truncated
    EXPECT_FALSE(utf8ToUtf16("\xF4\x90\x80\x80", out)); // beyond U+10FFFF
    EXPECT_TRUE(utf8ToUtf16("a\xE4\xB8\xAD", out));
    EXPECT_EQ(out, u"a中");
    EXPECT_EQ(utf16ToUtf8(u"a中\U00028208"), "a\xE4\xB8\xAD\xF0\xA8\x88\x88");
}

} // namespace
} // namespace tovi::tools
