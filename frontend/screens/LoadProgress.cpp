#include "frontend/screens/LoadProgress.h"

LoadProgress::Frame LoadProgress::update(float elapsedSeconds, LoadSource& source)
{
    if (delay > 0.0f) {
        delay = elapsedSeconds >= delay ? 0.0f : delay - elapsedSeconds;
        return Frame::Waiting;
    }
    if (!started) {
        started = true;
        return Frame::Started;
    }
    if (done)
        return Frame::Idle;
    Frame frame = Frame::Idle;
    const float percent = source.progress();
    if (percent <= shown) {
        if (!source.isDone()) {
            source.step();
            frame = Frame::Stepped;
        }
    } else {
        shown = percent;
        frame = Frame::Moved;
    }
    // A catalogue that reports done below 100 % would otherwise leave the screen waiting for ever.
    if (shown >= 100.0f || (frame == Frame::Idle && source.isDone())) {
        shown = 100.0f;
        done = true;
        return Frame::Finished;
    }
    return frame;
}
