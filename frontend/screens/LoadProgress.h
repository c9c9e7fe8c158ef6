// The load screen's pace: a wait before the first step, then one catalogue step in each frame whose
// percentage did not move, so the bar is drawn after every step that moved it.
#pragma once

class LoadSource {
public:
    virtual ~LoadSource() = default;
    virtual float progress() = 0;
    virtual bool isDone() = 0;
    virtual void step() = 0;
};

class LoadProgress {
public:
    enum class Frame { Waiting, Started, Stepped, Moved, Finished, Idle };

    explicit LoadProgress(float delaySeconds) : delay(delaySeconds) {}

    // One frame of `elapsedSeconds`; says what the frame did.
    Frame update(float elapsedSeconds, LoadSource& source);

    float getShown() const { return shown; }
    bool isStarted() const { return started; }
    bool isDone() const { return done; }
    // The bar's width for an image of `fullWidth`: it uncovers the image from the left.
    int barWidth(int fullWidth) const { return static_cast<int>(static_cast<float>(fullWidth) / 100.0f * shown); }

private:
    float delay;
    float shown = 0.0f;
    bool started = false;
    bool done = false;
};
