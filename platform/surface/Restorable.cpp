#include "platform/surface/Restorable.h"

#include "platform/surface/FrameCounter.h"

void Restorable::check()
{
    std::uint32_t now = frame::current();
    if (restoredFrame == now)
        return;
    restoredFrame = now;
    restoreLost();
}
