// What a thread's tool windows show and what clicks in them do: read from and applied to the
// process's module.
#include "process_host.h"
#include "thread_ui.h"

namespace tovi {

std::uint32_t ThreadUi::settingsFlags() {
    const Module* built = builtModule();
    return built ? built->settings().flags : 0;
}

Scheme ThreadUi::scheme() {
    const Module* built = builtModule();
    return built ? built->settings().scheme() : Scheme::Keypad;
}

CandidateView ThreadUi::candidateView() {
    CandidateView view;
    Module* built = builtModule();
    const ImeEngine* engine = built ? built->engine() : nullptr;
    if (!engine)
        return view;
    view.code = engine->GetCode();
    view.codeHint = built->currentCodeHint(view.code);
    view.setPage(engine->candidates());
    view.spaceSelects = engine->SpaceSelects();
    view.selectionPending = built->flags().selectionPending;
    view.flags = built->settings().flags;
    view.skin = built->settings().skin;
    return view;
}

PromptView ThreadUi::promptView() {
    PromptView view;
    Module* built = builtModule();
    if (!built)
        return view;
    view.scheme = built->settings().scheme();
    view.flags = built->settings().flags;
    if (const ImeEngine* engine = built->engine()) {
        view.codeLength = engine->GetCode().size();
        view.spaceSelects = engine->SpaceSelects();
        view.totalCount = engine->candidates().totalCount();
    }
    return view;
}

void ThreadUi::promptRow(std::array<std::u16string, PromptRow::kFields>& row) {
    Module* built = builtModule();
    if (ImeEngine* engine = built ? built->engine() : nullptr)
        engine->GetPromptRow(row);
    else
        row.fill({});
}

void ThreadUi::turnPage(bool forward) {
    Module* built = builtModule();
    if (ImeEngine* engine = built ? built->engine() : nullptr)
        engine->turnPage(forward);
    candidateWindow.invalidate();
}

void ThreadUi::selectCandidate(int slot) {
    Module* built = builtModule();
    if (ImeEngine* engine = built ? built->engine() : nullptr)
        engine->OnCandidateClicked(slot);
    candidateWindow.invalidate();
}

StatusDisplay ThreadUi::statusDisplay() {
    StatusDisplay display;
    Module* built = builtModule();
    if (!built)
        return display;
    display.englishMode = built->flags().englishMode;
    display.settingsFlags = built->settings().flags;
    display.softKeyboardShown = built->softKeyboard().isShown();
    display.scheme = built->settings().scheme();
    return display;
}

StatusClickState ThreadUi::statusClickState() {
    StatusClickState state;
    Module* built = builtModule();
    if (!built)
        return state;
    state.englishMode = built->flags().englishMode;
    state.capsLock = built->flags().capsLock;
    state.settingsFlags = built->settings().flags;
    state.softKeyboardShown = built->softKeyboard().isShown();
    return state;
}

void ThreadUi::applyStatusClick(const StatusClick& click) {
    Module* built = builtModule();
    if (!built)
        return;
    if (click.pressCapsLock) {
        keybd_event(VK_CAPITAL, 0x3A, KEYEVENTF_EXTENDEDKEY, 0);
        keybd_event(VK_CAPITAL, 0x3A, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    }
    if (click.resetInput) {
        built->resetInput();
        if (ImeEngine* engine = built->engine())
            engine->SendEndComposition();
    }
    if (click.englishMode)
        built->flags().englishMode = *click.englishMode;
    built->settings().flags ^= click.settingsFlagsFlip;
    if (click.softKeyboard == SoftKeyboardChange::Show)
        showSoftKeyboard();
    else if (click.softKeyboard == SoftKeyboardChange::Hide)
        hideSoftKeyboard();
    invalidateToolWindows();
    process_.saveSettings();
    // The menu is the status window's to show.
    if (click.openWordMaker)
        openWordMaker();
}

StatusMenuMarks ThreadUi::statusMenuMarks() {
    StatusMenuMarks marks;
    Module* built = builtModule();
    if (!built)
        return marks;
    marks.scheme = built->settings().scheme();
    marks.softKeyboard = built->softKeyboard().current();
    marks.settings = settingsMenuMarks(built->flags().traditionalOutput, process_.openDialogs);
    return marks;
}

void ThreadUi::chooseMenuCommand(StatusMenu menu, std::uint32_t command) {
    // Everything is looked up now: the menu ran a message loop, and the engine may have been
    // replaced (or be none, for a scheme without one) while it did.
    Module* built = builtModule();
    if (!built || command == 0)
        return;
    switch (menu) {
    case StatusMenu::InputMode:
        if (const auto scheme = schemeForCommand(command))
            built->settings().setScheme(*scheme);
        break;
    case StatusMenu::SoftKeyboard:
        if (const auto layout = softKeyboardForCommand(command))
            selectSoftKeyboard(*layout);
        break;
    case StatusMenu::Settings:
        runSettingsChoice(settingsMenuChoice(command));
        break;
    case StatusMenu::None:
        break;
    }
    invalidateToolWindows();
    process_.saveSettings();
}

void ThreadUi::runSettingsChoice(const SettingsChoice& choice) {
    Module* built = builtModule();
    if (!built)
        return;
    switch (choice.action) {
    case SettingsAction::StartProgram:
        process_.launch(choice.program);
        break;
    case SettingsAction::ToggleTraditional:
        built->flags().traditionalOutput = !built->flags().traditionalOutput;
        break;
    case SettingsAction::SelectSoftKeyboard:
        selectSoftKeyboard(choice.layout);
        break;
    case SettingsAction::OpenSettingsDialog:
        process_.runSettingsDialog(contextWindow());
        break;
    case SettingsAction::None:
        break;
    }
}

Point ThreadUi::statusPosition() {
    const Module* built = builtModule();
    return built ? Point{built->settings().statusX, built->settings().statusY} : Point{};
}

void ThreadUi::moveStatus(Point topLeft, bool dropped) {
    Module* built = builtModule();
    if (!built)
        return;
    built->settings().statusX = topLeft.x;
    built->settings().statusY = topLeft.y;
    built->publishedStatusX = topLeft.x;
    // Kept in the file only where the user put the bar; the bar pulled onto a smaller screen
    // changes nothing the user chose.
    if (dropped)
        process_.saveSettings();
}

} // namespace tovi
