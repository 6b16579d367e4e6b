// The hotkeys act at the first press of their key, read from the key data: not at its release,
// not at its auto-repeats, and whatever keys came before (held keys that repeated, keys the
// engine ate before looking at them).
#include "engine_fixture.h"

#include <algorithm>

namespace tovi {
namespace {

constexpr std::uint32_t kRepeat = 0x40000001;
constexpr std::uint32_t kLeftShiftPress = 0x002A0001;
constexpr std::uint32_t kLeftShiftRepeat = 0x402A0001;
constexpr std::uint32_t kLeftCtrlPress = 0x001D0001;
constexpr std::uint32_t kLeftCtrlRepeat = 0x401D0001;

using test::EngineTest;

TEST_F(EngineTest, CtrlJActsAfterAKeyThatRepeated) {
    press('A', u'a');
    press('A', u'a', kRepeat);
    release('A');
    press(vk::Control, 0, kLeftCtrlPress);
    EXPECT_TRUE(press('J', u'\n'));
    EXPECT_TRUE(flags.traditionalOutput);
}

TEST_F(EngineTest, CtrlJActsAfterEnterCancelledACode) {
    typeLetters(u"a");
    ASSERT_TRUE(tap(vk::Return, u'\r'));
    press(vk::Control, 0, kLeftCtrlPress);
    EXPECT_TRUE(press('J', u'\n'));
    EXPECT_TRUE(flags.traditionalOutput);
}

TEST_F(EngineTest, ShiftSpaceActsWhileShiftRepeats) {
    press(vk::Shift, 0, kLeftShiftPress);
    press(vk::Shift, 0, kLeftShiftRepeat);
    press(vk::Space, u' ');
    EXPECT_TRUE(settings.has(flag::FullWidthLetters));
    release(vk::Space);
    EXPECT_TRUE(settings.has(flag::FullWidthLetters));
}

TEST_F(EngineTest, CtrlPeriodActsWhileCtrlRepeats) {
    ASSERT_TRUE(settings.has(flag::FullWidthSymbols));
    press(vk::Control, 0, kLeftCtrlPress);
    press(vk::Control, 0, kLeftCtrlRepeat);
    press(vk::OemPeriod, u'.');
    EXPECT_FALSE(settings.has(flag::FullWidthSymbols));
    release(vk::OemPeriod);
    EXPECT_FALSE(settings.has(flag::FullWidthSymbols));
}

TEST_F(EngineTest, AHeldCtrlJTogglesOnce) {
    press(vk::Control, 0, kLeftCtrlPress);
    EXPECT_TRUE(press('J', u'\n'));
    EXPECT_FALSE(press('J', u'\n', kRepeat)); // a plain Ctrl combination
    EXPECT_FALSE(press('J', u'\n', kRepeat));
    release('J');
    EXPECT_TRUE(flags.traditionalOutput);
}

TEST_F(EngineTest, AHeldShiftSpaceTogglesOnce) {
    press(vk::Shift, 0, kLeftShiftPress);
    press(vk::Space, u' ');
    press(vk::Space, u' ', kRepeat);
    press(vk::Space, u' ', kRepeat);
    release(vk::Space);
    EXPECT_TRUE(settings.has(flag::FullWidthLetters));
    EXPECT_EQ(host.infos.size(), 1u);
}

TEST_F(EngineTest, AHeldCtrlPeriodTogglesOnce) {
    press(vk::Control, 0, kLeftCtrlPress);
    press(vk::OemPeriod, u'.');
    press(vk::OemPeriod, u'.', kRepeat);
    press(vk::OemPeriod, u'.', kRepeat);
    release(vk::OemPeriod);
    EXPECT_FALSE(settings.has(flag::FullWidthSymbols));
}

TEST_F(EngineTest, AHeldCtrlKeypadDigitSelectsOnce) {
    typeLetters(u"zg");
    press(vk::Control, 0, kLeftCtrlPress);
    // With Ctrl down a keypad digit translates to no character.
    EXPECT_TRUE(press(vk::Numpad1 + 1));
    EXPECT_FALSE(press(vk::Numpad1 + 1, 0, kRepeat));
    EXPECT_FALSE(press(vk::Numpad1 + 1, 0, kRepeat));
    release(vk::Numpad1 + 1);
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中国"}));
    EXPECT_EQ(engine().GetCode(), u"");
    EXPECT_EQ(std::count(testEngine().chars.begin(), testEngine().chars.end(), u'2'), 1);
}

} // namespace
} // namespace tovi
