// The engine's searches on a loaded CodeTable, and the promotion of chosen candidates.
#pragma once

#include "engine/code_lookup.h"
#include "tables/candidate_list.h"
#include "tables/code_table.h"
#include "tables/code_table_index.h"

#include <functional>
#include <string>

namespace tovi {

// The engine state the searches and the commit read, asked for at every call.
struct LookupState {
    bool selectionPending = false;
    bool ctrlSelect = false;
    bool traditionalOutput = false;
    bool wordAssociation = false;
    bool verticalLayout = false;
    std::u16string engineCode;
    std::u16string lastCommitted;
};

class CodeTableLookup : public CodeLookup, public CandidatePromoter {
public:
    using StateSource = std::function<LookupState()>;
    // Receives SingleExactMatch and ExactMatchCount after every keypad search of a code.
    using ExactMatchSink = std::function<void(const ExactMatch&)>;

    // `table` must outlive this object.
    CodeTableLookup(CodeTable& table, StateSource state, ExactMatchSink exactSink = {});

    // Keypad scheme: findByCode, or findByWildcard for a code with a "z" after its first key.
    // Pinyin: findByLetters. Another scheme than the table's finds nothing. A stale table is
    // loaded again first.
    CandidateList search(int schemeIndex, const std::u16string& code) override;
    // Keypad scheme: findByWildcard.
    CandidateList wildcard(const std::u16string& code) override;
    CandidateList continuations(const std::u16string& lastCode,
                                const std::u16string& lastCommitted) override;
    std::u16string textToCommit(const std::u16string& text) override;
    // Promotes the chosen candidate when it was chosen with Ctrl.
    void promote(const std::u16string& code, const std::u16string& text) override;

    // What the last keypad search found about entries equal to the typed code.
    const ExactMatch& exactMatch() const { return exact_; }

private:
    CodeTable& table_;
    StateSource state_;
    ExactMatchSink exactSink_;
    ExactMatch exact_;
};

} // namespace tovi
