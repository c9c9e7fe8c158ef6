#include "toolkit/component/VisualComponent.h"

#include "platform/raster/Fill.h"
#include "platform/surface/Surface.h"

namespace {

int anchorOffsetFor(int mode, int extent, int current)
{
    switch (mode) {
    case VisualComponent::AnchorStart:
        return 0;
    case VisualComponent::AnchorCentre:
        return extent / 2;
    case VisualComponent::AnchorEnd:
        return extent;
    default:
        return current;
    }
}

// Float to int toward zero, held inside the int range (a cast of an out-of-range float is undefined).
int truncate(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.0f)
        return 2147483520;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

} // namespace

VisualComponent::VisualComponent(float x, float y, int width, int height)
{
    setType(TypeVisual);
    setFlag(0, true);
    setBounds(x, y, width, height);
    setAnchor(AnchorStart, AnchorStart);
    setDirty(true);
}

void VisualComponent::setBounds(const RectangleValue& rect)
{
    setPosition(static_cast<float>(rect.x), static_cast<float>(rect.y));
    setSize(rect.width, rect.height);
}

void VisualComponent::setBounds(float x, float y, int width, int height)
{
    setPosition(x, y);
    setSize(width, height);
}

void VisualComponent::setX(float x)
{
    setPosition(x, position.y);
}

void VisualComponent::setY(float y)
{
    setPosition(position.x, y);
}

void VisualComponent::setWidth(int width)
{
    setSize(width, size.height);
}

void VisualComponent::setHeight(int height)
{
    setSize(size.width, height);
}

void VisualComponent::setPosition(const PointValue& point)
{
    setPosition(static_cast<float>(point.x), static_cast<float>(point.y));
}

void VisualComponent::setPosition(float x, float y)
{
    position.x = x;
    position.y = y;
    setDirty(true);
}

void VisualComponent::setSize(int width, int height)
{
    size.width = width;
    size.height = height;
    setDirty(true);
}

void VisualComponent::setSpareA(int value)
{
    spareA = value;
    setDirty(true);
}

void VisualComponent::setSpareB(int value)
{
    spareB = value;
    setDirty(true);
}

int VisualComponent::getAbsoluteX() const
{
    if (!isRelative())
        return truncate(position.x - static_cast<float>(anchorOffset.x));
    // A relative component under a parent without a place sits as if under the screen's corner.
    const auto* owner = dynamic_cast<const VisualComponent*>(getParent());
    const float base = owner ? static_cast<float>(owner->getAbsoluteX()) : 0.0f;
    return truncate(base + position.x - static_cast<float>(anchorOffset.x));
}

int VisualComponent::getAbsoluteY() const
{
    if (!isRelative())
        return truncate(position.y - static_cast<float>(anchorOffset.y));
    const auto* owner = dynamic_cast<const VisualComponent*>(getParent());
    const float base = owner ? static_cast<float>(owner->getAbsoluteY()) : 0.0f;
    return truncate(base + position.y - static_cast<float>(anchorOffset.y));
}

void VisualComponent::setAnchor(int horizontal, int vertical)
{
    anchorOffset.x = anchorOffsetFor(horizontal, size.width, anchorOffset.x);
    anchorOffset.y = anchorOffsetFor(vertical, size.height, anchorOffset.y);
    setDirty(true);
}

bool VisualComponent::contains(int x, int y) const
{
    const long long left = getAbsoluteX(), top = getAbsoluteY();
    return left <= x && x < left + size.width && top <= y && y < top + size.height;
}

bool VisualComponent::passFocus()
{
    if (!isFocused() || !nextFocus)
        return false;
    setFocused(false);
    nextFocus->setFocused(true);
    return true;
}

void VisualComponent::drawBounds(Surface* target)
{
    if (!target)
        return;
    const std::uint32_t red = 0xFF0000;
    drawRect(target, getAbsoluteX(), getAbsoluteY(), size.width, size.height, target->getDesc().format.packPixel(&red));
}

Rect VisualComponent::getTooltipRect()
{
    return Rect(getAbsoluteX(), getAbsoluteY(), size.width, size.height);
}
