#include "platform/surface/Restorable.h"

#include "platform/surface/FrameCounter.h"

Restorable::Restorable() : restoredDisplay(frame::display()) {}

void Restorable::check()
{
    const std::uint32_t now = frame::current();
    const std::uint32_t shown = frame::display();
    if (restoredFrame == now && restoredDisplay == shown)
        return;
    restoredFrame = now;
    restoredDisplay = shown;
    restoreLost();
}
