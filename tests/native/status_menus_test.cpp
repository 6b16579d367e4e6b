#include "ui/status_menus.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

TEST(StatusMenus, SchemesAndTheirCommands) {
    EXPECT_EQ(schemeCommand(Scheme::A), 40036u);
    EXPECT_EQ(schemeCommand(Scheme::Keypad), 40037u);
    EXPECT_EQ(schemeCommand(Scheme::Pinyin), 40038u);
    EXPECT_EQ(schemeCommand(Scheme::D), 40039u);
    for (const Scheme scheme : {Scheme::A, Scheme::Keypad, Scheme::Pinyin, Scheme::D})
        EXPECT_EQ(schemeForCommand(schemeCommand(scheme)), scheme);
    EXPECT_EQ(schemeForCommand(40040), std::nullopt);
}

TEST(StatusMenus, SoftKeyboardLayoutsAndTheirCommands) {
    constexpr std::uint32_t commands[] = {40009, 40010, 40012, 40013, 40015, 40016, 40018,
                                          40019, 40021, 40022, 40024, 40025, 40027};
    for (std::size_t layout = 0; layout < std::size(commands); ++layout) {
        EXPECT_EQ(softKeyboardCommand(layout), commands[layout]);
        EXPECT_EQ(softKeyboardForCommand(commands[layout]), layout);
    }
    EXPECT_EQ(softKeyboardCommand(13), std::nullopt); // a stored number outside the layouts
    EXPECT_EQ(softKeyboardForCommand(40011), std::nullopt);
    EXPECT_EQ(softKeyboardForCommand(0), std::nullopt);
}

TEST(StatusMenus, SettingsMenuMarks) {
    EXPECT_EQ(settingsMenuMarks(true, 0), (SettingsMenuMarks{true, false}));
    EXPECT_EQ(settingsMenuMarks(false, dialog_open::SettingsDialog),
              (SettingsMenuMarks{false, true}));
    EXPECT_EQ(settingsMenuMarks(false, dialog_open::WordMaker), (SettingsMenuMarks{false, false}));
}

TEST(StatusMenus, SettingsMenuCommands) {
    EXPECT_EQ(settingsMenuChoice(40003),
              (SettingsChoice{SettingsAction::StartProgram, 0, {u"tovi.chm", true, true}}));
    EXPECT_EQ(settingsMenuChoice(40045).program, (ProgramStart{u"codefind.chm", true, true}));
    EXPECT_EQ(settingsMenuChoice(40041),
              (SettingsChoice{SettingsAction::StartProgram, 0, {u"Lexquire.exe", false, false}}));
    EXPECT_EQ(settingsMenuChoice(40044).action, SettingsAction::ToggleTraditional);
    EXPECT_EQ(settingsMenuChoice(40001).action, SettingsAction::OpenSettingsDialog);
    EXPECT_EQ(settingsMenuChoice(40024),
              (SettingsChoice{SettingsAction::SelectSoftKeyboard, 10, {}}));
    EXPECT_EQ(settingsMenuChoice(40034), SettingsChoice{});
    EXPECT_EQ(settingsMenuChoice(0), SettingsChoice{});
}

} // namespace
} // namespace tovi
