#include "table_check.h"

#include "raw_table_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tovi::tools {
namespace {

using test::entry;
using test::field;
using test::le32;

// A keypad header with consistent starts for the given counts (9 buckets).
std::string keypadHeader(std::vector<std::int32_t> counts) {
    counts.resize(9, 0);
    std::string out;
    for (const auto c : counts)
        out += le32(c);
    std::int32_t start = 0;
    out += le32(0);
    for (const auto c : counts)
        out += le32(start += c);
    return out;
}

const std::string kZhong = "\xD6\xD0";            // 中
const std::string kZhongGuo = "\xD6\xD0\xB9\xFA"; // 中国

TableReport check(const std::string& file) {
    return verifyCodeTable(file, CodeTableLayout::Digits);
}

TEST(TableCheck, AcceptsASoundTable) {
    const std::string file = keypadHeader({0, 3}) + entry("23", kZhong) +
                             entry("23212411", kZhongGuo) + entry("2322", kZhong);
    const TableReport r = check(file);
    EXPECT_TRUE(r.ok()) << (r.details.empty() ? "" : r.details[0]);
    EXPECT_EQ(r.entries, 3u);
}

TEST(TableCheck, FindsAShortHeader) {
    const TableReport r = check(std::string(30, '\0'));
    EXPECT_EQ(r.count(TableProblem::Header), 1u);
}

TEST(TableCheck, FindsStartsThatAreNotTheSumsOfTheCounts) {
    std::string file = keypadHeader({0, 1}) + entry("23", kZhong);
    file.replace(9 * 4 + 2 * 4, 4, le32(0)); // start[2] = 0 instead of 1
    EXPECT_GE(check(file).count(TableProblem::Header), 1u);
}

TEST(TableCheck, FindsANegativeCount) {
    std::string file = keypadHeader({});
    file.replace(0, 4, le32(-1));
    EXPECT_GE(check(file).count(TableProblem::Header), 1u);
}

TEST(TableCheck, FindsAnEntryCountTheFileCannotHold) {
    const TableReport r = check(keypadHeader({1000}));
    EXPECT_EQ(r.count(TableProblem::Header), 1u);
}

TEST(TableCheck, FindsBadLengthBytes) {
    EXPECT_EQ(
        check(keypadHeader({1, 1}) + entry("11", kZhong) + std::string("\x00\x02", 2) + kZhong)
            .count(TableProblem::Framing),
        1u);
    EXPECT_EQ(check(keypadHeader({1}) + field("11") + "\x80" + std::string(128, 'a'))
                  .count(TableProblem::Framing),
              1u);
}

TEST(TableCheck, FindsATruncatedFile) {
    const std::string file = keypadHeader({2}) + entry("11", kZhong) + entry("12", kZhong);
    EXPECT_EQ(check(file.substr(0, file.size() - 1)).count(TableProblem::Framing), 1u);
}

TEST(TableCheck, FindsBytesAfterTheLastEntry) {
    const std::string file = keypadHeader({1}) + entry("11", kZhong) + "xyz";
    EXPECT_EQ(check(file).count(TableProblem::TrailingBytes), 1u);
}

TEST(TableCheck, FindsTextThatIsNotGbk) {
    const std::string file = keypadHeader({3}) + entry("11", "\xFF\xFF") + entry("12", "\x81") +
                             entry("13", std::string("a\0b", 3));
    EXPECT_EQ(check(file).count(TableProblem::NotGbk), 3u);
}

TEST(TableCheck, FindsCodeCharactersOutsideTheLayout) {
    const std::string file = keypadHeader({2}) + entry("10", kZhong) + entry("1a", kZhong);
    EXPECT_EQ(check(file).count(TableProblem::BadKey), 2u);
    EXPECT_EQ(
        verifyCodeTable(keypadHeader({}), CodeTableLayout::Letters).count(TableProblem::Header),
        1u); // a keypad file is too short for the pinyin header
}

TEST(TableCheck, FindsEntriesInTheWrongBucket) {
    const std::string file = keypadHeader({1, 1}) + entry("11", kZhong) + entry("31", kZhong);
    const TableReport r = check(file);
    EXPECT_EQ(r.count(TableProblem::WrongBucket), 1u);
    ASSERT_FALSE(r.details.empty());
    EXPECT_NE(r.details[0].find("entry 1 (code 31)"), std::string::npos);
}

TEST(TableCheck, FindsAnExactMatchAfterALongerCode) {
    const std::string file =
        keypadHeader({0, 2}) + entry("23212411", kZhongGuo) + entry("23", kZhong);
    EXPECT_EQ(check(file).count(TableProblem::ExactAfterLonger), 1u);
}

TEST(TableCheck, FindsEntriesOfOneCodeApart) {
    const std::string file =
        keypadHeader({3}) + entry("11", kZhong) + entry("12", kZhong) + entry("11", kZhongGuo);
    EXPECT_EQ(check(file).count(TableProblem::SplitCode), 1u);
}

TEST(TableCheck, FindsDuplicates) {
    const std::string file = keypadHeader({2}) + entry("11", kZhong) + entry("11", kZhong);
    EXPECT_EQ(check(file).count(TableProblem::Duplicate), 1u);
}

TEST(TableCheck, KeepsItsListOfDetailsShort) {
    std::string entries;
    for (int i = 0; i < 100; ++i)
        entries += entry("11", "\xFF\xFF");
    const TableReport r = check(keypadHeader({100}) + entries);
    EXPECT_EQ(r.count(TableProblem::NotGbk), 100u);
    EXPECT_LE(r.details.size(), 20u);
}

TEST(TableDump, ReportsAFileItCannotRead) {
    std::string error;
    EXPECT_TRUE(dumpCodeTable("short", CodeTableLayout::Digits, error).empty());
    EXPECT_FALSE(error.empty());
}

TEST(TableDump, LayoutFollowsTheFileName) {
    EXPECT_EQ(layoutFromFileName("dist/toviwb.mb"), CodeTableLayout::Digits);
    EXPECT_EQ(layoutFromFileName("C:\\tovi\\tovipy.mb"), CodeTableLayout::Letters);
    EXPECT_FALSE(layoutFromFileName("tovi.mb"));
}

} // namespace
} // namespace tovi::tools
