// A move along the natural cubic spline through a list of control points, precomputed into a path of
// whole-pixel points spaced about `speed` pixels apart; every nominal frame advances one path point. The
// move writes both axes whatever the adjust switches say.
#pragma once

#include "toolkit/modifier/ModifierLocation.h"

#include <vector>

class ModifierLocationCubic : public ModifierLocation {
public:
    static const ClassRecord classRecord;
    // The most path points one segment gets: a tiny speed would otherwise ask for a path without end.
    static constexpr int MaxStepsPerSegment = 1 << 16;

    ModifierLocationCubic() = default;
    // The lists are paired up to the shorter one's length; fewer than two points give an empty path.
    ModifierLocationCubic(const std::vector<int>& xs, const std::vector<int>& ys, float speed);

    static ModifierLocationCubic* start(Sprite* sprite, const std::vector<int>& xs, const std::vector<int>& ys,
                                        float speed, int options);

    unsigned getSize() override { return sizeof(ModifierLocationCubic); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;

    const std::vector<int>& getPathX() const { return pathX; }
    const std::vector<int>& getPathY() const { return pathY; }

    // The coefficients (a, b, c, e) of segment i of the natural cubic spline through v, for
    // a + b s + c s^2 + e s^3 with s from 0 to 1; v needs at least two values.
    struct Cubic {
        float a, b, c, e;
        float at(float s) const { return ((e * s + c) * s + b) * s + a; }
    };
    static std::vector<Cubic> spline(const std::vector<int>& v);

protected:
    std::vector<int> pathY;
    std::vector<int> pathX;
    double progress = 0.0;
};
