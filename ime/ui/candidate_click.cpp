#include "ui/candidate_click.h"

namespace tovi {

CandidateHit hitCandidateWindow(const CandidateWindowLayout& layout, Point p) {
    if (layout.form == CandidateForm::Hidden || !layout.region.contains(p))
        return {};
    if (layout.arrows) {
        if (layout.arrows->previous.rect.contains(p))
            return {CandidateTarget::PreviousPage};
        if (layout.arrows->next.rect.contains(p))
            return {CandidateTarget::NextPage};
    }
    for (std::size_t i = 0; i < layout.cells.size(); ++i)
        if (layout.cells[i].hit.contains(p))
            return {CandidateTarget::Candidate, static_cast<int>(i)};
    return {};
}

} // namespace tovi
