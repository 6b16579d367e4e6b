// The one-pixel frame that the info and prompt windows draw inside their client area.
#pragma once

#include "ui/geometry.h"

#include <vector>

namespace tovi {

// The polyline (MoveTo the first point, LineTo the others) of the frame one pixel inside a
// client area of `client` size, starting at the top right corner.
std::vector<Point> boxOutline(Size client);

} // namespace tovi
