#include "toolkit/component/AnimationComponent.h"

#include "platform/surface/Blit.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"

#include <algorithm>
#include <climits>

namespace {

int imageWidth(const SurfaceHolder* image)
{
    const Surface* surface = image ? image->getSurface() : nullptr;
    return surface ? static_cast<int>(surface->getDesc().width) : 0;
}

int imageHeight(const SurfaceHolder* image)
{
    const Surface* surface = image ? image->getSurface() : nullptr;
    return surface ? static_cast<int>(surface->getDesc().height) : 0;
}

int clampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

AnimationComponent::AnimationComponent(SurfaceHolder* image, int originX, int originY, int frameWidth,
                                       int frameHeight, int frameCount, int layout)
    : InteractiveComponent(0.0f, 0.0f, 0, 0)
{
    setType(TypeAnimation);
    setFlag(0, true);
    if (image)
        setup(image, originX, originY, frameWidth, frameHeight, frameCount, layout);
}

AnimationComponent::~AnimationComponent()
{
    releaseImage();
}

void AnimationComponent::setFrameTime(int ms)
{
    frameTime = std::max(1, ms);
    setDirty(true);
}

void AnimationComponent::setFrameRate(float fps)
{
    // A rate above 1000 (or none at all) would give a frame time of 0: stepping could never end.
    const float ms = fps > 0.0f ? 1000.0f / fps : 0.0f;
    frameTime = ms >= 1.0f ? static_cast<int>(std::min(static_cast<double>(ms), static_cast<double>(INT_MAX))) : 1;
    setDirty(true);
}

void AnimationComponent::setFrame(int n)
{
    currentFrame = n % frameCount;
    placeSource();
}

void AnimationComponent::setFrameCount(int n)
{
    frameCount = std::max(1, n);
    setDirty(true);
}

void AnimationComponent::setClipped(bool b)
{
    clipped = b ? 1 : 0;
    setDirty(true);
}

void AnimationComponent::setDirection(int d)
{
    direction = d;
    setDirty(true);
}

void AnimationComponent::setLoopMode(int m)
{
    loopMode = m;
    setDirty(true);
}

void AnimationComponent::setup(SurfaceHolder* newImage, int originX, int originY, int frameWidth, int frameHeight,
                               int count, int newLayout)
{
    if (newImage)
        newImage->addRef();
    releaseImage();
    image = newImage;
    layout = newLayout;
    sourceOrigin.set(originX, originY);
    frameCount = std::max(1, count);
    if (frameCount == 1)
        direction = Stopped;
    if (frameWidth == 0 && frameHeight == 0)
        setSize(imageWidth(image), imageHeight(image));
    else
        setSize(frameWidth, frameHeight);
    setFrame(0);
}

void AnimationComponent::releaseImage()
{
    if (image)
        image->release();
    image = nullptr;
}

void AnimationComponent::placeSource()
{
    const long long f = currentFrame, w = size.width, h = size.height;
    switch (layout) {
    case VerticalStrip:
        sourcePosition.set(sourceOrigin.x, clampToInt(sourceOrigin.y + f * h));
        break;
    case HorizontalStrip:
        sourcePosition.set(clampToInt(sourceOrigin.x + f * w), sourceOrigin.y);
        break;
    case Grid: {
        const long long columns = w > 0 ? imageWidth(image) / w : 0;
        // An image narrower than one frame has no columns: frame 0 is all it can show.
        if (columns <= 0)
            sourcePosition = sourceOrigin;
        else
            sourcePosition.set(clampToInt(sourceOrigin.x + (f % columns) * w),
                               clampToInt(sourceOrigin.y + (f / columns) * h));
        break;
    }
    default:
        break;
    }
}

// One frame time's worth of stepping. On the step that turns a bouncing forward run around, both
// branches run, so the last frame gives way to the one before it within that step.
void AnimationComponent::step()
{
    int f = currentFrame;
    if (direction == Forward) {
        ++f;
        if (f >= frameCount) {
            if (loopMode == Wrap) {
                f = 0;
            } else if (loopMode == Bounce) {
                direction = Backward;
                f = frameCount - 1;
            }
        }
        setFrame(f);
    }
    if (direction == Backward) {
        --f;
        if (f < 0) {
            if (loopMode == Wrap) {
                f = frameCount - 1;
            } else if (loopMode == Bounce) {
                direction = Forward;
                f = 1;
            }
        }
        setFrame(f);
    }
}

void AnimationComponent::updateSelf(Surface*, const FrameTime& frameInfo)
{
    const long long total = static_cast<long long>(accumulator) + frameInfo.elapsedMs;
    if (total < frameTime) {
        accumulator = clampToInt(total);
        return;
    }
    long long steps = total / frameTime;
    accumulator = static_cast<int>(total % frameTime);
    if (direction != Forward && direction != Backward)
        return;
    // The frame and direction repeat with a period that divides 2 x count x max(count - 1, 1) once
    // the first period has run; an oversized step (a long stall) skips whole periods.
    const long long n = frameCount;
    const long long period = 2 * n * std::max(n - 1, 1LL);
    if (period <= steps && steps > 2 * period + 2)
        steps -= ((steps - period - 2) / period) * period;
    for (long long i = 0; i < steps; ++i)
        step();
}

void AnimationComponent::paint(Surface* target, const FrameTime&)
{
    if (!image || !target)
        return;
    const int x = getAbsoluteX(), y = getAbsoluteY();
    const int w = size.width, h = size.height;
    if (w <= 0 || h <= 0)
        return;
    if (!isClipped()) {
        blitSurface(image, sourcePosition.x, sourcePosition.y, w, h, target, x, y, nullptr);
        return;
    }
    const long long left = std::max<long long>(x, clipRect.x), top = std::max<long long>(y, clipRect.y);
    const long long right = std::min(static_cast<long long>(x) + w, static_cast<long long>(clipRect.x) + clipRect.width);
    const long long bottom =
        std::min(static_cast<long long>(y) + h, static_cast<long long>(clipRect.y) + clipRect.height);
    if (right <= left || bottom <= top)
        return;
    blitSurface(image, clampToInt(sourcePosition.x + (left - x)), clampToInt(sourcePosition.y + (top - y)),
                static_cast<int>(right - left), static_cast<int>(bottom - top), target, static_cast<int>(left),
                static_cast<int>(top), nullptr);
}

void AnimationComponent::restoreLost()
{
    if (image)
        image->check();
}
