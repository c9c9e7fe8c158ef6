// What a tooltip manager asks of the box that shows a tooltip: the source whose text to show (none hides
// it), the pointer position near which to show it, and a way to come to the top of the drawing order.
#pragma once

#include "toolkit/sprite/XMLSprite.h"

class TooltipSource;

class ToolTipSpriteRendererAbstract : public XMLSprite {
public:
    static const ClassRecord classRecord;

    unsigned instanceSize() override { return sizeof(ToolTipSpriteRendererAbstract); }
    const ClassRecord* getClass() const override { return &classRecord; }

    virtual void setSource(TooltipSource* source) = 0;
    // The pointer position, not the box's: the box places itself near it when it is rebuilt. (Moving
    // the sprite itself goes through setX and setY.)
    void setPosition(int pointerX, int pointerY) override = 0;
    virtual void bringToFront() = 0;
};
