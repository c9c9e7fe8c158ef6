#include "platform/surface/Surface.h"

Surface::Surface(const SurfaceDesc& desc) : description(desc)
{
    description.computePitch(); // other depths keep the pitch they came with
}
