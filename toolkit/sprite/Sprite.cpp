#include "toolkit/sprite/Sprite.h"

#include "toolkit/modifier/Modifier.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>

const ClassRecord Sprite::classRecord("Sprite", nullptr);

namespace {

// Positions come from hand-edited layouts: sums that leave the 32-bit range wrap instead of being
// undefined.
int wrap32(long long value)
{
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<unsigned long long>(value)));
}

} // namespace

Sprite::Sprite()
{
    reset();
}

Sprite::Sprite(int x, int y, int width, int height)
{
    reset();
    setBounds(x, y, width, height);
}

Sprite::~Sprite()
{
    frameRect.reset();
    sourceRect.reset();
    clipRect.reset();
    if (parent)
        parent->release();
    parent = nullptr;
    std::vector<Modifier*> held;
    held.swap(modifiers);
    for (Modifier* modifier : held)
        modifier->release();
}

void Sprite::reset()
{
    inputFlags = 0;
    stateFlags = StateEnabled | StateVisible;
    frameRect.reset();
    sourceRect.reset();
    clipRect.reset();
    canvas = nullptr;
    if (parent) {
        Sprite* old = parent;
        parent = nullptr;
        old->release();
    }
    position = Point();
    bounds = Rect();
    drawnBounds = Rect();
    anchorMode = AnchorTopLeft;
    name.clear();
    frameStepX = 0;
    frameStepY = 0;
    frameCount = 0;
    frameIndex = -1;
    frameDirection = Forward;
    frameWrap = WrapNone;
}

void Sprite::onRemovedFromCanvas()
{
    removeStateFlags(StateOnCanvas);
}

void Sprite::onAddedToCanvas()
{
    addStateFlags(StateOnCanvas);
}

void Sprite::update()
{
    tick();
    runModifiers();
}

void Sprite::runModifiers()
{
    std::size_t index = 0;
    while (index < modifiers.size()) {
        Modifier* modifier = modifiers[index];
        // Held across its step: a modifier may take itself off the list while it runs.
        modifier->addRef();
        modifier->update();
        if (modifier->hasState(Modifier::StateFinished)) {
            removeModifier(modifier);
            modifier->release();
            // The next modifier moved into this place (unless the list changed in front of it).
            index = std::min(index, modifiers.size());
            continue;
        }
        const bool blocking = modifier->hasOption(Modifier::OptionBlocking);
        modifier->release();
        if (blocking)
            break;
        ++index;
    }
}

bool Sprite::contains(int x, int y)
{
    const long long left = getAbsoluteX();
    const long long top = getAbsoluteY();
    return left <= x && x < left + bounds.width && top <= y && y < top + bounds.height;
}

void Sprite::setDirty(bool dirty)
{
    if (dirty)
        addStateFlags(StateDirty);
    else
        removeStateFlags(StateDirty);
}

void Sprite::setObsolete(bool obsolete)
{
    if (obsolete)
        addStateFlags(StateObsolete);
    else
        removeStateFlags(StateObsolete);
}

void Sprite::setInputBarrier(bool barrier)
{
    if (barrier)
        addStateFlags(StateInputBarrier);
    else
        removeStateFlags(StateInputBarrier);
}

void Sprite::setMarked(bool marked)
{
    if (marked)
        addStateFlags(StateMarked);
    else
        removeStateFlags(StateMarked);
}

void Sprite::setEnabled(bool enabled)
{
    if (hasStateFlags(StateEnabled) != enabled)
        setDirty(true);
    if (enabled)
        addStateFlags(StateEnabled);
    else
        removeStateFlags(StateEnabled);
}

void Sprite::setVisible(bool visible)
{
    if (hasStateFlags(StateVisible) != visible)
        setDirty(true);
    if (visible)
        addStateFlags(StateVisible);
    else
        removeStateFlags(StateVisible);
}

int Sprite::getAbsoluteX() const
{
    if (parent && !parent->isObsolete() && hasStateFlags(StateRelative))
        return wrap32(static_cast<long long>(parent->getAbsoluteX()) + bounds.x);
    return bounds.x;
}

int Sprite::getAbsoluteY() const
{
    if (parent && !parent->isObsolete() && hasStateFlags(StateRelative))
        return wrap32(static_cast<long long>(parent->getAbsoluteY()) + bounds.y);
    return bounds.y;
}

void Sprite::updateCorner()
{
    const long long w = bounds.width;
    const long long h = bounds.height;
    const long long px = position.x;
    const long long py = position.y;
    long long x = bounds.x;
    long long y = bounds.y;
    switch (anchorMode) {
    case AnchorTopLeft: x = px; y = py; break;
    case AnchorTopCenter: x = px - w / 2; y = py; break;
    case AnchorTopRight: x = px - w; y = py; break;
    case AnchorCenterLeft: x = px; y = py - h / 2; break;
    case AnchorCenter: x = px - w / 2; y = py - h / 2; break;
    case AnchorCenterRight: x = px - w; y = py - h / 2; break;
    case AnchorBottomLeft: x = px; y = py - h; break;
    case AnchorBottomCenter: x = px - w / 2; y = py - h; break;
    case AnchorBottomRight: x = px - w; y = py - h; break;
    default: break;
    }
    bounds.x = wrap32(x);
    bounds.y = wrap32(y);
}

void Sprite::setX(int x)
{
    if (x == position.x)
        return;
    position.x = x;
    updateCorner();
    setDirty(true);
}

void Sprite::setY(int y)
{
    if (y == position.y)
        return;
    position.y = y;
    updateCorner();
    setDirty(true);
}

void Sprite::setWidth(int width)
{
    if (width == bounds.width)
        return;
    bounds.width = width;
    updateCorner();
    setDirty(true);
}

void Sprite::setHeight(int height)
{
    if (height == bounds.height)
        return;
    bounds.height = height;
    updateCorner();
    setDirty(true);
}

void Sprite::setBoundsFrom(const Rect& rect)
{
    setBounds(rect.x, rect.y, rect.width, rect.height);
}

void Sprite::setBounds(int x, int y, int width, int height)
{
    setX(x);
    setY(y);
    setWidth(width);
    setHeight(height);
}

void Sprite::setPosition(int x, int y)
{
    setX(x);
    setY(y);
}

void Sprite::setSize(int width, int height)
{
    setWidth(width);
    setHeight(height);
}

void Sprite::setParent(Sprite* newParent)
{
    if (newParent == this)
        return;
    if (newParent)
        newParent->addRef();
    Sprite* old = parent;
    parent = newParent;
    if (old)
        old->release();
    setDirty(true);
}

void Sprite::setClipRectFrom(const Rect* rect)
{
    if (!rect) {
        if (clipRect) {
            clipRect.reset();
            setDirty(true);
        }
        return;
    }
    if (!clipRect) {
        clipRect = std::make_unique<Rect>(*rect);
        setDirty(true);
    } else if (*clipRect != *rect) {
        clipRect->copyFrom(*rect);
        setDirty(true);
    }
}

namespace {

// Creates the rectangle on first use (which always marks dirty); afterwards a change marks dirty.
bool storeRect(std::unique_ptr<Rect>& slot, const Rect& value)
{
    if (!slot) {
        slot = std::make_unique<Rect>(value);
        return true;
    }
    if (*slot == value)
        return false;
    slot->copyFrom(value);
    return true;
}

} // namespace

void Sprite::setClipRect(int x, int y, int width, int height)
{
    if (storeRect(clipRect, Rect(x, y, width, height)))
        setDirty(true);
}

void Sprite::setAnchor(int mode)
{
    if (mode == anchorMode)
        return;
    anchorMode = mode;
    updateCorner();
}

void Sprite::setFrameRect(int x, int y, int width, int height)
{
    if (storeRect(frameRect, Rect(x, y, width, height)))
        setDirty(true);
}

void Sprite::setSourceRect(int x, int y, int width, int height)
{
    if (storeRect(sourceRect, Rect(x, y, width, height)))
        setDirty(true);
}

void Sprite::setSourceRectFrom(const Rect* rect)
{
    if (!rect) {
        sourceRect.reset();
        return;
    }
    if (!sourceRect)
        sourceRect = std::make_unique<Rect>();
    if (*sourceRect != *rect) {
        sourceRect->copyFrom(*rect);
        setDirty(true);
    }
}

void Sprite::setFrame(int n)
{
    // Frames are steps from the frame rectangle; without one there is nothing to select.
    if (!frameRect || n == frameIndex)
        return;
    frameIndex = n;
    setSourceRect(wrap32(frameRect->x + static_cast<long long>(n) * frameStepX),
                  wrap32(frameRect->y + static_cast<long long>(n) * frameStepY), frameRect->width, frameRect->height);
    setDirty(true);
}

void Sprite::nextFrame()
{
    int candidate = frameDirection == Forward ? frameIndex + 1 : frameIndex - 1;
    if (candidate >= frameCount) {
        if (frameWrap == WrapBounce) {
            candidate -= 2;
            frameDirection = frameDirection == Forward ? Backward : Forward;
        } else if (frameWrap == WrapLoop) {
            candidate = 0;
        }
    } else if (candidate < 0) {
        if (frameWrap == WrapBounce) {
            candidate += 2;
            frameDirection = frameDirection == Forward ? Backward : Forward;
        } else if (frameWrap == WrapLoop) {
            candidate = frameCount - 1;
        }
    }
    if (candidate < 0 || candidate >= frameCount)
        candidate = 0;
    setFrame(candidate);
}

void Sprite::setFrameCount(int n)
{
    // A count below one has no frame height; the image stays as it is.
    if (n < 1)
        return;
    const int frameHeight = bounds.height / n;
    setHeight(frameHeight);
    frameCount = n;
    frameWrap = WrapLoop;
    setFrameRect(0, 0, bounds.width, frameHeight);
    frameStepX = 0;
    frameStepY = frameHeight;
    setFrame(0);
}

void Sprite::addModifier(Modifier* modifier)
{
    if (!modifier)
        return;
    modifier->setSprite(this);
    modifier->addRef();
    modifiers.push_back(modifier);
}

void Sprite::removeModifier(Modifier* modifier)
{
    int found = 0;
    for (auto it = modifiers.begin(); it != modifiers.end();) {
        if (*it == modifier) {
            it = modifiers.erase(it);
            ++found;
        } else {
            ++it;
        }
    }
    setDirty(true);
    while (found-- > 0)
        modifier->release();
}

const FrameRate& Sprite::getFrameRate() const
{
    static const FrameRate still(50.0f);
    return canvas ? canvas->getFrameRate() : still;
}
