#include "schemes/char_code_map.h"

#include "tables/code_table_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

CharCodeMap mapOf(std::initializer_list<std::pair<char16_t, std::u16string_view>> codes) {
    CharCodeMap map;
    for (const auto& [character, code] : codes)
        map.add(character, code);
    return map;
}

TEST(MakeWordCode, FollowsTheSchemeRule) {
    const CharCodeMap letters = mapOf({{u'甲', u"abcd"}, {u'乙', u"efg"}});
    EXPECT_EQ(makeWordCode(letters, u"甲乙", Scheme::Keypad), u"abce");
    const CharCodeMap pinyin = mapOf({{u'中', u"zhong"}, {u'国', u"guo"}, {u'人', u"ren"}});
    EXPECT_EQ(makeWordCode(pinyin, u"中国", Scheme::Pinyin), u"zho0g");
    EXPECT_EQ(makeWordCode(pinyin, u"中国人", Scheme::Pinyin), u"zho0g0r");
    EXPECT_EQ(makeWordCode(pinyin, u"中国", Scheme::D), u"zho0g");
    EXPECT_EQ(makeWordCode(pinyin, u"中", Scheme::Pinyin), u"zhong");
    EXPECT_EQ(makeWordCode(pinyin, u"", Scheme::Pinyin), u"");
}

TEST(MakeWordCode, LongWordsUseTheSecondThirdAndLastCharacters) {
    const CharCodeMap map = mapOf({{u'一', u"abc"},
                                   {u'二', u"b"},
                                   {u'三', u"c"},
                                   {u'四', u"d"},
                                   {u'五', u"e"},
                                   {u'六', u"f"}});
    EXPECT_EQ(makeWordCode(map, u"一二三四五六", Scheme::Keypad), u"abcbcf");
    EXPECT_EQ(makeWordCode(map, u"一二三四五", Scheme::Keypad), u"abcbce");
    EXPECT_EQ(makeWordCode(map, u"一二三四", Scheme::Keypad), u"abcbcd");
    EXPECT_EQ(mapOf({{u'一', u"ab"}, {u'二', u"b"}}).codeOf(u'一'), u"ab");
    EXPECT_EQ(makeWordCode(mapOf({{u'一', u"ab"}, {u'二', u"b"}}), u"一二", Scheme::Keypad),
              u"abb");
}

TEST(MakeWordCode, ACharacterWithoutACodeEndsTheProposal) {
    const CharCodeMap map = mapOf({{u'中', u"zhong"}, {u'国', u"guo"}});
    EXPECT_EQ(makeWordCode(map, u"中X国", Scheme::Pinyin), u"zho0");
    EXPECT_EQ(makeWordCode(map, u"X国", Scheme::Pinyin), u"0g");
    EXPECT_EQ(makeWordCode(CharCodeMap(), u"中国人", Scheme::Pinyin), u"0");
    EXPECT_EQ(makeWordCode(CharCodeMap(), u"中国人", Scheme::Keypad), u"");
}

TEST(CharCodeMapFile, TakesEachCharactersLongestCodeFromTheTable) {
    test::TempFolder folder;
    const platform::InstallFolder in(folder.installFolder());
    CodeTableData data(CodeTableLayout::Letters);
    ASSERT_EQ(data.append(u"gu", u"国"), EntryFault::None);
    ASSERT_EQ(data.append(u"guo", u"国"), EntryFault::None);
    ASSERT_EQ(data.append(u"zg", u"中国"), EntryFault::None);
    ASSERT_EQ(data.append(u"zhong", u"中"), EntryFault::None);
    const std::string bytes = writeCodeTable(data);
    folder.write("tovipy.mb", bytes);
    const CharCodeMap map(Scheme::Pinyin, in);
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.codeOf(u'国'), u"guo");
    EXPECT_EQ(map.codeOf(u'中'), u"zhong");
    EXPECT_EQ(CharCodeMap(Scheme::D, in).size(), 0u); // no layout for scheme 3
}

TEST(CharCodeMapFile, MissingOrBrokenFilesGiveAnEmptyMap) {
    test::TempFolder folder;
    const platform::InstallFolder in(folder.installFolder());
    EXPECT_EQ(CharCodeMap(Scheme::Keypad, in).size(), 0u);
    folder.write("toviwb.mb", "\x05\x00");
    EXPECT_EQ(CharCodeMap(Scheme::Keypad, in).size(), 0u);
    folder.write("toviwb.mb", "");
    EXPECT_EQ(CharCodeMap(Scheme::Keypad, in).size(), 0u);
}

} // namespace
} // namespace tovi
