// Keypad minus with the web-search option: the last committed text searched for in the browser,
// percent-encoded as UTF-8 in a bounded address.
#include "engine_fixture.h"

namespace tovi {
namespace {

using test::EngineTest;

constexpr std::u16string_view kAddress = u"https://www.baidu.com/s?wd=";
// The address lives in a buffer of 255 units with its terminator.
constexpr std::size_t kMaxUnits = 254;

std::u16string searchFor(std::u16string_view escaped) {
    return std::u16string(kAddress) + std::u16string(escaped);
}

TEST_F(EngineTest, KeypadMinusIsNoHotkeyWithoutTheOption) {
    EXPECT_FALSE(press(vk::Subtract, u'-'));
    EXPECT_TRUE(host.urls.empty());
}

TEST_F(EngineTest, WebSearchOpensTheLastCommitEncoded) {
    settings.flags |= flag::WebSearch;
    typeLetters(u"zg");
    tap(vk::Numpad1 + 1, u'2');
    ASSERT_EQ(engine().lastCommitted(), u"中国");
    EXPECT_TRUE(press(vk::Subtract, u'-'));
    EXPECT_EQ(host.urls, (std::vector<std::u16string>{searchFor(u"%E4%B8%AD%E5%9B%BD")}));
}

TEST_F(EngineTest, AHeldWebSearchKeyOpensOneAddress) {
    settings.flags |= flag::WebSearch;
    EXPECT_TRUE(press(vk::Subtract, u'-'));
    EXPECT_TRUE(press(vk::Subtract, u'-', 0x40000001)); // auto-repeats stay the module's
    EXPECT_TRUE(press(vk::Subtract, u'-', 0x40000001));
    EXPECT_TRUE(release(vk::Subtract));
    EXPECT_EQ(host.urls.size(), 1u);
}

TEST_F(EngineTest, TheLogonDesktopNeverOpensTheBrowser) {
    settings.flags |= flag::WebSearch;
    process.secureDesktop = true;
    press(vk::Subtract, u'-');
    EXPECT_TRUE(host.urls.empty());
}

TEST(WebSearchUrl, UnreservedCharactersStayAsTheyAre) {
    EXPECT_EQ(ImeEngine::webSearchUrl(u"AZaz09-._~"), searchFor(u"AZaz09-._~"));
    EXPECT_EQ(ImeEngine::webSearchUrl(u""), searchFor(u""));
}

TEST(WebSearchUrl, ReservedAndControlCharactersAreEscaped) {
    EXPECT_EQ(ImeEngine::webSearchUrl(u"a b&c=d/e?f#g+h%i\"j"),
              searchFor(u"a%20b%26c%3Dd%2Fe%3Ff%23g%2Bh%25i%22j"));
    EXPECT_EQ(ImeEngine::webSearchUrl(std::u16string(u"\t\r\n\0\x7F", 5)),
              searchFor(u"%09%0D%0A%00%7F"));
}

TEST(WebSearchUrl, OtherCharactersAreTheirUtf8Bytes) {
    EXPECT_EQ(ImeEngine::webSearchUrl(u"é"), searchFor(u"%C3%A9"));
    EXPECT_EQ(ImeEngine::webSearchUrl(u"中，"), searchFor(u"%E4%B8%AD%EF%BC%8C"));
    EXPECT_EQ(ImeEngine::webSearchUrl(u"\uFFFF"), searchFor(u"%EF%BF%BF"));
}

TEST(WebSearchUrl, ASurrogatePairIsOneCodePoint) {
    EXPECT_EQ(ImeEngine::webSearchUrl(u"\U00020000"), searchFor(u"%F0%A0%80%80"));
    EXPECT_EQ(ImeEngine::webSearchUrl(u"a\U0010FFFFb"), searchFor(u"a%F4%8F%BF%BFb"));
}

TEST(WebSearchUrl, ALoneSurrogateBecomesTheReplacementCharacter) {
    const std::u16string replacement = u"%EF%BF%BD";
    EXPECT_EQ(ImeEngine::webSearchUrl(u"\xD800"), searchFor(replacement));
    EXPECT_EQ(ImeEngine::webSearchUrl(u"\xDC00z"), searchFor(replacement + u"z"));
    // A high surrogate followed by anything but a low one, and a low one after a pair.
    EXPECT_EQ(ImeEngine::webSearchUrl(u"\xD83D\x41\xD83D\xDE00\xDE00"),
              searchFor(replacement + u"A%F0%9F%98%80" + replacement));
}

TEST(WebSearchUrl, TheAddressIsBoundedAndEndsOnAWholeCharacter) {
    EXPECT_EQ(ImeEngine::webSearchUrl(std::u16string(400, u'a')),
              searchFor(std::u16string(kMaxUnits - kAddress.size(), u'a')));
    // Nine units a character: as many whole characters as fit.
    const std::u16string chinese = ImeEngine::webSearchUrl(std::u16string(100, u'中'));
    EXPECT_EQ(chinese.size(), kAddress.size() + (kMaxUnits - kAddress.size()) / 9 * 9);
    EXPECT_TRUE(chinese.ends_with(u"%E4%B8%AD"));
    // One unit short of room for the last character: it is left out, not cut.
    const std::u16string text = std::u16string(kMaxUnits - kAddress.size() - 8, u'a') + u"中";
    EXPECT_EQ(ImeEngine::webSearchUrl(text),
              searchFor(std::u16string(kMaxUnits - kAddress.size() - 8, u'a')));
    // A pair that does not fit is left out whole too.
    const std::u16string pair =
        std::u16string(kMaxUnits - kAddress.size() - 11, u'a') + u"\U00020000";
    EXPECT_EQ(ImeEngine::webSearchUrl(pair).size(), kMaxUnits - 11);
}

} // namespace
} // namespace tovi
