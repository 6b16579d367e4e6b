// What a left click in the candidate window does: page, or select a candidate.
#pragma once

#include "ui/candidate_layout.h"

namespace tovi {

enum class CandidateTarget { None, PreviousPage, NextPage, Candidate };

struct CandidateHit {
    CandidateTarget target = CandidateTarget::None;
    int slot = -1; // the candidate's place on the page, for CandidateTarget::Candidate
    bool operator==(const CandidateHit&) const = default;
};

// What lies under the client point `p`: an arrow first, then the first candidate whose area
// holds it; nothing outside the window's visible region.
CandidateHit hitCandidateWindow(const CandidateWindowLayout& layout, Point p);

} // namespace tovi
