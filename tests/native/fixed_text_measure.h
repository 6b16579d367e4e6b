// A text measurer for the window layout tests: every UTF-16 unit is as wide as its font is high,
// as Chinese characters are in "宋体".
#pragma once

#include "ui/text_measure.h"

namespace tovi::test {

class FixedTextMeasure : public TextMeasure {
public:
    Size measure(FontRole font, std::u16string_view text) const override {
        const std::int32_t size = font == FontRole::Candidate ? 16 : 12;
        return {static_cast<std::int32_t>(text.size()) * size, size};
    }
};

} // namespace tovi::test
