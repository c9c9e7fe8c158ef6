// A component with a place on the screen: a floating-point anchor point, an integer size, an anchor
// offset per axis that turns the anchor point into the top-left corner, optional placement relative
// to the parent, a hit test, a tooltip and a simple hand-over of the keyboard focus to a next
// component. It draws nothing itself.
#pragma once

#include "platform/app/Component.h"
#include "runtime/values/FloatPoint.h"
#include "runtime/values/PointValue.h"
#include "runtime/values/RectangleValue.h"
#include "toolkit/sprite/TooltipSource.h"

#include <cstdint>
#include <string>

class Surface;

// Width and height of a visual component.
class ComponentSize {
public:
    ComponentSize() = default;
    ComponentSize(const ComponentSize&) = default;
    ComponentSize& operator=(const ComponentSize&) = default;
    virtual ~ComponentSize() = default;

    std::int32_t width = 0;
    std::int32_t height = 0;
};

class VisualComponent : public Component, public TooltipSource {
public:
    // Anchor modes of setAnchor, per axis.
    enum AnchorMode { AnchorStart = 0, AnchorCentre = 1, AnchorEnd = 2 };

    VisualComponent(float x, float y, int width, int height);
    ~VisualComponent() override = default;

    virtual void setBounds(const RectangleValue& rect);
    virtual void setBounds(float x, float y, int width, int height);
    virtual void setX(float x);
    virtual void setY(float y);
    virtual void setWidth(int width);
    virtual void setHeight(int height);
    virtual void setPosition(const PointValue& point);
    virtual void setPosition(float x, float y);
    // The anchor offset is kept: a resized component moves its corner only after setAnchor again.
    virtual void setSize(int width, int height);

    // Two values without a meaning of their own, kept for callers that want to park something.
    virtual void setSpareA(int value);
    virtual void setSpareB(int value);
    virtual int getSpareA() const { return spareA; }
    virtual int getSpareB() const { return spareB; }

    // Top-left corner on the screen: the anchor point minus the anchor offset, plus the parent's
    // corner when relative; truncated toward zero.
    virtual int getAbsoluteX() const;
    virtual int getAbsoluteY() const;
    virtual bool isRelative() const { return relative != 0; }
    virtual void setRelative(bool b) { relative = b ? 1 : 0; }
    // Offset per axis from the current size: 0 none, 1 half (truncated), 2 whole; any other mode
    // leaves that axis alone. The modes are not remembered.
    virtual void setAnchor(int horizontal, int vertical);
    virtual bool contains(int x, int y) const;

    virtual void setNextFocus(VisualComponent* component) { nextFocus = component; }
    virtual VisualComponent* getNextFocus() const { return nextFocus; }
    virtual void setFocused(bool b) { focused = b ? 1 : 0; }
    virtual bool isFocused() const { return focused != 0; }
    // Moves the focus from this component to its next one; false (and nothing changes) unless this
    // one is focused and has a next one.
    virtual bool passFocus();

    // Outlines the absolute bounds in red: a debugging aid.
    virtual void drawBounds(Surface* target);
    virtual void setTooltip(const std::string& text) { tooltip = text; }

    std::string getTooltip() override { return tooltip; }
    Rect getTooltipRect() override;
    bool isTooltipActive() override { return isActive(); }
    bool isTooltipChanged() override { return false; }

    float getX() const { return position.x; }
    float getY() const { return position.y; }
    int getWidth() const { return size.width; }
    int getHeight() const { return size.height; }
    const PointValue& getAnchorOffset() const { return anchorOffset; }

protected:
    FloatPoint position;
    ComponentSize size;
    PointValue anchorOffset;
    std::int32_t spareA = 0;
    std::int32_t spareB = 0;
    std::int32_t relative = 0;
    std::int32_t focused = 0;
    VisualComponent* nextFocus = nullptr;
    std::string tooltip;
};
