// The nominal frame rate of a canvas and the figures of the frame being updated. Every per-frame speed
// of the toolkit and the game is given per nominal frame (1/50 s) and scaled by ratio(): the frame's
// elapsed seconds over the nominal period, 1.0 for a frame of 20 ms.
#pragma once

class FrameRate {
public:
    FrameRate() = default;
    explicit FrameRate(float rate) { setRate(rate); }

    void setRate(float newRate)
    {
        rate = newRate;
        period = newRate > 0.0f ? 1.0f / newRate : 0.0f;
    }
    float getRate() const { return rate; }
    float getPeriod() const { return period; }

    // What the canvas stores at the start of each update.
    void setFrame(float seconds, int milliseconds, float measuredRate)
    {
        elapsedSeconds = seconds;
        elapsedMs = milliseconds;
        frameRate = measuredRate;
    }
    float getElapsedSeconds() const { return elapsedSeconds; }
    int getElapsedMs() const { return elapsedMs; }
    float getMeasuredRate() const { return frameRate; }

    // Elapsed seconds of the frame over the nominal period; 0 without a rate.
    float ratio() const { return period > 0.0f ? elapsedSeconds / period : 0.0f; }

private:
    float rate = 0.0f;
    float period = 0.0f;
    float elapsedSeconds = 0.0f;
    int elapsedMs = 0;
    float frameRate = 0.0f;
};
