#include "toolkit/component/InteractiveComponent.h"

InteractiveComponent::InteractiveComponent(float x, float y, int width, int height)
    : VisualComponent(x, y, width, height)
{
}

InteractiveComponent::~InteractiveComponent()
{
    if (isRegistered())
        unregisterInput();
}
