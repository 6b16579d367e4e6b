#include "ui/win32/box_painting.h"

#include "ui/win32/gdi_objects.h"
#include "ui/win32/screen.h"

namespace tovi {

void drawPolyline(HDC dc, const std::vector<Point>& points, Rgb colour) {
    const UniquePen pen(CreatePen(PS_SOLID, 0, colorOf(colour)));
    const Selected selected(dc, pen.get());
    std::vector<POINT> line;
    line.reserve(points.size());
    for (const Point& p : points)
        line.push_back({p.x, p.y});
    Polyline(dc, line.data(), static_cast<int>(line.size()));
}

void fillAndOutline(HDC dc, Size client, Rgb background, const std::vector<Point>& outline) {
    const UniqueBrush fill(CreateSolidBrush(colorOf(background)));
    RECT all{0, 0, client.width, client.height};
    if (fill)
        FillRect(dc, &all, fill.get());
    drawPolyline(dc, outline, kOutlineColour);
}

} // namespace tovi
