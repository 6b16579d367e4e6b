// The screen dictionary "dict.txt": how a line splits into word, key and description, and which
// record a lookup finds.
#include "dict_line.h"
#include "vms_dict.h"

#include <gtest/gtest.h>

#include <string>

namespace tovi::screen {
namespace {

// GBK bytes of 王 and 中国.
const std::string kWang = "\xCD\xF5";
const std::string kZhongguo = "\xD6\xD0\xB9\xFA";

TEST(ScreenDictLine, FourPartsGiveWordKeyAndTheRestAsDescription) {
    const DictEntry e = splitDictLine(kWang + " 11112424 ggll wang");
    EXPECT_EQ(e.word, kWang);
    EXPECT_EQ(e.key, "11112424");
    EXPECT_EQ(e.description, "ggll wang");
}

TEST(ScreenDictLine, PartsAreTrimmedOfControlsAndSpaces) {
    const DictEntry e = splitDictLine("\t" + kWang + "\t 11\t\x01  desc text \r");
    EXPECT_EQ(e.word, kWang);
    EXPECT_EQ(e.key, "11");
    EXPECT_EQ(e.description, "desc text");
}

TEST(ScreenDictLine, OneSpaceGivesTheWordOnly) {
    const DictEntry e = splitDictLine(kWang + " 11112424");
    EXPECT_EQ(e.word, kWang);
    EXPECT_EQ(e.key, "");
    EXPECT_EQ(e.description, "");
}

TEST(ScreenDictLine, NoSpaceGivesAnEmptyWord) {
    const DictEntry e = splitDictLine(kWang + "\r");
    EXPECT_EQ(e.word, "");
    EXPECT_EQ(e.key, "");
    EXPECT_EQ(e.description, "");
}

TEST(ScreenDictLine, ADoubleSpaceLeavesTheKeyEmpty) {
    const DictEntry e = splitDictLine(kWang + "  11 desc");
    EXPECT_EQ(e.word, kWang);
    EXPECT_EQ(e.key, "");
    EXPECT_EQ(e.description, "11 desc");
}

TEST(ScreenDictLine, LongPartsAreCutOnACharacterBoundary) {
    // An odd limit would split the last two-byte character; it is left out whole.
    std::string word;
    while (word.size() < kMaxWordBytes + 10)
        word += "a" + kWang;
    const DictEntry e = splitDictLine(word + " k " + std::string(kMaxLineBytes, 'd'));
    EXPECT_LE(e.word.size(), kMaxWordBytes);
    EXPECT_EQ(word.substr(0, e.word.size()), e.word);
    EXPECT_NE(static_cast<unsigned char>(e.word.back()), 0xCD);
    EXPECT_EQ(e.key, "k");
    EXPECT_LE(e.description.size(), kMaxDescriptionBytes);
}

TEST(ScreenDict, EveryLineAddsARecordInFileOrder) {
    TVmsDict dict;
    const DictLoadReport report =
        dict.load(kWang + " 1111 a\r\n\r\n" + kZhongguo + " 2222 b\n\nlast");
    EXPECT_EQ(report.records, 5u);
    ASSERT_EQ(dict.size(), 5u);
    EXPECT_EQ(dict.entries()[0].word, kWang);
    EXPECT_EQ(dict.entries()[1].word, "");
    EXPECT_EQ(dict.entries()[2].word, kZhongguo);
    EXPECT_EQ(dict.entries()[3].word, "");
    EXPECT_EQ(dict.entries()[4].word, ""); // a line without a space has no word
    EXPECT_FALSE(report.truncated);
}

TEST(ScreenDict, AFinalLineEndOpensNoFurtherRecord) {
    TVmsDict dict;
    EXPECT_EQ(dict.load("a 1 x\r\nb 2 y\r\n").records, 2u);
    EXPECT_EQ(dict.load("").records, 0u);
}

TEST(ScreenDict, LookupFindsTheFirstRecordOfAWord) {
    TVmsDict dict;
    dict.load(kWang + " 1111 first\n" + kWang + " 2222 second\n" + kZhongguo + " 3333 word\n");
    const DictEntry* found = dict.lookup(kWang);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->key, "1111");
    EXPECT_EQ(found->description, "first");
    ASSERT_NE(dict.lookup(kZhongguo), nullptr);
    EXPECT_EQ(dict.lookup(kZhongguo)->key, "3333");
}

TEST(ScreenDict, LookupIsExactByteForByte) {
    TVmsDict dict;
    dict.load(kZhongguo + " 3333 word\n");
    EXPECT_EQ(dict.lookup(kZhongguo.substr(0, 2)), nullptr);
    EXPECT_EQ(dict.lookup(kZhongguo + " "), nullptr);
    EXPECT_EQ(dict.lookup("x"), nullptr);
}

TEST(ScreenDict, ReloadingReplacesTheRecords) {
    TVmsDict dict;
    dict.load(kWang + " 1111 a\n");
    dict.load(kZhongguo + " 2222 b\n");
    EXPECT_EQ(dict.lookup(kWang), nullptr);
    EXPECT_NE(dict.lookup(kZhongguo), nullptr);
}

TEST(ScreenDict, AnOverlongLineIsCutAndCounted) {
    TVmsDict dict;
    const std::string longLine = "w k " + std::string(kMaxLineBytes * 3, 'x');
    const DictLoadReport report = dict.load(longLine + "\nnext 9 z\n");
    EXPECT_EQ(report.cutLines, 1u);
    ASSERT_EQ(dict.size(), 2u);
    EXPECT_EQ(dict.entries()[0].word, "w");
    EXPECT_LE(dict.entries()[0].description.size(), kMaxDescriptionBytes);
    EXPECT_EQ(dict.entries()[1].word, "next");
}

TEST(ScreenDict, BinaryBytesGiveBoundedRecords) {
    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>((i * 7919) & 0xFF);
    TVmsDict dict;
    const DictLoadReport report = dict.load(bytes);
    EXPECT_EQ(report.records, dict.size());
    for (const DictEntry& e : dict.entries()) {
        EXPECT_LE(e.word.size(), kMaxWordBytes);
        EXPECT_LE(e.key.size(), kMaxKeyBytes);
        EXPECT_LE(e.description.size(), kMaxDescriptionBytes);
    }
}

TEST(ScreenDict, AFileBeyondTheRecordLimitIsTruncated) {
    TVmsDict dict;
    const DictLoadReport report = dict.load(std::string(kMaxRecords + 5, '\n'));
    EXPECT_TRUE(report.truncated);
    EXPECT_EQ(dict.size(), kMaxRecords);
}

} // namespace
} // namespace tovi::screen
