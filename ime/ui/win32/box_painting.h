// The drawing steps the tool windows share.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"

#include <vector>
#include <windows.h>

namespace tovi {

// A polyline through `points` in a solid pen of `colour`.
void drawPolyline(HDC dc, const std::vector<Point>& points, Rgb colour);
// Fills the client area of `client` size with `background` and draws the outline in it.
void fillAndOutline(HDC dc, Size client, Rgb background, const std::vector<Point>& outline);

} // namespace tovi
