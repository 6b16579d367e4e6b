#include "platform/char_conversions.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace tovi {
namespace {

std::u16string convert(std::u16string_view text) {
    std::u16string out(text.size() + 1, u'?');
    const std::size_t n = toTraditional(text, out);
    EXPECT_EQ(n, text.size());
    EXPECT_EQ(out[n], u'\0');
    out.resize(n);
    return out;
}

TEST(ToTraditional, ConvertsCharacterByCharacter) {
    EXPECT_EQ(convert(u"简体中文"), u"簡體中文");
    EXPECT_EQ(convert(u"汉语拼音输入法"), u"漢語拼音輸入法");
    EXPECT_EQ(convert(u"国"), u"國");
}

TEST(ToTraditional, LeavesEverythingElseAlone) {
    EXPECT_EQ(convert(u"abc 123，。"), u"abc 123，。");
    EXPECT_EQ(convert(u"繁體"), u"繁體");
    EXPECT_EQ(convert(u"\U0001F600"), u"\U0001F600"); // surrogates pass through
}

TEST(ToTraditional, EmptySourceGivesEmptyTerminatedResult) {
    std::array<char16_t, 1> out{u'x'};
    EXPECT_EQ(toTraditional(u"", out), 0u);
    EXPECT_EQ(out[0], u'\0');
}

TEST(ToTraditional, NeverWritesPastTheDestination) {
    std::array<char16_t, 4> out{u'x', u'x', u'x', u'x'};
    EXPECT_EQ(toTraditional(std::u16string_view(u"后台发动机"), std::span(out).first(3)), 2u);
    EXPECT_EQ(out[0], u'後');
    EXPECT_EQ(out[1], u'臺');
    EXPECT_EQ(out[2], u'\0');
    EXPECT_EQ(out[3], u'x');
    EXPECT_EQ(toTraditional(u"国", std::span<char16_t>()), 0u);
}

TEST(TraditionalOf, UsesTheFirstChoiceAndOnlyOneUnitForms) {
    EXPECT_EQ(traditionalOf(u'发'), u'發');
    EXPECT_EQ(traditionalOf(u'A'), u'A');
    EXPECT_EQ(traditionalOf(char16_t{0xD840}), char16_t{0xD840});
}

} // namespace
} // namespace tovi
