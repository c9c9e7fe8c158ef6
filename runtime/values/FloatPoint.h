// The floating-point position of the toolkit's positioned components.
#pragma once

class FloatPoint {
public:
    FloatPoint() = default;
    FloatPoint(const FloatPoint&) = default;
    FloatPoint& operator=(const FloatPoint&) = default;
    virtual ~FloatPoint() = default;

    float x = 0.0f;
    float y = 0.0f;
};
