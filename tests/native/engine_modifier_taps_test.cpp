// The lone taps of the right-hand modifiers: right Shift toggles English mode, right Ctrl the
// scheme. A tap is the first press of the key and its release with no other key in between,
// whatever that key does; an auto-repeated press neither starts nor renews one.
#include "engine_fixture.h"

namespace tovi {
namespace {

// Key data as the system reports it: repeat count 1, the scan code, the extended bit, and the
// previous-state and transition bits.
constexpr std::uint32_t kRightShiftPress = 0x00360001;
constexpr std::uint32_t kRightShiftRepeat = 0x40360001;
constexpr std::uint32_t kRightShiftRelease = 0xC0360001;
constexpr std::uint32_t kLeftShiftPress = 0x002A0001;
constexpr std::uint32_t kLeftShiftRelease = 0xC02A0001;
constexpr std::uint32_t kLeftCtrlPress = 0x001D0001;
constexpr std::uint32_t kLeftCtrlRepeat = 0x401D0001;
constexpr std::uint32_t kLeftCtrlRelease = 0xC01D0001;
constexpr std::uint32_t kRightCtrlPress = 0x011D0001;
constexpr std::uint32_t kRightCtrlRepeat = 0x411D0001;
constexpr std::uint32_t kRightCtrlRelease = 0xC11D0001;

class ModifierTapTest : public test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        // The first key clears the guard against a right-Ctrl release that comes first.
        tap('Q', u'q');
        tap(vk::Escape, u'\x1b');
        ASSERT_EQ(engine().GetCode(), u"");
        ASSERT_FALSE(flags.englishMode);
        ASSERT_TRUE(settings.has(flag::FullWidthSymbols));
    }

    void pressRightShift(std::uint32_t keyData = kRightShiftPress) {
        keys[vk::RShift] = 0x80;
        host.liveKeys[vk::RShift] = true;
        press(vk::Shift, 0, keyData);
    }
    void releaseRightShift() {
        keys[vk::RShift] = 0;
        host.liveKeys[vk::RShift] = false;
        release(vk::Shift, kRightShiftRelease);
    }
    void pressLeftCtrl(std::uint32_t keyData = kLeftCtrlPress) { press(vk::Control, 0, keyData); }
    // Whether the right-Ctrl release asked for the other scheme.
    bool releaseRightCtrlSwitches() {
        const int before = settings.schemeIndex();
        release(vk::Control, kRightCtrlRelease);
        return settings.schemeIndex() != before;
    }
};

TEST_F(ModifierTapTest, RightShiftHeldOverKeypadPlusIsNoTap) {
    pressRightShift();
    tap(vk::Add, u'+');
    releaseRightShift();
    EXPECT_FALSE(flags.englishMode);
    EXPECT_TRUE(settings.has(flag::FullWidthSymbols));
}

TEST_F(ModifierTapTest, RightShiftHeldOverTheWebSearchKeyIsNoTap) {
    settings.flags |= flag::WebSearch;
    pressRightShift();
    tap(vk::Subtract, u'-');
    releaseRightShift();
    EXPECT_FALSE(flags.englishMode);
}

TEST_F(ModifierTapTest, RightShiftHeldOverAKeyOfTheShownSoftKeyboardIsNoTap) {
    softKeyboard.showLayout();
    pressRightShift();
    ASSERT_TRUE(tap('A', u'A'));
    releaseRightShift();
    EXPECT_FALSE(flags.englishMode);
}

// Ctrl is held first and long enough to repeat; the right Shift is let go before the digit.
TEST_F(ModifierTapTest, RightShiftHeldOverCtrlKeypadDigitIsNoTap) {
    pressLeftCtrl();
    pressLeftCtrl(kLeftCtrlRepeat);
    pressRightShift();
    press(vk::Numpad1 + 1);
    releaseRightShift();
    release(vk::Numpad1 + 1);
    release(vk::Control, kLeftCtrlRelease);
    EXPECT_FALSE(flags.englishMode);
}

TEST_F(ModifierTapTest, RightShiftHeldOverCtrlJIsNoTap) {
    pressLeftCtrl();
    pressLeftCtrl(kLeftCtrlRepeat);
    pressRightShift();
    press('J', u'\n');
    releaseRightShift();
    release('J');
    release(vk::Control, kLeftCtrlRelease);
    EXPECT_FALSE(flags.englishMode);
    EXPECT_TRUE(flags.traditionalOutput); // the hotkey itself still acts
}

TEST_F(ModifierTapTest, AnAutoRepeatOfRightShiftStartsNoNewTap) {
    pressRightShift();
    tap('A', u'A');
    pressRightShift(kRightShiftRepeat);
    pressRightShift(kRightShiftRepeat);
    releaseRightShift();
    EXPECT_FALSE(flags.englishMode);
}

TEST_F(ModifierTapTest, RightShiftHeldAloneUntilItRepeatsIsStillATap) {
    pressRightShift();
    pressRightShift(kRightShiftRepeat);
    pressRightShift(kRightShiftRepeat);
    releaseRightShift();
    EXPECT_TRUE(flags.englishMode);
}

TEST_F(ModifierTapTest, ALeftShiftPressedDuringASpoiledRightShiftStartsNoTap) {
    pressRightShift();
    tap('A', u'A');
    keys[0xA0] = 0x80; // VK_LSHIFT
    press(vk::Shift, 0, kLeftShiftPress);
    keys[0xA0] = 0;
    release(vk::Shift, kLeftShiftRelease);
    releaseRightShift();
    EXPECT_FALSE(flags.englishMode);
}

TEST_F(ModifierTapTest, RightCtrlHeldOverKeypadPlusDoesNotSwitch) {
    press(vk::Control, 0, kRightCtrlPress);
    tap(vk::Add, u'+');
    EXPECT_FALSE(releaseRightCtrlSwitches());
}

TEST_F(ModifierTapTest, RightCtrlHeldOverTheWebSearchKeyDoesNotSwitch) {
    settings.flags |= flag::WebSearch;
    press(vk::Control, 0, kRightCtrlPress);
    tap(vk::Subtract, u'-');
    EXPECT_FALSE(releaseRightCtrlSwitches());
}

TEST_F(ModifierTapTest, RightCtrlHeldOverAKeyOfTheShownSoftKeyboardDoesNotSwitch) {
    softKeyboard.showLayout();
    press(vk::Control, 0, kRightCtrlPress);
    ASSERT_TRUE(tap('A', u'\x01'));
    EXPECT_FALSE(releaseRightCtrlSwitches());
}

TEST_F(ModifierTapTest, AnAutoRepeatOfRightCtrlDoesNotForgetTheKeyItWasHeldOver) {
    press(vk::Control, 0, kRightCtrlPress);
    tap('C', u'\x03');
    press(vk::Control, 0, kRightCtrlRepeat);
    press(vk::Control, 0, kRightCtrlRepeat);
    EXPECT_FALSE(releaseRightCtrlSwitches());
    // The next clean tap switches.
    press(vk::Control, 0, kRightCtrlPress);
    EXPECT_TRUE(releaseRightCtrlSwitches());
}

} // namespace
} // namespace tovi
