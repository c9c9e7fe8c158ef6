#include "toolkit/modifier/ModifierLocationCubic.h"

#include "toolkit/sprite/Sprite.h"

#include <algorithm>
#include <cmath>

const ClassRecord ModifierLocationCubic::classRecord("ModifierLocationCubic", &ModifierLocation::classRecord);

std::vector<ModifierLocationCubic::Cubic> ModifierLocationCubic::spline(const std::vector<int>& v)
{
    const std::size_t n = v.size() - 1;
    std::vector<float> g(n + 1), d(n + 1), D(n + 1);
    auto value = [&](std::size_t i) { return static_cast<float>(v[i]); };
    g[0] = 0.5f;
    for (std::size_t i = 1; i < n; ++i)
        g[i] = 1.0f / (4.0f - g[i - 1]);
    g[n] = 1.0f / (2.0f - g[n - 1]);
    d[0] = 3.0f * (value(1) - value(0)) * g[0];
    for (std::size_t i = 1; i < n; ++i)
        d[i] = (3.0f * (value(i + 1) - value(i - 1)) - d[i - 1]) * g[i];
    d[n] = (3.0f * (value(n) - value(n - 1)) - d[n - 1]) * g[n];
    D[n] = d[n];
    for (std::size_t i = n; i-- > 0;)
        D[i] = d[i] - g[i] * D[i + 1];
    std::vector<Cubic> segments(n);
    for (std::size_t i = 0; i < n; ++i) {
        segments[i].a = value(i);
        segments[i].b = D[i];
        segments[i].c = 3.0f * (value(i + 1) - value(i)) - 2.0f * D[i] - D[i + 1];
        segments[i].e = 2.0f * (value(i) - value(i + 1)) + D[i] + D[i + 1];
    }
    return segments;
}

ModifierLocationCubic::ModifierLocationCubic(const std::vector<int>& xs, const std::vector<int>& ys, float speed)
{
    const std::size_t count = std::min(xs.size(), ys.size());
    if (count < 2)
        return;
    const std::vector<int> controlX(xs.begin(), xs.begin() + static_cast<long>(count));
    const std::vector<int> controlY(ys.begin(), ys.begin() + static_cast<long>(count));
    setStart(controlX[0], controlY[0]);
    const std::vector<Cubic> curveX = spline(controlX);
    const std::vector<Cubic> curveY = spline(controlY);
    auto append = [&](std::size_t segment, float s) {
        pathX.push_back(toInt(curveX[segment].at(s) + 0.5f));
        pathY.push_back(toInt(curveY[segment].at(s) + 0.5f));
    };
    append(0, 0.0f);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const double dx = static_cast<double>(controlX[i + 1]) - controlX[i];
        const double dy = static_cast<double>(controlY[i + 1]) - controlY[i];
        const double length = std::floor(std::sqrt(dx * dx + dy * dy));
        // Speeds of 0 or less (or not a number) jump from control point to control point.
        double steps = speed > 0.0f ? std::floor(length / speed) : (length > 0.0 ? 1.0 : 0.0);
        steps = std::min(steps, static_cast<double>(MaxStepsPerSegment));
        const int stepCount = static_cast<int>(steps);
        for (int j = 1; j <= stepCount; ++j)
            append(i, static_cast<float>(j) / static_cast<float>(stepCount));
    }
}

ModifierLocationCubic* ModifierLocationCubic::start(Sprite* sprite, const std::vector<int>& xs,
                                                    const std::vector<int>& ys, float speed, int options)
{
    auto* modifier = new ModifierLocationCubic(xs, ys, speed);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierLocationCubic::update()
{
    progress += frameRatio();
    if (progress >= static_cast<double>(pathX.size())) {
        finish();
        return;
    }
    if (!sprite)
        return;
    const auto index = static_cast<std::size_t>(progress);
    sprite->setX(pathX[index]);
    sprite->setY(pathY[index]);
}
