#include "platform/char_conversions.h"

#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace tovi {
namespace {

TEST(ToFullWidth, LettersAndDigitsMatchGbkRowA3) {
    QuoteState quotes;
    const std::string ascii = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (const char c : ascii) {
        const char gbk[] = {static_cast<char>(0xA3), static_cast<char>(c + 0x80)};
        const auto expected = platform::gbkToUtf16(std::string_view(gbk, 2));
        ASSERT_TRUE(expected && expected->size() == 1) << c;
        EXPECT_EQ(toFullWidth(static_cast<char16_t>(c), quotes), (*expected)[0]) << c;
    }
    EXPECT_EQ(toFullWidth(u'0', quotes), u'\uFF10');
    EXPECT_EQ(toFullWidth(u'z', quotes), u'\uFF5A');
}

TEST(ToFullWidth, PunctuationTable) {
    QuoteState quotes;
    const std::u16string in = u"~!@#$%^&*:)(<>,./?;`[]{}\\-_=+| ";
    const std::u16string out = u"～！◎＃￥％…＆。：）（《》，。、？；｀【】『』÷，—＝；§\u3000";
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(toFullWidth(in[i], quotes), out[i]) << static_cast<char>(in[i]);
}

TEST(ToFullWidth, QuotesAlternateEachOnItsOwn) {
    QuoteState quotes;
    EXPECT_EQ(toFullWidth(u'\'', quotes), u'\u2018');
    EXPECT_EQ(toFullWidth(u'"', quotes), u'\u201C');
    EXPECT_EQ(toFullWidth(u'\'', quotes), u'\u2019');
    EXPECT_EQ(toFullWidth(u'\'', quotes), u'\u2018');
    EXPECT_EQ(toFullWidth(u'"', quotes), u'\u201D');
    EXPECT_EQ(toFullWidth(u'"', quotes), u'\u201C');
}

TEST(ToFullWidth, EverythingElseHasNoForm) {
    QuoteState quotes;
    for (const char16_t c : {u'\0', u'\t', u'\r', u'\x7F', u'\x80', u'\u4E2D', u'\uFF10'})
        EXPECT_EQ(toFullWidth(c, quotes), 0) << static_cast<int>(c);
    EXPECT_TRUE(quotes.singleOpens);
    EXPECT_TRUE(quotes.doubleOpens);
}

} // namespace
} // namespace tovi
