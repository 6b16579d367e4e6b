// The language bar's input-mode button: its text, tooltip and menu for a state, and the change
// a click or a command makes.
#include "tables/ime_settings.h"
#include "ui/input_mode_button.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

TEST(InputModeButton, TextNamesTheSchemeAndFullWidthSymbols) {
    EXPECT_EQ(inputModeText({Scheme::Keypad, 0, false}), u"形");
    EXPECT_EQ(inputModeText({Scheme::Pinyin, flag::FullWidthSymbols, false}), u"拼全");
    EXPECT_EQ(inputModeText({Scheme::Pinyin, 0, true}), u"英");
    EXPECT_EQ(inputModeText({Scheme::D, 0, false}), u"－");
    EXPECT_EQ(inputModeText({Scheme::Keypad, flag::FullWidthSymbols, false, true}), u"英");
}

TEST(InputModeButton, TooltipNamesSchemeAndWidths) {
    EXPECT_EQ(inputModeTooltip({Scheme::Pinyin, flag::FullWidthLetters, false}),
              u"汉语拼音 半角符号 全角字母");
    EXPECT_EQ(inputModeTooltip({Scheme::Keypad, flag::FullWidthLetters, false, true}),
              u"朔昕拼形 已关闭");
}

TEST(InputModeButton, MenuChecksTheCurrentSchemeAndTheWidthsOn) {
    const auto menu = inputModeMenu({Scheme::Pinyin, flag::FullWidthSymbols, false});
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_FALSE(menu[0].checked);
    EXPECT_TRUE(menu[1].checked);
    EXPECT_EQ(menu[2].command, 0u);
    EXPECT_TRUE(menu[3].checked);
    EXPECT_FALSE(menu[4].checked);
}

TEST(InputModeButton, EachMenuCommandMakesItsChangeAndOthersNone) {
    const auto menu = inputModeMenu({});
    EXPECT_EQ(inputModeCommand(menu[0].command).scheme, Scheme::Keypad);
    EXPECT_EQ(inputModeCommand(menu[1].command).scheme, Scheme::Pinyin);
    EXPECT_EQ(inputModeCommand(menu[3].command).settingsFlagsFlip, flag::FullWidthSymbols);
    EXPECT_EQ(inputModeCommand(menu[4].command).settingsFlagsFlip, flag::FullWidthLetters);
    EXPECT_EQ(inputModeCommand(0), InputModeChange{});
    EXPECT_EQ(inputModeCommand(99), InputModeChange{});
}

TEST(InputModeButton, ClickSwitchesBetweenTheSchemesWithAnEngine) {
    EXPECT_EQ(inputModeClick({Scheme::Keypad, 0, false}).scheme, Scheme::Pinyin);
    EXPECT_EQ(inputModeClick({Scheme::Pinyin, 0, false}).scheme, Scheme::Keypad);
    EXPECT_EQ(inputModeClick({Scheme::A, 0, false}).scheme, Scheme::Keypad);
}

} // namespace
} // namespace tovi
