#include "ui/candidate_click.h"

namespace tovi {
namespace {

constexpr std::uint8_t kKeypadMultiply = 0x6A;
constexpr std::uint8_t kKeypadZero = 0x60;
constexpr std::uint8_t kMainRowZero = '0';

} // namespace

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

std::vector<std::uint8_t> candidateClickKeys(int slot, Scheme scheme, bool spaceSelects) {
    if (slot < 0)
        return {};
    const auto digit = static_cast<std::uint8_t>((slot + 1) % 10);
    const bool mainRow = scheme == Scheme::Keypad || scheme == Scheme::D;
    std::vector<std::uint8_t> keys;
    if (!spaceSelects)
        keys.push_back(kKeypadMultiply);
    keys.push_back(static_cast<std::uint8_t>((mainRow ? kMainRowZero : kKeypadZero) + digit));
    return keys;
}

} // namespace tovi
