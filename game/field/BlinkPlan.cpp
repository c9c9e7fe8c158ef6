#include "game/field/BlinkPlan.h"

#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"

#include <algorithm>
#include <cmath>

std::vector<BlinkStep> makeBlinkPlan(double spanMs, double blinkMs, double frameRate)
{
    std::vector<BlinkStep> plan;
    const double span = spanMs * frameRate / 1000.0;
    const double blink = blinkMs * frameRate / 1000.0;
    if (!(span > 0.0) || !(blink > 0.0) || !std::isfinite(span) || !std::isfinite(blink))
        return plan;
    // Whole blinks only: with i <= span / blink every shown wait blink - i * step stays at 0 or more.
    const double whole = std::floor(span / blink);
    const int count = whole >= kMaxBlinks - 1 ? kMaxBlinks : static_cast<int>(whole) + 1;
    const double step = blink * blink / span;
    plan.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        plan.push_back({std::max(0.0, blink - i * step), i * step});
    return plan;
}

void applyBlinkPlan(Sprite* sprite, const std::vector<BlinkStep>& plan, int low, int high, float speed)
{
    if (!sprite)
        return;
    for (const BlinkStep& step : plan) {
        ModifierAlpha::start(sprite, low, high, speed, Modifier::OptionBlocking);
        ModifierDelay::start(sprite, step.shown, Modifier::OptionBlocking);
        ModifierAlpha::start(sprite, high, low, speed, Modifier::OptionBlocking);
        ModifierDelay::start(sprite, step.hidden, Modifier::OptionBlocking);
    }
}
