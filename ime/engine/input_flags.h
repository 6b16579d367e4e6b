// Input state that belongs to the process, not to one engine: it survives the rebuild of the
// engine at a change of scheme.
#pragma once

namespace tovi {

struct InputFlags {
    bool englishMode = false;        // keys skip the scheme; only the full-width path applies
    bool capsLock = false;           // the last CapsLock toggle state seen
    bool selectionPending = false;   // the next keypad digit selects instead of extending
    bool ctrlSelect = false;         // the digit being delivered is a Ctrl selection
    bool associationPending = false; // association candidates are showing
    bool traditionalOutput = false;  // searches return traditional characters
    bool ctrlCombined = false;       // another key since Ctrl went down: no scheme toggle
    bool firstKeyGuard = true;       // no scheme toggle before the first key
    // Written by the keypad search: how many candidates match the whole typed code.
    int exactMatchCount = 0;
    bool singleExactMatch = false;
};

} // namespace tovi
