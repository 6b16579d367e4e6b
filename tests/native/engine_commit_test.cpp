// What the engine core commits, and the messages the application sees around it.
#include "engine_fixture.h"

namespace tovi {
namespace {

using test::EngineTest;

TEST_F(EngineTest, ChosenCandidateIsCommittedWithItsMessages) {
    typeLetters(u"zg");
    EXPECT_EQ(host.log, (std::vector<std::string>{"start", "update", "update"}));
    host.log.clear();
    EXPECT_TRUE(tap(vk::Numpad1 + 1, u'2'));
    EXPECT_EQ(host.log, (std::vector<std::string>{"commit 中国", "end"}));
    EXPECT_EQ(engine().lastCommitted(), u"中国");
    EXPECT_EQ(engine().lastCode(), u"zg");
    EXPECT_EQ(engine().GetCode(), u"");
    EXPECT_FALSE(engine().hasCandidates());
    EXPECT_EQ(host.commitContexts.back(), kContext);
}

TEST_F(EngineTest, SpaceTakesTheFirstCandidate) {
    typeLetters(u"z");
    EXPECT_TRUE(tap(vk::Space, u' '));
    EXPECT_EQ(host.commits.back(), u"中");
    EXPECT_TRUE(lookup.promoted.empty()); // the first candidate is never promoted
}

TEST_F(EngineTest, AnEmptySlotBeepsAndKeepsTheCode) {
    typeLetters(u"z");
    tap(vk::Numpad1 + 4, u'5');
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(host.infos.back(), u"所选序号无内容！");
    EXPECT_EQ(host.infoTimes.back(), 9000u);
    EXPECT_EQ(engine().GetCode(), u"z");
}

TEST_F(EngineTest, PunctuationCandidatesAreNeverPromoted) {
    typeLetters(u"z");
    keys[vk::Control] = 0x80;
    EXPECT_TRUE(press(vk::Numpad1 + 2)); // "，"
    EXPECT_EQ(host.commits.back(), u"，");
    EXPECT_TRUE(lookup.promoted.empty());
}

TEST_F(EngineTest, FullWidthCommaWithoutACodeIsCommittedDirectly) {
    EXPECT_TRUE(press(vk::OemComma, u','));
    EXPECT_EQ(host.log, (std::vector<std::string>{"start", "commit ，", "end"}));
    EXPECT_TRUE(testEngine().chars.empty());
}

TEST_F(EngineTest, WithACodeTheCommaKeyPagesBack) {
    typeLetters(u"z");
    host.log.clear();
    EXPECT_TRUE(press(vk::OemComma, u','));
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(testEngine().commands.back(), EngineCommand::PreviousPage);
    EXPECT_EQ(host.infos.back(), u"已至最前页！");
}

TEST_F(EngineTest, FullWidthLettersAndQuotes) {
    settings.flags |= flag::FullWidthLetters;
    EXPECT_TRUE(tap('A', u'a'));
    EXPECT_TRUE(tap(0xDE, u'\''));
    EXPECT_TRUE(tap(0xDE, u'\''));
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"ａ", u"‘", u"’"}));
    // Without a full-width form the character goes in unchanged, never as a null.
    EXPECT_TRUE(tap('A', u'é'));
    EXPECT_EQ(host.commits.back(), u"é");
}

TEST_F(EngineTest, HotkeysCommitNoControlCharacter) {
    settings.flags |= flag::FullWidthLetters;
    keys[vk::Control] = 0x80;
    tap('J', u'\n'); // Ctrl+J: traditional output; its character is a line feed
    keys[vk::Control] = 0;
    EXPECT_TRUE(flags.traditionalOutput);
    EXPECT_TRUE(host.commits.empty());
    EXPECT_TRUE(tap(0xDB, u'\x1B')); // Ctrl+[ as a layout may report it
    EXPECT_TRUE(host.commits.empty());
}

TEST_F(EngineTest, AShownSoftKeyboardTakesItsKeysAndCommitsThem) {
    softKeyboard.showLayout();
    EXPECT_TRUE(press('Q', u'q'));
    EXPECT_EQ(host.commits.back(), u"⒈");
    softKeyboard.selectLayout(2);
    EXPECT_TRUE(press('1', u'1'));
    EXPECT_EQ(host.commits.back(), u"1"); // a key without a symbol of its own: its character
    EXPECT_TRUE(testEngine().chars.empty());
    EXPECT_FALSE(press(vk::Left)); // not a key of the keyboard
    flags.englishMode = true;      // as the right-Shift tap leaves it
    settings.flags &= ~flag::FullWidthSymbols;
    EXPECT_FALSE(press(vk::OemComma, u','));
}

TEST_F(EngineTest, KeypadZeroOnAnEmptyCodeTypesAPlainSpace) {
    // The space goes where the key was typed.
    EXPECT_TRUE(tap(vk::Numpad0, u'0'));
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u" "}));
    EXPECT_EQ(host.commitContexts.back(), kContext);
    flags.selectionPending = true;
    tap(vk::Numpad0, u'0');
    EXPECT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(testEngine().commands, (std::vector<EngineCommand>{EngineCommand::Confirm}));
}

TEST_F(EngineTest, TwelveKeypadUnitsWithoutCandidatesStartOver) {
    lookup.items.clear();
    testEngine().setCode(u"123451234512");
    tap(vk::Numpad1, u'1');
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(engine().GetCode(), u"1"); // reset, then the key starts the new code
}

TEST_F(EngineTest, EscapeCancelsWithoutCommitting) {
    typeLetters(u"zg");
    host.log.clear();
    EXPECT_TRUE(tap(vk::Escape, u'\x1b'));
    EXPECT_EQ(host.log, (std::vector<std::string>{"end"}));
    EXPECT_EQ(engine().GetCode(), u"");
}

TEST_F(EngineTest, WithoutAContextNothingIsSent) {
    typeLetters(u"zg");
    host.log.clear();
    ImeEngine& e = engine();
    e.ToAscii(0, KeyEvent{'A', u'a', 0, keys}); // a key arriving without a context
    e.SelectCandidate(0);
    e.CommitFullWidth(u',');
    EXPECT_TRUE(host.log.empty());
}

TEST_F(EngineTest, AssociationWithoutContinuationsResetsInput) {
    typeLetters(u"zg");
    tap(vk::Numpad1 + 1, u'2');
    engine().SearchAssociation();
    EXPECT_FALSE(engine().hasCandidates());
    lookup.association = {u"中国人"};
    engine().SearchAssociation();
    EXPECT_EQ(engine().candidates().itemText(0), u"中国人");
}

} // namespace
} // namespace tovi
