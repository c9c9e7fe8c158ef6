// A component that shows one frame of an image at a time. The frames lie in the image as a vertical
// strip, a horizontal strip or a grid of rows; the component steps through them by elapsed time,
// forward or backward, wrapping around or bouncing, and can restrict its drawing to a rectangle of
// the screen (the load screen widens such a rectangle over its loading bar).
//
// The frame count and the frame time are never below 1, so choosing a frame never divides by zero
// and stepping always ends; a grid whose image is narrower than one frame shows frame 0.
#pragma once

#include "runtime/values/PointValue.h"
#include "runtime/values/RectangleValue.h"
#include "toolkit/component/InteractiveComponent.h"

#include <cstdint>

class SurfaceHolder;

class AnimationComponent : public InteractiveComponent {
public:
    enum Layout { VerticalStrip = 0, HorizontalStrip = 1, Grid = 2 };
    enum Direction { Stopped = 0, Forward = 1, Backward = 2 };
    enum LoopMode { Wrap = 0, Bounce = 1 };

    // Holds the image and sets it up when one is given. A frame size of (0, 0) takes the image's
    // whole size.
    AnimationComponent(SurfaceHolder* image, int originX, int originY, int frameWidth, int frameHeight,
                       int frameCount, int layout);
    ~AnimationComponent() override;

    virtual int getFrameTime() const { return frameTime; }
    virtual void setFrameTime(int ms);
    // Milliseconds per frame from frames per second, truncated.
    virtual void setFrameRate(float fps);
    virtual int getFrame() const { return currentFrame; }
    // The frame number modulo the frame count (a negative number stays negative), and its place in
    // the image.
    virtual void setFrame(int n);
    virtual int getFrameCount() const { return frameCount; }
    virtual void setFrameCount(int n);
    virtual PointValue& getSourcePosition() { return sourcePosition; }
    virtual bool isClipped() const { return clipped != 0; }
    virtual void setClipped(bool b);
    // In screen coordinates; callers may change it in place.
    virtual RectangleValue& getClipRect() { return clipRect; }
    virtual int getDirection() const { return direction; }
    virtual void setDirection(int d);
    virtual int getLoopMode() const { return loopMode; }
    virtual void setLoopMode(int m);
    virtual void setup(SurfaceHolder* image, int originX, int originY, int frameWidth, int frameHeight,
                       int frameCount, int layout);
    virtual SurfaceHolder* getImage() const { return image; }
    virtual void releaseImage();

    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;
    // The image reloads itself after a lost display.
    void restoreLost() override;

    int getLayout() const { return layout; }

private:
    void step();
    void placeSource();

    PointValue sourceOrigin;
    PointValue sourcePosition;
    std::int32_t layout = VerticalStrip;
    std::int32_t frameCount = 1;
    std::int32_t currentFrame = 0;
    std::int32_t frameTime = 17;
    std::int32_t accumulator = 0;
    std::int32_t direction = Stopped;
    std::int32_t loopMode = Wrap;
    SurfaceHolder* image = nullptr;
    std::int32_t clipped = 0;
    RectangleValue clipRect;
};
