// The keypad and pinyin schemes on top of the engine core.
#include "engine/scheme_engines.h"

#include "engine_fixture.h"
#include "platform/install_folder.h"

namespace tovi {
namespace {

class KeypadScheme : public test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        useEngine(std::make_unique<KeypadEngine>(services()));
    }
    bool keypad(int digit) { return tap(vk::Numpad0 + digit, static_cast<char16_t>(u'0' + digit)); }
};

TEST_F(KeypadScheme, ConfirmCommitsAUniqueExactMatchAtOnce) {
    keypad(2);
    keypad(3);
    EXPECT_EQ(engine().GetCode(), u"23");
    flags.exactMatchCount = 1;
    flags.singleExactMatch = true;
    keypad(0);
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中"}));
    EXPECT_FALSE(flags.singleExactMatch);
    EXPECT_EQ(engine().GetCode(), u"");
}

TEST_F(KeypadScheme, SeveralExactMatchesNeedTwoConfirms) {
    keypad(2);
    keypad(3);
    flags.exactMatchCount = 2;
    keypad(0);
    EXPECT_TRUE(host.commits.empty());
    EXPECT_TRUE(flags.selectionPending);
    EXPECT_EQ(engine().candidates().totalCount(), 3);
    keypad(2); // the digits now select
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中国"}));
    EXPECT_FALSE(flags.selectionPending);
}

TEST_F(KeypadScheme, SecondConfirmCommitsTheFirstCandidate) {
    keypad(2);
    flags.exactMatchCount = 3;
    keypad(0);
    keypad(0);
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中"}));
}

TEST_F(KeypadScheme, KeypadDivideOpensTheSymbolList) {
    EXPECT_TRUE(tap(vk::Divide, u'/'));
    EXPECT_EQ(engine().GetCode(), u"/");
    EXPECT_TRUE(flags.selectionPending);
    keypad(3);
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"，"}));
}

TEST_F(KeypadScheme, KeypadDecimalOnAnEmptyCodeDeletesInTheApplication) {
    EXPECT_TRUE(tap(vk::Decimal, u'.'));
    EXPECT_EQ(host.log, (std::vector<std::string>{"backspace"}));
    keypad(2);
    keypad(5);
    tap(vk::Decimal, u'.');
    EXPECT_EQ(engine().GetCode(), u"2");
    tap(vk::Decimal, u'.');
    EXPECT_EQ(engine().GetCode(), u"");
    EXPECT_EQ(host.log.back(), "end");
}

TEST_F(KeypadScheme, MainRowDigitsAndLettersAreNeverClaimed) {
    settings.flags &= ~flag::FullWidthSymbols;
    EXPECT_FALSE(tap('1', u'1'));
    EXPECT_FALSE(tap('A', u'a'));
    EXPECT_FALSE(tap(vk::OemComma, u','));
    keypad(2);
    EXPECT_FALSE(tap('1', u'1'));
    EXPECT_TRUE(tap(vk::OemComma, u',')); // pages while a code is typed
    EXPECT_EQ(host.infos.back(), u"已至最前页！");
}

TEST_F(KeypadScheme, SpaceWithCandidatesButNoCodeIsEaten) {
    engine().candidates() = CandidateList({u"中"}, u"", false);
    EXPECT_TRUE(press(vk::Space, u' ')); // the keypad scheme's Space always selects
}

TEST_F(KeypadScheme, CompanionGetsTheLastCommittedCharacterWithAQuotedPath) {
    tap(vk::Multiply, u'*');
    EXPECT_TRUE(host.programs.empty()); // nothing committed yet
    keypad(2);
    flags.exactMatchCount = 2;
    keypad(0);
    keypad(2);
    tap(vk::Multiply, u'*');
    ASSERT_EQ(host.programs.size(), 1u);
    EXPECT_EQ(host.programs[0], u"\"" + installFolder.path() + u"\\PVemoraScreen.exe\" get 国");
    process.secureDesktop = true;
    tap(vk::Multiply, u'*');
    EXPECT_EQ(host.programs.size(), 1u);
}

TEST_F(KeypadScheme, AssociationFollowsACommitWhenTheOptionIsOn) {
    keypad(2);
    flags.exactMatchCount = 2;
    keypad(0);
    keypad(2);
    lookup.association = {u"中国人", u"中国话"};
    tap(vk::Add, u'+');
    EXPECT_TRUE(host.commits.size() == 1); // off: nothing happens
    settings.flags |= flag::WordAssociation;
    tap(vk::Add, u'+');
    EXPECT_EQ(engine().candidates().itemText(0), u"中国人");
    EXPECT_TRUE(flags.selectionPending);
}

class PinyinScheme : public test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        folder.write("deduSPNum.pi", std::string("\xFF\xFE"
                                                 "a\0b\0\t\0\t\0x\0y\0z\0\r\0\n\0",
                                                 20));
        settings.setScheme(Scheme::Pinyin);
        useEngine(std::make_unique<PinyinEngine>(services()));
    }
};

TEST_F(PinyinScheme, LettersTypeAndDigitsSelect) {
    EXPECT_FALSE(tap('1', u'1')); // no code: the digit is the application's
    typeLetters(u"zhong");
    EXPECT_EQ(engine().GetCode(), u"zhong");
    EXPECT_TRUE(tap('2', u'2'));
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中国"}));
}

TEST_F(PinyinScheme, OnlyTheCtrlSelectionItselfPromotes) {
    typeLetters(u"zhong");
    keys[vk::Control] = 0x80;
    EXPECT_TRUE(press(vk::Numpad1 + 1));
    release(vk::Numpad1 + 1);
    keys[vk::Control] = 0;
    EXPECT_EQ(lookup.promoted, (std::vector<std::u16string>{u"zhong:中国"}));
    typeLetters(u"zhong");
    EXPECT_TRUE(tap('2', u'2'));
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中国", u"中国"}));
    EXPECT_EQ(lookup.promoted.size(), 1u);
}

TEST_F(PinyinScheme, ZeroIsNeverClaimedAndSpaceOnlyWithACode) {
    typeLetters(u"z");
    EXPECT_FALSE(tap('0', u'0'));
    EXPECT_TRUE(tap(vk::Space, u' '));
    EXPECT_EQ(host.commits.back(), u"中");
    // Candidates without a code (as after association) leave Space to the application.
    engine().candidates() = CandidateList({u"中"}, u"", false);
    EXPECT_FALSE(press(vk::Space, u' '));
}

TEST_F(PinyinScheme, PageKeysAndPlusMinusTurnThePages) {
    lookup.items.assign(20, u"字");
    typeLetters(u"z");
    tap(vk::Next);
    EXPECT_EQ(engine().candidates().first(), 9);
    tap(vk::OemMinus, u'-');
    EXPECT_EQ(engine().candidates().first(), 0);
    tap(vk::OemPlus, u'=');
    EXPECT_EQ(engine().candidates().first(), 9);
    tap(vk::Prior);
    EXPECT_EQ(engine().candidates().first(), 0);
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(PinyinScheme, BackspaceShortensTheCodeThenDeletesInTheApplication) {
    typeLetters(u"zh");
    host.log.clear();
    tap(vk::Back, u'\b');
    EXPECT_EQ(engine().GetCode(), u"z");
    tap(vk::Back, u'\b');
    EXPECT_EQ(engine().GetCode(), u"");
    EXPECT_EQ(host.log.back(), "end");
    EXPECT_FALSE(tap(vk::Back, u'\b')); // the empty code leaves Backspace to the application
}

TEST_F(PinyinScheme, KeyTableReadsKeyAndValueAcrossSeparatorRuns) {
    auto& pinyin = static_cast<PinyinEngine&>(engine());
    ASSERT_EQ(pinyin.keyTable().entries().size(), 1u);
    EXPECT_EQ(pinyin.keyTable().entries().at(u"ab"), u"xyz");
}

TEST(PiTable, LaterLinesReplaceEarlierOnesAndLinesWithoutASeparatorAreIgnored) {
    PiTable table;
    table.addLine(u"ab  one two");
    table.addLine(u"ab\tthree");
    table.addLine(u"lonely");
    EXPECT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.entries().at(u"ab"), u"three");
}

} // namespace
} // namespace tovi
