// The module's three fonts, made at their first use and deleted with the object, and a text
// measurer that measures with them on a device context.
#pragma once

#include "ui/text_measure.h"
#include "ui/win32/gdi_objects.h"

namespace tovi {

class ModuleFonts {
public:
    // The font of a role; null for the device context's own font (FontRole::System) or when the
    // system cannot make it.
    HFONT font(FontRole role);

private:
    UniqueFont candidate_;
    UniqueFont small_;
    UniqueFont prompt_;
    UniqueFont status_;
};

class GdiTextMeasure final : public TextMeasure {
public:
    GdiTextMeasure(HDC dc, ModuleFonts& fonts) : dc_(dc), fonts_(fonts) {}
    Size measure(FontRole font, std::u16string_view text) const override;

private:
    HDC dc_;
    ModuleFonts& fonts_;
};

// Draws `text` at (x, y) in the selected font.
void drawText(HDC dc, Point at, std::u16string_view text);

} // namespace tovi
