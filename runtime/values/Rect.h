// Integer rectangle of the toolkit and of the layout documents' Rectangle entries.
#pragma once

#include <cstdint>

struct Rect {
    Rect() = default;
    Rect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
        : x(x), y(y), width(width), height(height)
    {
    }

    void copyFrom(const Rect& source)
    {
        x = source.x;
        y = source.y;
        width = source.width;
        height = source.height;
    }

    bool operator==(const Rect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};
