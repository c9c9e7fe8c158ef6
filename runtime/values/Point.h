// Integer point of the toolkit and of the layout documents' Point entries.
#pragma once

#include <cstdint>

struct Point {
    Point() = default;
    Point(std::int32_t x, std::int32_t y) : x(x), y(y) {}

    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Point& other) const { return !(*this == other); }

    std::int32_t x = 0;
    std::int32_t y = 0;
};
