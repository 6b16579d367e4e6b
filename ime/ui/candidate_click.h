// What a left click in the candidate window does: page, or select a candidate by the key presses
// that the engine would get for it.
#pragma once

#include "tables/scheme.h"
#include "ui/candidate_layout.h"

#include <cstdint>
#include <vector>

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

// The virtual keys to press and release, in order, to select the candidate in `slot`: the
// keypad multiply key first when Space does not select, then the digit of the slot, on the main
// row in schemes 1 and 3 and on the keypad in schemes 0 and 2.
std::vector<std::uint8_t> candidateClickKeys(int slot, Scheme scheme, bool spaceSelects);

} // namespace tovi
