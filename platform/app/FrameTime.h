// What a scene's update and draw receive every frame. The application fills one per tick: the elapsed
// time of the frame (clamped, so a stall never turns into a huge step) and the figures of the last
// statistics refresh.
#pragma once

class FrameTime {
public:
    FrameTime() = default;
    FrameTime(int elapsedMs, float frameRate = 0.0f, float frameRateRatio = 0.0f, float cpuLoad = 0.0f)
        : elapsedMs(elapsedMs), elapsedSeconds(static_cast<float>(elapsedMs) * 0.001f), frameRate(frameRate),
          frameRateRatio(frameRateRatio), cpuLoad(cpuLoad)
    {
    }
    FrameTime(const FrameTime&) = default;
    FrameTime& operator=(const FrameTime&) = default;
    virtual ~FrameTime() = default;

    int elapsedMs = 0;           // milliseconds since the previous tick, at most 100
    float elapsedSeconds = 0.0f; // elapsedMs * 0.001
    float frameRate = 0.0f;      // frames per second over the last statistics interval
    float frameRateRatio = 0.0f;
    float cpuLoad = 0.0f;
};
