#include "ui/status_menus.h"

#include "tables/soft_keyboard_layouts.h"

#include <algorithm>
#include <array>

namespace tovi {
namespace {

// By scheme index: 霁川A, 朔昕拼形, 汉语拼音, 霁川D. Only the middle two are items of the menu.
constexpr std::array<std::uint32_t, 4> kSchemeCommands{IDM_SCHEME_A, IDM_SCHEME_KEYPAD,
                                                       IDM_SCHEME_PINYIN, IDM_SCHEME_D};

// By layout index; the menu lists 日文片假名 (40024) before 日文平假名 (40022).
constexpr std::array<std::uint32_t, kSoftLayoutCount> kSoftKeyboardCommands{
    IDM_SOFT_KEYBOARD_0, IDM_SOFT_KEYBOARD_1, IDM_SOFT_KEYBOARD_2,  IDM_SOFT_KEYBOARD_3,
    IDM_SOFT_KEYBOARD_4, IDM_SOFT_KEYBOARD_5, IDM_SOFT_KEYBOARD_6,  IDM_SOFT_KEYBOARD_7,
    IDM_SOFT_KEYBOARD_8, IDM_SOFT_KEYBOARD_9, IDM_SOFT_KEYBOARD_10, IDM_SOFT_KEYBOARD_11,
    IDM_SOFT_KEYBOARD_12};

template <std::size_t N>
std::optional<std::size_t> indexOf(const std::array<std::uint32_t, N>& commands,
                                   std::uint32_t command) {
    const auto found = std::find(commands.begin(), commands.end(), command);
    if (found == commands.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - commands.begin());
}

} // namespace

std::uint32_t schemeCommand(Scheme scheme) {
    return kSchemeCommands[static_cast<std::size_t>(schemeIndex(scheme) & 3)];
}

std::optional<Scheme> schemeForCommand(std::uint32_t command) {
    const auto index = indexOf(kSchemeCommands, command);
    if (!index)
        return std::nullopt;
    return schemeFromIndex(static_cast<int>(*index));
}

std::optional<std::uint32_t> softKeyboardCommand(std::size_t layout) {
    if (layout >= kSoftKeyboardCommands.size())
        return std::nullopt;
    return kSoftKeyboardCommands[layout];
}

std::optional<std::size_t> softKeyboardForCommand(std::uint32_t command) {
    return indexOf(kSoftKeyboardCommands, command);
}

SettingsMenuMarks settingsMenuMarks(bool traditionalOutput, DialogOpenFlags openDialogs) {
    return {traditionalOutput, (openDialogs & dialog_open::SettingsDialog) != 0};
}

SettingsChoice settingsMenuChoice(std::uint32_t command) {
    if (const auto layout = softKeyboardForCommand(command))
        return {SettingsAction::SelectSoftKeyboard, *layout, {}};
    switch (command) {
    case menu_command::Help:
        return {SettingsAction::StartProgram, 0, {u"tovi.chm", true, true}};
    case menu_command::CodeFinder:
        return {SettingsAction::StartProgram, 0, {u"codefind.chm", true, true}};
    case menu_command::ReverseLookup:
        return {SettingsAction::StartProgram, 0, {u"Lexquire.exe", false, false}};
    case menu_command::Traditional:
        return {SettingsAction::ToggleTraditional, 0, {}};
    case menu_command::SettingsDialog:
        return {SettingsAction::OpenSettingsDialog, 0, {}};
    default:
        return {};
    }
}

} // namespace tovi
