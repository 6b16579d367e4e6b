// What the candidate window draws where: its form, the code line, the labelled candidates with
// their hit rectangles and the paging arrows, in client coordinates.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"
#include "ui/paging_arrows.h"
#include "ui/text_measure.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovi {

class CandidateList;

// What the window shows, gathered from the engine and the settings.
struct CandidateView {
    std::u16string code;     // the input string
    std::u16string codeHint; // the code hint of the input string
    std::vector<std::u16string> page;
    bool hasPreviousPage = false;
    bool hasNextPage = false;
    bool spaceSelects = false;
    bool selectionPending = false;
    std::uint32_t flags = 0; // settings flags
    std::int32_t skin = 0;

    // Takes the current page of `list` and whether it has neighbours.
    void setPage(const CandidateList& list);
};

enum class CandidateForm {
    Hidden,    // no input string
    CodeOnly,  // a 110 × 22 box with the code line
    EmptyList, // the list frame with only the code line
    List,      // the code line, the candidates and the paging arrows
};

struct CandidateCell {
    std::u16string label; // "1." … "9."
    Point labelOrigin;
    std::u16string text; // a space and the displayed candidate
    Point textOrigin;
    Rect hit; // a click here selects the candidate
};

struct CandidateWindowLayout {
    CandidateForm form = CandidateForm::Hidden;
    Rect region;                // the visible part of the window
    Rect background;            // filled with the device context's brush
    Rect picture;               // where the candidate bitmap goes, from its top left corner
    std::vector<Point> outline; // a polyline in the border colour
    Rgb border;
    Rgb textColour;          // of the code line and the candidates
    std::u16string codeLine; // the input string, two spaces, its hint
    Point codeLineOrigin;
    FontRole font = FontRole::System; // of all the text
    std::vector<CandidateCell> cells; // at most nine
    std::optional<PagingArrows> arrows;
};

// 210 × 210 with the vertical layout, 470 × 50 without.
Size candidateWindowSize(std::uint32_t flags);

CandidateWindowLayout layoutCandidateWindow(const CandidateView& view, Size client,
                                            const TextMeasure& measure);

} // namespace tovi
