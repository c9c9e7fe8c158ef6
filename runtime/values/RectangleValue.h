// The "Rectangle" value of the property store.
#pragma once

class RectangleValue {
public:
    RectangleValue() = default;
    RectangleValue(int x, int y, int width, int height) : x(x), y(y), width(width), height(height) {}
    RectangleValue(const RectangleValue&) = default;
    RectangleValue& operator=(const RectangleValue&) = default;
    virtual ~RectangleValue() = default;

    void set(const int& newX, const int& newY, const int& newWidth, const int& newHeight)
    {
        x = newX;
        y = newY;
        setSize(newWidth, newHeight);
    }

    // Leaves the position.
    void setSize(const int& newWidth, const int& newHeight)
    {
        width = newWidth;
        height = newHeight;
    }

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
