// How wide and high a text is drawn in one of the module's fonts. The Win32 painter measures
// with GDI; tests use a fixed-width measurer.
#pragma once

#include "ui/geometry.h"

#include <string_view>

namespace tovi {

enum class FontRole {
    System,    // the device context's default font (the code line of the candidate window)
    Candidate, // "宋体", height 16: candidates and their labels
    Small,     // "宋体", height 12: the info message
    Prompt,    // "宋体", height 12, GB2312: the prompt grid
    Status,    // bold "宋体", height 14: the scheme letter of the status bar
};

class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual Size measure(FontRole font, std::u16string_view text) const = 0;
};

} // namespace tovi
