// The play field's stopwatch. Every timed rule of a game (phase waits, the block and level timers, a
// treasure's lifetime, the hourglass, the game-over countdown, a rainbow block's colour cycle) reads one.
// It runs on the millisecond clock (timeGetTime), leaves paused time out of its reading, can be stopped
// (frozen) and restarted, and is written to a saved game as its reading rather than as clock values, so a
// restored game continues where it was.
//
// All clock arithmetic is unsigned 32-bit and wraps with the clock; the reading is signed milliseconds.
// A plain value: no allocation, cheap to read every frame.
#pragma once

#include <cstdint>

class TiXmlElement;

class GameTimer {
public:
    // Started at the current clock value.
    GameTimer();

    // Running from `startTime` (a clock value) with no pause booked: the only way to re-enable a
    // stopped timer.
    void restart(uint32_t startTime);
    // Freezes the reading; an open pause is closed first. Nothing when already stopped.
    void stop();
    // Pausing books nothing until the pause ends; pausing twice keeps the first start and resuming a
    // running timer books nothing. A stopped timer only stores the flag.
    void setPaused(bool flag);

    // Milliseconds run: grows only while enabled and not paused.
    int32_t getElapsed() const;
    // The reading in the caller's frame units: milliseconds divided by the canvas frame rate (50.0),
    // truncated toward zero. A wait of 3 is 150 ms.
    int getElapsedScaled(double frameRate) const;

    // "ispaused", "isenabled", "elapsedtime", "elapsedpause" on the caller's element.
    void saveXML(TiXmlElement* element) const;
    // Rebases the saved reading onto the current clock. A missing flag reads as a running timer
    // (enabled, not paused); a missing or unreadable time as 0.
    void loadXML(const TiXmlElement* element);

    bool isPaused() const { return paused; }
    bool isEnabled() const { return enabled; }
    // Enabled and not paused: its reading grows.
    bool isRunning() const { return enabled && !paused; }

private:
    uint32_t startTime = 0;
    int32_t pausedTotal = 0;
    uint32_t markTime = 0;
    bool paused = false;
    bool enabled = true;
};
