// Points, sizes and rectangles of the module's windows, in pixels. A rectangle holds its left and
// top edges but not its right and bottom ones, as a Win32 RECT does.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tovi {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const Rect&) const = default;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    Point topLeft() const { return {left, top}; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
};

// A tool window's screen position and size as its record in the UI window's block holds them.
struct WindowPlace {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Arithmetic on recorded positions is done in 64 bits and brought back into range here, so that
// a position read from a hand-edited file cannot overflow.
constexpr std::int32_t saturate(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

constexpr Rect rectAt(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
    return {saturate(x), saturate(y), saturate(x + width), saturate(y + height)};
}

} // namespace tovi
