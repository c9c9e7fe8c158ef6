// A visual component that can listen to the keyboard and the mouse. Every handler is empty; the
// component hears nothing until its registerInput is called.
#pragma once

#include "platform/app/InputListener.h"
#include "runtime/values/PointValue.h"
#include "toolkit/component/VisualComponent.h"

#include <cstdint>

class InteractiveComponent : public VisualComponent, public InputListener {
public:
    InteractiveComponent(float x, float y, int width, int height);
    // Leaves the input manager first, so that it never calls a destroyed listener.
    ~InteractiveComponent() override;

protected:
    std::int32_t inputValue = 0;
    PointValue inputPoint;
};
