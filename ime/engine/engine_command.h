// What the engine core asks of a scheme engine besides digits and letters: the keys that confirm,
// page, erase or open something, whatever key the user pressed for them.
#pragma once

namespace tovi {

enum class EngineCommand {
    Confirm,      // Space or keypad 0: take the first candidate
    PreviousPage, // comma, minus, Page Up
    NextPage,     // period, plus (equals), Page Down
    Backspace,    // Backspace or keypad decimal
    Association,  // keypad plus: words that continue the last commit
    Companion,    // keypad multiply: start the companion for the last character
    SymbolList,   // keypad divide: the symbol list
};

} // namespace tovi
