#include "platform/image/filter/PLFilter.h"

#include "platform/image/bitmap/PLMemBitmap.h"

void PLFilter::apply(PLBitmap& bitmap)
{
    PLMemBitmap result;
    applyInPlace(bitmap, result);
    bitmap = result;
}

void PLFilter::applyInPlace(const PLBitmap& source, PLBitmap& target)
{
    target = source;
    apply(target);
}
