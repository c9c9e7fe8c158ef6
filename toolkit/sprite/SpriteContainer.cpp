#include "toolkit/sprite/SpriteContainer.h"

#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>

const ClassRecord SpriteContainer::classRecord("SpriteContainer", nullptr);

namespace {

// Toward zero, held inside the 32-bit range (a float outside it has no integer value).
int truncate(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0f)
        return 2147483647;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

} // namespace

SpriteContainer::SpriteContainer()
{
    resetReference();
}

SpriteContainer::SpriteContainer(int x, int y, int width, int height, int left, int right, int top, int bottom,
                                 int gapH, int gapV)
    : Sprite(x, y, width, height), marginLeft(left), marginRight(right), marginTop(top), marginBottom(bottom),
      gapH(gapH), gapV(gapV)
{
    resetReference();
}

SpriteContainer::~SpriteContainer()
{
    std::vector<Sprite*> held;
    held.swap(children);
    for (Sprite* child : held)
        child->release();
}

bool SpriteContainer::adopt(Sprite* child)
{
    if (!child || child == this)
        return false;
    child->addStateFlags(StateRelative);
    child->setParent(this);
    child->addRef();
    children.push_back(child);
    if (canvas && hasStateFlags(StateOnCanvas))
        canvas->addSpriteAfter(child, this);
    return true;
}

void SpriteContainer::addChildRelativeTo(Sprite* child, Sprite* reference, int mode)
{
    if (reference)
        takeChildAsReference(reference);
    addChild(child, mode);
}

void SpriteContainer::addChild(Sprite* child, int mode)
{
    if (!adopt(child))
        return;
    const float rx = referenceX;
    const float ry = referenceY;
    const float rw = referenceWidth;
    const float rh = referenceHeight;
    const float gh = static_cast<float>(gapH);
    const float gv = static_cast<float>(gapV);
    const float w = static_cast<float>(child->getWidth());
    const float h = static_cast<float>(child->getHeight());
    float x = 0.0f;
    float y = 0.0f;
    switch (mode) {
    case PlaceAsIs: x = static_cast<float>(child->getX()); y = static_cast<float>(child->getY()); break;
    case PlaceOnCorner: x = rx; y = ry; break;
    case PlaceRightTop: x = rx + rw + gh; y = ry; break;
    case PlaceRightMiddle: x = rx + rw + gh; y = ry + (rh - h) / 2.0f; break;
    case PlaceRightBottom: x = rx + rw + gh; y = ry + rh - h; break;
    case PlaceLeftTop: x = rx - w - gh; y = ry; break;
    case PlaceLeftMiddle: x = rx - w - gh; y = ry + (rh - h) / 2.0f; break;
    case PlaceLeftBottom: x = rx - w - gh; y = ry + rh - h; break;
    case PlaceBelowLeft: x = rx; y = ry + rh + gv; break;
    case PlaceBelowCenter: x = rx + (rw - w) / 2.0f; y = ry + rh + gv; break;
    case PlaceBelowRight: x = rx + rw - w; y = ry + rh + gv; break;
    case PlaceAboveLeft: x = rx; y = ry - h - gv; break;
    case PlaceAboveCenter: x = rx + (rw - w) / 2.0f; y = ry - h - gv; break;
    case PlaceAboveRight: x = rx + rw - w; y = ry - h - gv; break;
    default: break;
    }
    child->setPosition(truncate(x), truncate(y));
    takeChildAsReference(child);
}

void SpriteContainer::addChildAsIs(Sprite* child)
{
    if (adopt(child))
        takeChildAsReference(child);
}

void SpriteContainer::fitChildWidth(Sprite* child)
{
    if (!child)
        return;
    child->setX(marginLeft);
    child->setWidth(getWidth() - marginLeft - marginRight);
}

bool SpriteContainer::childExtent(float& minX, float& minY, float& maxRight, float& maxBottom) const
{
    if (children.empty())
        return false;
    minX = 99999.0f;
    minY = 99999.0f;
    maxRight = -99999.0f;
    maxBottom = -99999.0f;
    for (const Sprite* child : children) {
        const float x = static_cast<float>(child->getX());
        const float y = static_cast<float>(child->getY());
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxRight = std::max(maxRight, x + static_cast<float>(child->getWidth()));
        maxBottom = std::max(maxBottom, y + static_cast<float>(child->getHeight()));
    }
    return true;
}

void SpriteContainer::fitSizeToChildren()
{
    float minX, minY, maxRight, maxBottom;
    if (!childExtent(minX, minY, maxRight, maxBottom))
        return;
    setSize(truncate(static_cast<float>(marginLeft) + (maxRight - minX) + static_cast<float>(marginRight)),
            truncate(static_cast<float>(marginTop) + (maxBottom - minY) + static_cast<float>(marginBottom)));
    for (Sprite* child : children)
        child->setPosition(truncate(static_cast<float>(child->getX()) - minX + static_cast<float>(marginLeft)),
                           truncate(static_cast<float>(child->getY()) - minY + static_cast<float>(marginTop)));
}

void SpriteContainer::fitWidthToChildren()
{
    float minX, minY, maxRight, maxBottom;
    if (!childExtent(minX, minY, maxRight, maxBottom))
        return;
    setWidth(truncate(static_cast<float>(marginLeft) + (maxRight - minX) + static_cast<float>(marginRight)));
    for (Sprite* child : children)
        child->setX(truncate(static_cast<float>(child->getX()) - minX + static_cast<float>(marginLeft)));
}

void SpriteContainer::fitHeightToChildren()
{
    float minX, minY, maxRight, maxBottom;
    if (!childExtent(minX, minY, maxRight, maxBottom))
        return;
    float height = static_cast<float>(marginTop) + (maxBottom - minY) + static_cast<float>(marginBottom);
    if (extraHeight)
        height += static_cast<float>(ExtraHeight);
    setHeight(truncate(height));
    for (Sprite* child : children)
        child->setY(truncate(static_cast<float>(child->getY()) - minY + static_cast<float>(marginTop)));
}

void SpriteContainer::setReferenceBox(float x, float y, float w, float h)
{
    setReferencePosition(x, y);
    setReferenceSize(w, h);
}

void SpriteContainer::takeChildAsReference(Sprite* sprite)
{
    if (!sprite)
        return;
    referenceX = static_cast<float>(sprite->getX());
    referenceY = static_cast<float>(sprite->getY());
    referenceWidth = static_cast<float>(sprite->getWidth());
    referenceHeight = static_cast<float>(sprite->getHeight());
}

void SpriteContainer::moveReference(float dx, float dy)
{
    referenceX += dx;
    referenceY += dy;
}

void SpriteContainer::setReferencePosition(float x, float y)
{
    referenceX = x;
    referenceY = y;
}

void SpriteContainer::setReferenceSize(float w, float h)
{
    referenceWidth = w;
    referenceHeight = h;
}

void SpriteContainer::resetReference()
{
    referenceX = static_cast<float>(marginLeft);
    referenceY = static_cast<float>(marginTop);
    referenceWidth = static_cast<float>(getWidth() - marginLeft - marginRight);
    referenceHeight = 0.0f;
}

void SpriteContainer::onAddedToCanvas()
{
    addStateFlags(StateOnCanvas);
    if (!canvas)
        return;
    // Each child goes right after the container, the last first, so they end up in child order.
    const std::vector<Sprite*> listed(children);
    for (auto it = listed.rbegin(); it != listed.rend(); ++it)
        canvas->addSpriteAfter(*it, this);
}

void SpriteContainer::tick()
{
    bool dropped = true;
    while (dropped) {
        dropped = false;
        for (auto it = children.begin(); it != children.end(); ++it) {
            if ((*it)->isObsolete()) {
                Sprite* child = *it;
                children.erase(it);
                child->release();
                dropped = true;
                break;
            }
        }
    }
}

void SpriteContainer::setObsolete(bool obsolete)
{
    Sprite::setObsolete(obsolete);
    const std::vector<Sprite*> listed(children);
    for (Sprite* child : listed) {
        child->setParent(obsolete ? nullptr : this);
        child->setObsolete(obsolete);
    }
}

void SpriteContainer::setEnabled(bool enabled)
{
    Sprite::setEnabled(enabled);
    for (Sprite* child : children)
        child->setEnabled(enabled);
}

void SpriteContainer::setVisible(bool visible)
{
    Sprite::setVisible(visible);
    for (Sprite* child : children)
        child->setVisible(visible);
}

Rect SpriteContainer::getTooltipRect()
{
    return Rect(getAbsoluteX(), getAbsoluteY(), getWidth(), getHeight());
}
