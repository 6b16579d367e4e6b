// What the tool windows show and what a click in them does, as the module supplies it; the
// windows see neither the engine nor the settings.
#pragma once

#include "tables/prompt_table.h"
#include "ui/candidate_layout.h"
#include "ui/info_message.h"
#include "ui/prompt_window.h"
#include "ui/status_bar_click.h"
#include "ui/status_bar_look.h"
#include "ui/status_menus.h"

#include <array>
#include <functional>
#include <string>

namespace tovi {

class WindowContent {
public:
    virtual ~WindowContent() = default;

    // The settings flags (layout, hints) and the scheme.
    virtual std::uint32_t settingsFlags() = 0;
    virtual Scheme scheme() = 0;
    // The input string, its hint and the current page.
    virtual CandidateView candidateView() = 0;
    virtual PromptView promptView() = 0;
    // The pinyin prompt row for the current code.
    virtual void promptRow(std::array<std::u16string, PromptRow::kFields>& row) = 0;
    virtual InfoMessage& infoMessage() = 0;

    // A click on a paging arrow or on the candidate in `slot` of the page.
    virtual void turnPage(bool forward) = 0;
    virtual void selectCandidate(int slot) = 0;

    // What the status bar shows and what a click on it changes.
    virtual StatusDisplay statusDisplay() = 0;
    virtual StatusClickState statusClickState() = 0;
    virtual void applyStatusClick(const StatusClick& click) = 0;
    // What the popup menus mark, and what a command chosen from `menu` does (0: none chosen).
    virtual StatusMenuMarks statusMenuMarks() = 0;
    virtual void chooseMenuCommand(StatusMenu menu, std::uint32_t command) = 0;
    // The bar's place as the settings keep it; moving the bar keeps the new place there, and a
    // place the user dropped it at is saved.
    virtual Point statusPosition() = 0;
    virtual void moveStatus(Point topLeft, bool dropped) = 0;

    // Runs a modal loop (a popup menu). The module's other threads may use it meanwhile, so
    // whatever was read before the loop is read again after it.
    virtual void runModal(const std::function<void()>& loop) { loop(); }
};

} // namespace tovi
