#include "schemes/code_hint_table.h"

#include "tables/ime_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

std::string utf16(std::u16string_view text) {
    std::string bytes("\xFF\xFE");
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

class CodeHints : public ::testing::Test {
protected:
    LoadedCodeHintTable load(std::u16string_view text) {
        folder.write("codePyMain.pmt", utf16(text));
        return LoadedCodeHintTable(settings, in);
    }
    test::TempFolder folder;
    platform::InstallFolder in{folder.installFolder()};
    ImeSettings settings{in}; // scheme 1 by default
};

TEST_F(CodeHints, MarkOnlyFileIsEmpty) {
    EXPECT_EQ(load(u"").size(), 0u);
    EXPECT_EQ(LoadedCodeHintTable(settings, in).hintFor(u"1"), u"");
}

TEST_F(CodeHints, HintKeepsInnerAndTrailingSpaces) {
    const auto table = load(u"11\tg 王 \r\n23   \t 口\r\n");
    EXPECT_EQ(table.hintFor(u"11"), u"g 王 ");
    EXPECT_EQ(table.hintFor(u"23"), u"口");
    EXPECT_EQ(table.hintFor(u"2"), u"");
}

TEST_F(CodeHints, LeadingSeparatorGivesTheEmptyKey) {
    EXPECT_EQ(load(u"\t横区\r\n").hintFor(u""), u"横区");
}

TEST_F(CodeHints, LaterLinesWinAndTheLastLineNeedsNoLineEnd) {
    const auto table = load(u"1 one\r\n1 uno\r\n2 two");
    EXPECT_EQ(table.hintFor(u"1"), u"uno");
    EXPECT_EQ(table.hintFor(u"2"), u"two");
}

TEST_F(CodeHints, LineFeedAloneDoesNotEndALine) {
    const auto table = load(u"1 a\n2 b\n");
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.hintFor(u"1"), u"a\n2 b\n");
}

TEST_F(CodeHints, LineWithoutSeparatorIsAKeyWithAnEmptyHint) {
    const auto table = load(u"lonely\r\n");
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.hintFor(u"lonely"), u"");
}

TEST_F(CodeHints, OnlyTheKeypadSchemeHasHints) {
    const auto table = load(u"1 one\r\n");
    settings.setScheme(Scheme::Pinyin);
    EXPECT_EQ(table.hintFor(u"1"), u"");
    EXPECT_EQ(CodeHintTable().hintFor(u"1"), u"");
}

} // namespace
} // namespace tovi
