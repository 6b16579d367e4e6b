// The engine's view of the shared code table: the searches that fill the candidate list, and the
// promotion of a chosen candidate.
#pragma once

#include "tables/candidate_list.h"
#include "tables/code_table_index.h"
#include "tables/scheme.h"

#include <string>

namespace tovi {

// How the engine wants its candidates.
struct LookupOptions {
    bool traditionalOutput = false; // texts in traditional characters
    bool selectionPending = false;  // the keypad search of a code being confirmed
    bool verticalLayout = false;    // pages sized for the vertical candidate window
};

class CodeLookup {
public:
    virtual ~CodeLookup() = default;
    // Candidates for a typed code in the given scheme. A keypad search of a code writes what it
    // found about entries equal to the code into `exact`; other searches leave it alone.
    virtual CandidateList search(Scheme scheme, const std::u16string& code,
                                 const LookupOptions& options, ExactMatch& exact) = 0;
    // Candidates for a keypad code whose last unit stands for any key.
    virtual CandidateList wildcard(const std::u16string& code, const LookupOptions& options) = 0;
    // Words that continue the text just committed.
    virtual CandidateList continuations(const std::u16string& lastCode,
                                        const std::u16string& lastCommitted,
                                        const LookupOptions& options) = 0;
    // Moves `text` to the front of the entries for `code`, and saves the table.
    virtual void promote(const std::u16string& code, const std::u16string& text) = 0;
};

} // namespace tovi
