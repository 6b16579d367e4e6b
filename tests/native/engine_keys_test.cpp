// Key routing of the engine core: which keys it claims, the hotkeys and the cancelling keys.
#include "engine_fixture.h"

namespace tovi {
namespace {

using test::EngineTest;

constexpr std::uint32_t kRightCtrlPress = 0x011D0001;
constexpr std::uint32_t kRightCtrlRelease = 0xC11D0001;
constexpr std::uint32_t kLeftCtrlRelease = 0xC01D0001;

TEST_F(EngineTest, EnterDiscardsTheCodeOnceThenReachesTheApplication) {
    typeLetters(u"ab");
    ASSERT_EQ(engine().GetCode(), u"ab");
    host.log.clear();
    EXPECT_TRUE(press(vk::Return, u'\r'));
    EXPECT_EQ(engine().GetCode(), u"");
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(host.log, (std::vector<std::string>{"end", "end"}));
    release(vk::Return);
    EXPECT_FALSE(press(vk::Return, u'\r'));
    release(vk::Return);
    // Any other key forgets the cancel: the next Enter on a code is eaten again.
    typeLetters(u"c");
    EXPECT_TRUE(press(vk::Return, u'\r'));
}

TEST_F(EngineTest, CaretKeysCancelTheCodeAndStillReachTheApplication) {
    for (const unsigned key :
         {vk::Left, vk::Right, vk::Up, vk::Down, vk::Home, vk::End, vk::Delete}) {
        typeLetters(u"ab");
        ASSERT_FALSE(engine().GetCode().empty());
        EXPECT_FALSE(tap(key)) << key;
        EXPECT_EQ(engine().GetCode(), u"") << key;
        EXPECT_FALSE(engine().hasCandidates());
    }
}

TEST_F(EngineTest, InEnglishModeCaretKeysLeaveTheCodeAlone) {
    typeLetters(u"ab");
    flags.englishMode = true;
    EXPECT_FALSE(tap(vk::Left));
    EXPECT_EQ(engine().GetCode(), u"ab");
}

TEST_F(EngineTest, RightCtrlTapSwitchesBetweenTheTwoSchemes) {
    tap('A', u'a'); // the first key clears the guard
    EXPECT_FALSE(press(vk::Control, 0, kRightCtrlPress));
    EXPECT_TRUE(release(vk::Control, kRightCtrlRelease));
    EXPECT_EQ(settings.schemeIndex(), 2);
    EXPECT_GE(host.statusInvalidations, 1);
    press(vk::Control, 0, kRightCtrlPress);
    EXPECT_TRUE(release(vk::Control, kRightCtrlRelease));
    EXPECT_EQ(settings.schemeIndex(), 1);
}

TEST_F(EngineTest, RightCtrlHeldWithAnotherKeyDoesNotSwitch) {
    tap('A', u'a');
    press(vk::Control, 0, kRightCtrlPress);
    EXPECT_FALSE(press('C', u'c')); // Ctrl+C belongs to the application
    release('C');
    EXPECT_FALSE(release(vk::Control, kRightCtrlRelease));
    EXPECT_EQ(settings.schemeIndex(), 1);
    // The next clean tap works again.
    press(vk::Control, 0, kRightCtrlPress);
    EXPECT_TRUE(release(vk::Control, kRightCtrlRelease));
    EXPECT_EQ(settings.schemeIndex(), 2);
}

TEST_F(EngineTest, LeftCtrlAndTheFirstKeyNeverSwitch) {
    EXPECT_FALSE(release(vk::Control, kRightCtrlRelease)); // nothing typed yet
    EXPECT_EQ(settings.schemeIndex(), 1);
    press(vk::Control, 0, 0x001D0001);
    EXPECT_FALSE(release(vk::Control, kLeftCtrlRelease));
    EXPECT_EQ(settings.schemeIndex(), 1);
}

TEST_F(EngineTest, RightShiftTapTogglesEnglishModeAndFullWidthSymbols) {
    const auto rightShiftTap = [&] {
        keys[vk::RShift] = 0x80;
        host.liveKeys[vk::RShift] = true;
        press(vk::Shift);
        keys[vk::RShift] = 0;
        host.liveKeys[vk::RShift] = false;
        release(vk::Shift);
    };
    settings.flags |= flag::FullWidthLetters;
    rightShiftTap();
    EXPECT_TRUE(flags.englishMode);
    EXPECT_FALSE(settings.has(flag::FullWidthSymbols));
    EXPECT_FALSE(settings.has(flag::FullWidthLetters));
    EXPECT_FALSE(tap('A', u'a')); // letters go to the application
    rightShiftTap();
    EXPECT_FALSE(flags.englishMode);
    EXPECT_TRUE(settings.has(flag::FullWidthSymbols));
    // The left Shift does nothing of the kind.
    keys[0xA0] = 0x80;
    press(vk::Shift);
    keys[0xA0] = 0;
    release(vk::Shift);
    EXPECT_FALSE(flags.englishMode);
}

TEST_F(EngineTest, ShiftSpaceTogglesFullWidthLettersOncePerPress) {
    keys[vk::Shift] = 0x80;
    press(vk::Space, u' ');
    EXPECT_TRUE(settings.has(flag::FullWidthLetters));
    EXPECT_EQ(host.infos.back(), u"设置全角/半角！");
    release(vk::Space); // no second toggle at the release
    EXPECT_TRUE(settings.has(flag::FullWidthLetters));
    press(vk::Space, u' ');
    EXPECT_FALSE(settings.has(flag::FullWidthLetters));
}

TEST_F(EngineTest, CtrlPeriodTogglesFullWidthSymbolsOncePerPress) {
    ASSERT_TRUE(settings.has(flag::FullWidthSymbols));
    keys[vk::Control] = 0x80;
    press(vk::OemPeriod, u'.');
    EXPECT_FALSE(settings.has(flag::FullWidthSymbols));
    release(vk::OemPeriod);
    EXPECT_FALSE(settings.has(flag::FullWidthSymbols));
}

TEST_F(EngineTest, CtrlJTogglesTraditionalOutput) {
    keys[vk::Control] = 0x80;
    EXPECT_TRUE(press('J', u'j'));
    EXPECT_TRUE(flags.traditionalOutput);
    EXPECT_FALSE(release('J')); // a plain Ctrl combination
    EXPECT_TRUE(flags.traditionalOutput);
}

TEST_F(EngineTest, CapsLockFollowsItsLightIntoEnglishMode) {
    keys[vk::Capital] = 0x01; // toggled on
    press(vk::Capital);
    EXPECT_TRUE(flags.englishMode);
    EXPECT_TRUE(flags.capsLock);
    release(vk::Capital);
    EXPECT_FALSE(tap('A', u'A'));
    keys[vk::Capital] = 0;
    press(vk::Capital);
    EXPECT_FALSE(flags.englishMode);
}

TEST_F(EngineTest, ModifiedKeysGoToTheApplication) {
    keys[vk::Menu] = 0x80;
    EXPECT_FALSE(press('A', u'a'));
    keys[vk::Menu] = 0;
    EXPECT_TRUE(press('A', u'a'));
}

TEST_F(EngineTest, SpaceAndEscapeAreClaimedOnlyWithSomethingToActOn) {
    EXPECT_FALSE(press(vk::Space, u' '));
    EXPECT_FALSE(press(vk::Escape, u'\x1b'));
    typeLetters(u"a");
    EXPECT_TRUE(press(vk::Escape, u'\x1b'));
    EXPECT_EQ(engine().GetCode(), u"");
    EXPECT_FALSE(press(vk::Back, u'\b'));
    typeLetters(u"ab");
    EXPECT_TRUE(press(vk::Back, u'\b'));
    EXPECT_EQ(engine().GetCode(), u"a");
    EXPECT_TRUE(press(vk::Next));
}

TEST_F(EngineTest, KeypadPlusAsksForAssociationAtPressAndRelease) {
    const std::vector<EngineCommand> twice{EngineCommand::Association, EngineCommand::Association};
    EXPECT_TRUE(press(vk::Add, u'+'));
    EXPECT_TRUE(flags.associationPending);
    EXPECT_EQ(testEngine().commands, twice);
    EXPECT_TRUE(testEngine().chars.empty()); // the typed '+' is no character of the code
    release(vk::Add);
    EXPECT_EQ(testEngine().commands.size(), 4u);
}

TEST_F(EngineTest, CtrlKeypadDigitSelectsWithPromotion) {
    typeLetters(u"zg");
    keys[vk::Control] = 0x80;
    EXPECT_TRUE(press(vk::Numpad1 + 1));
    EXPECT_TRUE(flags.ctrlSelect);
    EXPECT_EQ(host.commits.back(), u"中国");
    EXPECT_EQ(lookup.promoted, (std::vector<std::u16string>{u"zg:中国"}));
}

TEST_F(EngineTest, CtrlSelectingTheVeryFirstCandidatePromotesNothing) {
    typeLetters(u"zg");
    keys[vk::Control] = 0x80;
    EXPECT_TRUE(press(vk::Numpad1));
    EXPECT_EQ(host.commits.back(), u"中");
    EXPECT_TRUE(lookup.promoted.empty());
}

} // namespace
} // namespace tovi
