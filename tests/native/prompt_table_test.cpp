#include "tables/prompt_table.h"

#include "tables/text_line_reader.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tovi {
namespace {

// UTF-16LE bytes of a text, with an optional mark in front.
std::string utf16(std::u16string_view text, bool mark = true) {
    std::string bytes = mark ? std::string("\xFF\xFE") : std::string();
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::vector<std::u16string> lines(const test::TempFolder& folder, const std::string& bytes,
                                  std::size_t maxUnits = 255) {
    folder.write("lines.txt", bytes);
    std::FILE* file = std::fopen(folder.file("lines.txt").c_str(), "rb");
    std::vector<std::u16string> out;
    std::u16string line;
    while (readLine(file, line, maxUnits))
        out.push_back(line);
    std::fclose(file);
    return out;
}

TEST(ReadLine, StopsAtAReadErrorThatNeverReachesTheEnd) {
    test::TempFolder folder;
    // A folder opens for reading with stdio here, and every read of it fails.
    std::FILE* file = std::fopen(folder.path().c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::u16string line;
    int lines = 0;
    while (readLine(file, line, 255) && lines < 1000)
        ++lines;
    std::fclose(file);
    EXPECT_LT(lines, 1000);
}

TEST(ReadLine, SkipsTheMarkAndSplitsAtCrLfOnly) {
    test::TempFolder folder;
    EXPECT_EQ(lines(folder, utf16(u"ab\r\ncd\ref\ngh")),
              (std::vector<std::u16string>{u"ab", u"cd\ref\ngh"}));
    EXPECT_EQ(lines(folder, utf16(u"ab\r\n")), (std::vector<std::u16string>{u"ab", u""}));
    // Without a mark the first character is lost: two bytes are skipped regardless.
    EXPECT_EQ(lines(folder, utf16(u"xy", false)), (std::vector<std::u16string>{u"y"}));
    EXPECT_EQ(lines(folder, ""), (std::vector<std::u16string>{u""}));
}

TEST(ReadLine, CutsLongLinesWithoutLosingTheNext) {
    test::TempFolder folder;
    EXPECT_EQ(lines(folder, utf16(u"abcdef\r\ngh\r\n"), 3),
              (std::vector<std::u16string>{u"abc", u"gh", u""}));
    EXPECT_EQ(lines(folder, utf16(u"abc\r\n"), 3), (std::vector<std::u16string>{u"abc", u""}));
    EXPECT_EQ(lines(folder, utf16(u"ab\r\n") + "\x01", 3),
              (std::vector<std::u16string>{u"ab", u""})); // a lone last byte is the end
}

TEST(PromptRowParsing, KeyThenFieldsBetweenSeparatorRuns) {
    const PromptRow row = PromptTable::parseRow(u"12\tword  two\tthree ");
    EXPECT_EQ(row.key, 12);
    EXPECT_EQ(row.strings[0], u"word");
    EXPECT_EQ(row.strings[1], u"two");
    EXPECT_EQ(row.strings[2], u"three");
    EXPECT_EQ(row.strings[3], u"");
    const PromptRow bare = PromptTable::parseRow(u"7 ");
    EXPECT_EQ(bare.key, 7);
    EXPECT_EQ(bare.strings[0], u"");
    EXPECT_EQ(PromptTable::parseRow(u"x1 a").key, 0);
}

TEST(PromptRowParsing, AtMostOneHundredFields) {
    std::u16string line = u"1";
    for (int i = 0; i < 150; ++i)
        line += u" f";
    const PromptRow row = PromptTable::parseRow(line);
    EXPECT_EQ(row.strings[99], u"f");
}

class PromptTableFile : public ::testing::Test {
protected:
    test::TempFolder folder;
    platform::InstallFolder in{folder.installFolder()};
};

TEST_F(PromptTableFile, LaterRowsReplaceEarlierOnesAndSelectionKeepsUnknownKeys) {
    folder.write("vemoraSP.pmt", utf16(u"0 zero\r\n5 first\r\n\r\n5 second\r\n12 a b\r\n"));
    PromptTable table(Scheme::Pinyin, in);
    EXPECT_EQ(table.size(), 3u);
    std::array<std::u16string, PromptRow::kFields> row;
    table.copyCurrentRow(row);
    EXPECT_EQ(row[0], u"zero");
    table.selectRow(u"5");
    table.copyCurrentRow(row);
    EXPECT_EQ(row[0], u"second");
    table.selectRow(u"99");
    EXPECT_EQ(table.currentKey(), 5);
    table.selectRow(u"");
    EXPECT_EQ(table.currentKey(), 0);
}

TEST_F(PromptTableFile, CopiesTheFirstThirtyFiveStrings) {
    std::u16string line = u"0";
    for (int i = 0; i < 40; ++i)
        line += u" s" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    folder.write("vemoraPY.pmt", utf16(line + u"\r\n"));
    PromptTable table(Scheme::Keypad, in);
    std::array<std::u16string, PromptRow::kFields> row;
    row[50] = u"stale";
    table.copyCurrentRow(row);
    EXPECT_EQ(row[34], u"s" + std::u16string(1, u'A' + 34));
    EXPECT_EQ(row[35], u"");
    EXPECT_EQ(row[50], u"");
}

TEST_F(PromptTableFile, MissingFileOrRowGivesEmptyStrings) {
    PromptTable table(Scheme::Pinyin, in);
    EXPECT_EQ(table.size(), 0u);
    std::array<std::u16string, PromptRow::kFields> row;
    row[0] = u"stale";
    table.copyCurrentRow(row);
    EXPECT_EQ(row[0], u"");
}

} // namespace
} // namespace tovi
