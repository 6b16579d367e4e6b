#include "data_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace tovi::tools {
namespace {

// A complete source with made-up mnemonics.
std::string keysSource() {
    std::string s = "# keys\nzone 1 横区\nzone 2 竖区\nzone 3 撇区\nzone 4 捺区\nzone 5 折区\n";
    const std::string letters = "gfdsahjklmtrewqyuiopnbvcx";
    for (std::size_t i = 0; i < letters.size(); ++i)
        s += std::to_string((i / 5 + 1) * 10 + i % 5 + 1) + " " + letters[i] + " 根" +
             std::to_string(i) + "，再" + "\n";
    return s;
}

TEST(Utf16File, StartsWithTheMarkAndEndsLinesWithCrLf) {
    EXPECT_EQ(utf16File({u"a\tb", u"中"}), std::string("\xFF\xFE"
                                                       "a\0\t\0b\0\r\0\n\0"
                                                       "\x2D\x4E\r\0\n\0",
                                                       18));
    EXPECT_EQ(utf16File({}), "\xFF\xFE");
}

TEST(KeypadKeys, ReadsZonesAndKeys) {
    const KeypadKeys k = readKeypadKeys(keysSource());
    ASSERT_TRUE(k.ok()) << k.error;
    EXPECT_EQ(k.zoneNames[1], u"竖区");
    ASSERT_EQ(k.keys.size(), 25u);
    EXPECT_EQ(k.keys[7].digits, "23");
    EXPECT_EQ(k.keys[7].letter, 'k');
    EXPECT_EQ(k.keys[7].mnemonic, u"根7，再");
}

TEST(KeypadKeys, RefusesALetterOnTheWrongKey) {
    std::string s = keysSource();
    s.replace(s.find("11 g"), 4, "11 f");
    const KeypadKeys k = readKeypadKeys(s);
    EXPECT_FALSE(k.ok());
    EXPECT_NE(k.error.find("12"), std::string::npos) << k.error;
}

TEST(KeypadKeys, RefusesMissingKeysAndZones) {
    std::string s = keysSource();
    s.erase(s.find("55 x"));
    EXPECT_FALSE(readKeypadKeys(s).ok());
    s = keysSource();
    s.erase(s.find("zone 3"), 10);
    EXPECT_FALSE(readKeypadKeys(s).ok());
    EXPECT_FALSE(readKeypadKeys("11 z 根\n").ok());
    EXPECT_FALSE(readKeypadKeys("11\n").ok());
}

TEST(KeypadHintLines, CoverEveryOneAndTwoDigitInput) {
    const auto lines = codeHintLines(readKeypadKeys(keysSource()));
    std::set<std::u16string> keys;
    for (const std::u16string& line : lines)
        keys.insert(line.substr(0, line.find(u'\t')));
    EXPECT_EQ(keys.size(), 9u + 81u);
    EXPECT_EQ(lines.size(), keys.size());
    EXPECT_TRUE(checkHintLines(lines).empty());
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"23\tK 根7，再"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"1\t横区 11G 12F 13D 14S 15A"), lines.end());
}

TEST(PromptFileLines, HaveNumericKeysAndFitTheReader) {
    const KeypadKeys k = readKeypadKeys(keysSource());
    const auto keypad = keypadPromptLines(k);
    EXPECT_TRUE(checkPromptLines(keypad).empty());
    EXPECT_EQ(keypad.size(), 1u + 5u + 25u);
    EXPECT_NE(std::find(keypad.begin(), keypad.end(), u"23\t23K\t根7\t再"), keypad.end());

    const auto pinyin = pinyinPromptLines();
    ASSERT_EQ(pinyin.size(), 1u);
    EXPECT_TRUE(checkPromptLines(pinyin).empty());
    EXPECT_EQ(std::count(pinyin[0].begin(), pinyin[0].end(), u'\t'), 35);
    EXPECT_TRUE(pinyin[0].starts_with(u"0\t声母\tb\tp"));
}

TEST(PromptFileLines, CheckCatchesLinesTheReaderCannotTake) {
    EXPECT_FALSE(checkPromptLines({u"1" + std::u16string(260, u'x')}).empty());
    EXPECT_FALSE(checkPromptLines({u"x\ty"}).empty());
    std::u16string many = u"1";
    for (int i = 0; i < 101; ++i)
        many += u" f";
    EXPECT_FALSE(checkPromptLines({many}).empty());
    EXPECT_FALSE(checkHintLines({u"nokey"}).empty());
    EXPECT_FALSE(checkHintLines({u"1\ta\r\nb"}).empty());
}

TEST(PinyinKeyLines, ListsTheFinalsOfEachInitial) {
    std::size_t dropped = 0;
    const auto lines = pinyinKeyLines({DictEntry{u"中国", "zhong guo", 1, 1},
                                       DictEntry{u"安", "an", 1, 2}, DictEntry{u"嗯", "ng", 1, 3},
                                       DictEntry{u"绿", "lv", 1, 4}, DictEntry{u"路", "lu", 1, 5}},
                                      dropped);
    EXPECT_EQ(dropped, 1u);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"l\tu v", u"g\tuo", u"zh\tong", u"0\tan"}));
}

TEST(KeypadKeys, TheShippedSourceIsComplete) {
    const auto path =
        std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "data" / "keypad_keys.txt";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const KeypadKeys k = readKeypadKeys(bytes);
    ASSERT_TRUE(k.ok()) << k.error;
    EXPECT_EQ(k.keys[0].mnemonic, u"王旁青头戋五一");
    EXPECT_TRUE(checkHintLines(codeHintLines(k)).empty());
    EXPECT_TRUE(checkPromptLines(keypadPromptLines(k)).empty());
}

} // namespace
} // namespace tovi::tools
