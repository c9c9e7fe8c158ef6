// What a tooltip manager asks of everything that can have a tooltip (buttons, sliders, containers).
#pragma once

#include "runtime/values/Rect.h"

#include <string>

class TooltipSource {
public:
    virtual ~TooltipSource() = default;

    virtual std::string getTooltip() = 0;
    // The area on screen that shows the tooltip when the pointer rests in it.
    virtual Rect getTooltipRect() = 0;
    virtual bool isTooltipActive() = 0;
    // True makes the renderer rebuild its box at every draw.
    virtual bool isTooltipChanged() = 0;
};
