// The engine's view of the shared code table: the searches that fill the candidate list and the
// reduction of a chosen candidate to the text that is committed.
#pragma once

#include "tables/candidate_list.h"

#include <string>

namespace tovi {

class CodeLookup {
public:
    virtual ~CodeLookup() = default;
    // Candidates for a typed code in the given scheme.
    virtual CandidateList search(int schemeIndex, const std::u16string& code) = 0;
    // Candidates for a keypad code whose last unit stands for any key.
    virtual CandidateList wildcard(const std::u16string& code) = 0;
    // Words that continue the text just committed.
    virtual CandidateList continuations(const std::u16string& lastCode,
                                        const std::u16string& lastCommitted) = 0;
    virtual std::u16string textToCommit(const std::u16string& text) = 0;
};

} // namespace tovi
