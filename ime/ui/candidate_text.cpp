#include "ui/candidate_text.h"

namespace tovi {

std::u16string displayedCandidate(std::u16string_view text) {
    if (text.size() <= kLongestShownWhole)
        return std::u16string(text);
    std::size_t kept = kShortenedTo;
    // Never keep half of a surrogate pair.
    if (text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF)
        --kept;
    return std::u16string(text.substr(0, kept)) + u'…';
}

std::u16string candidateLabel(int slot) {
    if (slot < 0)
        return {};
    return {static_cast<char16_t>(u'0' + (slot + 1) % 10), u'.'};
}

} // namespace tovi
