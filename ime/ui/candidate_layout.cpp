#include "ui/candidate_layout.h"

#include "tables/candidate_list.h"
#include "tables/ime_settings.h"
#include "ui/candidate_text.h"
#include "ui/skin_colours.h"

#include <algorithm>

namespace tovi {
namespace {

constexpr std::int32_t kCodeBoxWidth = 110;
constexpr std::int32_t kCodeBoxHeight = 22;
constexpr Point kFirstCandidate{6, 28};
constexpr std::int32_t kVerticalX = 5;
constexpr std::int32_t kVerticalStep = 20;
constexpr std::int32_t kLabelToText = 5;

CandidateForm chooseForm(const CandidateView& view) {
    if (view.code.empty())
        return CandidateForm::Hidden;
    if (!(view.flags & flag::ProgressiveHints) && !view.selectionPending)
        return CandidateForm::CodeOnly;
    return view.page.empty() ? CandidateForm::EmptyList : CandidateForm::List;
}

void layOutCodeBox(CandidateWindowLayout& out) {
    out.region = {0, 0, kCodeBoxWidth, kCodeBoxHeight};
    out.background = rectAt(2, 1, 107, 20);
    out.picture = out.background;
    out.outline = {{109, 21}, {1, 21}, {1, 1}, {109, 1}, {109, 21}};
}

void layOutListFrame(CandidateWindowLayout& out, Size client) {
    const std::int32_t r = client.width;
    const std::int32_t b = client.height;
    out.region = rectAt(0, 0, r, std::int64_t{b} + 3);
    out.background = rectAt(2, 1, std::int64_t{r} - 3, std::int64_t{b} - 1);
    out.picture = rectAt(2, 1, std::int64_t{r} - 3, b);
    if (out.form == CandidateForm::EmptyList)
        // With a separator under the code line.
        out.outline = {{r - 1, 22},    {1, 22},    {1, 1}, {r - 1, 1},
                       {r - 1, b - 1}, {1, b - 1}, {1, 1}};
    else
        out.outline = {{1, 1}, {r - 1, 1}, {r - 1, b - 1}, {1, b - 1}, {1, 1}};
}

void layOutCandidates(CandidateWindowLayout& out, const CandidateView& view,
                      const TextMeasure& measure) {
    const bool vertical = view.flags & flag::VerticalLayout;
    const Size reference = measure.measure(FontRole::Candidate, u"啊");
    const std::int32_t gap = reference.width;
    const std::int32_t lineHeight = reference.height;
    const std::size_t n = std::min<std::size_t>(view.page.size(), CandidateList::kMaxPage);

    std::vector<std::int32_t> widths;
    Point at = kFirstCandidate;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            at = vertical ? Point{kVerticalX, at.y + kVerticalStep}
                          : Point{saturate(std::int64_t{at.x} + widths.back() + gap), at.y};
        const std::u16string shown = displayedCandidate(view.page[i]);
        widths.push_back(measure.measure(FontRole::Candidate, shown).width);
        CandidateCell cell;
        cell.label = candidateLabel(static_cast<int>(i));
        cell.labelOrigin = at;
        cell.text = u' ' + shown;
        cell.textOrigin = {at.x + kLabelToText, at.y};
        cell.hit = rectAt(at.x, at.y, std::int64_t{widths.back()} + gap, lineHeight);
        out.cells.push_back(std::move(cell));
    }
    // Side by side, a candidate's area ends one pixel before the next candidate's label.
    if (!vertical)
        for (std::size_t i = 0; i + 1 < out.cells.size(); ++i)
            out.cells[i].hit.right = out.cells[i + 1].labelOrigin.x - 1;
}

} // namespace

void CandidateView::setPage(const CandidateList& list) {
    page.clear();
    for (int i = 0; i < list.pageSize(); ++i)
        page.push_back(list.itemText(i));
    hasPreviousPage = list.hasPreviousPage();
    hasNextPage = list.hasNextPage();
}

Size candidateWindowSize(std::uint32_t flags) {
    return flags & flag::VerticalLayout ? Size{210, 210} : Size{470, 50};
}

CandidateWindowLayout layoutCandidateWindow(const CandidateView& view, Size client,
                                            const TextMeasure& measure) {
    CandidateWindowLayout out;
    out.form = chooseForm(view);
    if (out.form == CandidateForm::Hidden)
        return out;
    const SkinColours colours = skinColours(view.skin);
    out.border = colours.border;
    out.textColour = codeLineColour(colours, view.spaceSelects, view.selectionPending);
    out.codeLine = view.code + u"  " + view.codeHint;
    out.codeLineOrigin = {6, 3};
    if (out.form == CandidateForm::CodeOnly) {
        layOutCodeBox(out);
        return out;
    }
    layOutListFrame(out, client);
    if (out.form == CandidateForm::List) {
        out.font = FontRole::Candidate;
        out.arrows = pagingArrows(client.width, view.hasPreviousPage, view.hasNextPage);
        layOutCandidates(out, view, measure);
    }
    return out;
}

} // namespace tovi
