// Draws a picture with one colour left out, as the prompt charts are drawn over the window's
// background.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"

#include <windows.h>

namespace tovi {

// Stretches `source` (of `from`) onto `destination` (at `to`), leaving the pixels of `key`
// transparent. A failed allocation draws nothing and releases what was made; an empty rectangle
// draws nothing.
void transparentBlit(HDC destination, const Rect& to, HDC source, const Rect& from, Rgb key);

} // namespace tovi
