// A blink that speeds up toward its end, as a treasure about to vanish and a running-out hourglass show
// it: each blink is a fade up, a wait while shown, a fade down and a wait while hidden; the shown waits
// shrink and the hidden ones grow by the same step, so the blinks come faster and faster.
//
// Both callers give milliseconds and the plan works in frames of the canvas, so the number of blinks and
// the step share one unit and no wait is ever negative.
#pragma once

#include <vector>

class Sprite;

struct BlinkStep {
    double shown;  // frames shown before fading down
    double hidden; // frames hidden before the next blink
};

// More blinks than this are not planned, whatever the data says.
constexpr int kMaxBlinks = 100;

// The blinks over `spanMs` milliseconds starting with a blink of `blinkMs`, at `frameRate` frames per
// second: n = span / blink + 1 blinks (whole blinks, at most kMaxBlinks), blink i shown for
// blink - i * step and hidden for i * step, step = blink^2 / span. A span or blink of 0 or less plans
// nothing.
std::vector<BlinkStep> makeBlinkPlan(double spanMs, double blinkMs, double frameRate);

// Queues the plan on the sprite as blocking modifiers: alpha `low` -> `high`, shown wait, alpha
// `high` -> `low`, hidden wait, for each step.
void applyBlinkPlan(Sprite* sprite, const std::vector<BlinkStep>& plan, int low, int high, float speed);
