// The status bar's three popup menus: their resource ids, their command ids and what a chosen
// command means. Each menu shows submenu 0 of its resource.
#pragma once

#include "resources/resource_ids.h"
#include "tables/scheme.h"
#include "ui/dialog_open_flags.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovi {

inline constexpr int kInputModeMenuId = kInputModeMenu;
inline constexpr int kSoftKeyboardMenuId = kSoftKeyboardMenu;
inline constexpr int kSettingsMenuId = kSettingsMenu;

namespace menu_command {
inline constexpr std::uint32_t SettingsDialog = IDM_SETTINGS_DIALOG; // "属性设置..."
inline constexpr std::uint32_t Help = IDM_HELP;                      // "帮助..."
// Replaced by the soft-keyboard cascade when the menu is shown.
inline constexpr std::uint32_t SoftKeyboards = IDM_SOFT_KEYBOARDS;
inline constexpr std::uint32_t ReverseLookup = IDM_REVERSE_LOOKUP; // "朔昕输入法反向查找..."
inline constexpr std::uint32_t Traditional = IDM_TRADITIONAL;      // "繁体　　Ctrl + J"
inline constexpr std::uint32_t CodeFinder = IDM_CODE_FINDER;       // "编码速查字典..."
} // namespace menu_command

// The caption of the cascade that takes the place of SoftKeyboards in the settings menu; it
// holds submenu 0 of the soft-keyboard menu.
inline constexpr std::u16string_view kSoftKeyboardCascadeCaption = u"选软键盘";

// Input-mode menu: the command of each scheme (the one checked), and the scheme a command
// chooses.
std::uint32_t schemeCommand(Scheme scheme);
std::optional<Scheme> schemeForCommand(std::uint32_t command);

// Soft-keyboard menu: the command of each layout (the one checked), nothing for a number
// outside the layouts; and the layout a command chooses.
std::optional<std::uint32_t> softKeyboardCommand(std::size_t layout);
std::optional<std::size_t> softKeyboardForCommand(std::uint32_t command);

// Settings menu.
struct SettingsMenuMarks {
    bool traditionalChecked = false; // Traditional
    bool settingsGrayed = false;     // SettingsDialog, while the settings dialog runs
    bool operator==(const SettingsMenuMarks&) const = default;
};
SettingsMenuMarks settingsMenuMarks(bool traditionalOutput, DialogOpenFlags openDialogs);

// What the three menus mark when they are shown.
struct StatusMenuMarks {
    Scheme scheme = Scheme::Keypad; // the input-mode item checked
    std::size_t softKeyboard = 0;   // the soft-keyboard item checked (also in the cascade)
    SettingsMenuMarks settings;
};

enum class SettingsAction {
    None,
    StartProgram,       // run `program`
    ToggleTraditional,  // flip traditional-character output
    SelectSoftKeyboard, // make `layout` current and show the soft keyboard
    OpenSettingsDialog, // mark it open, run it modally, clear the mark, repaint
};

// A file of the installation folder the settings menu opens: a help file in the help viewer,
// or a program.
struct ProgramStart {
    std::u16string_view file;
    bool helpFile = false; // opened by the help viewer "hh.exe"
    bool repaint = false;  // repaint the status bar afterwards
    bool operator==(const ProgramStart&) const = default;
};

struct SettingsChoice {
    SettingsAction action = SettingsAction::None;
    std::size_t layout = 0; // SelectSoftKeyboard
    ProgramStart program;   // StartProgram
    bool operator==(const SettingsChoice&) const = default;
};

// What a command returned by the settings menu does; None for any other number.
SettingsChoice settingsMenuChoice(std::uint32_t command);

} // namespace tovi
