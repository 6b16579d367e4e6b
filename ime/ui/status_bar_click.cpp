#include "ui/status_bar_click.h"

#include "tables/ime_settings.h"

namespace tovi {
namespace {

StatusClick languageClick(const StatusClickState& state) {
    StatusClick click;
    click.pressCapsLock = state.capsLock;
    click.resetInput = true;
    click.englishMode = !state.englishMode;
    // English mode turns both full-width kinds off; Chinese mode turns full-width symbols on.
    constexpr std::uint32_t fullWidth = flag::FullWidthSymbols | flag::FullWidthLetters;
    click.settingsFlagsFlip = *click.englishMode ? state.settingsFlags & fullWidth
                                                 : ~state.settingsFlags & flag::FullWidthSymbols;
    return click;
}

} // namespace

StatusClick leftClick(StatusCell cell, const StatusClickState& state) {
    StatusClick click;
    switch (cell) {
    case StatusCell::Language:
        return languageClick(state);
    case StatusCell::Scheme:
        click.menu = StatusMenu::InputMode;
        break;
    case StatusCell::FullWidthLetters:
        click.settingsFlagsFlip = flag::FullWidthLetters;
        break;
    case StatusCell::FullWidthSymbols:
        click.settingsFlagsFlip = flag::FullWidthSymbols;
        break;
    case StatusCell::SoftKeyboard:
        click.softKeyboard =
            state.softKeyboardShown ? SoftKeyboardChange::Hide : SoftKeyboardChange::Show;
        break;
    case StatusCell::WordMaker:
        click.openWordMaker = true;
        break;
    default:
        break;
    }
    return click;
}

StatusMenu rightClickMenu(StatusCell cell) {
    switch (cell) {
    case StatusCell::Scheme:
        return StatusMenu::InputMode;
    case StatusCell::SoftKeyboard:
        return StatusMenu::SoftKeyboard;
    default:
        return StatusMenu::Settings;
    }
}

} // namespace tovi
