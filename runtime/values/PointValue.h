// The "Point" value of the property store.
#pragma once

class PointValue {
public:
    PointValue() = default;
    PointValue(int x, int y) : x(x), y(y) {}
    PointValue(const PointValue&) = default;
    PointValue& operator=(const PointValue&) = default;
    virtual ~PointValue() = default;

    void set(const int& newX, const int& newY)
    {
        x = newX;
        y = newY;
    }

    int x = 0;
    int y = 0;
};
