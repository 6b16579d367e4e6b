#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <array>

namespace tovi::platform {
namespace {

TEST(CodePage, RoundTripsChineseAndAscii) {
    EXPECT_EQ(utf16ToGbk(u"中国 ab1"), std::string("\xD6\xD0\xB9\xFA ab1"));
    EXPECT_EQ(gbkToUtf16("\xD6\xD0\xB9\xFA ab1"), std::u16string(u"中国 ab1"));
    EXPECT_EQ(gbkToUtf16(""), std::u16string());
    EXPECT_EQ(utf16ToGbk(u""), std::string());
}

TEST(CodePage, RefusesWhatGbkCannotHold) {
    EXPECT_EQ(gbkToUtf16("\xD6"), std::nullopt);        // lead byte without its trail
    EXPECT_EQ(gbkToUtf16("a\xFF\xFF"), std::nullopt);   // undefined sequence
    EXPECT_EQ(utf16ToGbk(u"\U0001F600"), std::nullopt); // outside GBK
    EXPECT_EQ(utf16ToGbk(u"a\xD800"), std::nullopt);    // unpaired surrogate
}

TEST(CodePage, BoundedFormsNeverWritePastTheirBuffer) {
    std::array<char16_t, 3> wide{u'x', u'x', u'x'};
    EXPECT_EQ(gbkToUtf16("\xD6\xD0\xB9\xFA", std::span(wide).first(2)), 2u);
    EXPECT_EQ(wide[2], u'x');
    EXPECT_EQ(gbkToUtf16("abc", std::span(wide).first(2)), std::nullopt);
    EXPECT_EQ(wide[2], u'x');

    std::array<char, 4> narrow{'x', 'x', 'x', 'x'};
    EXPECT_EQ(utf16ToGbk(u"中国", std::span(narrow).first(3)), std::nullopt);
    EXPECT_EQ(narrow[3], 'x');
    EXPECT_EQ(utf16ToGbk(u"中国", narrow), 4u);
}

} // namespace
} // namespace tovi::platform
