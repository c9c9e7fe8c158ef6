// An operation on a whole bitmap. Subclasses override one of the two forms; each base form is
// written in terms of the other.
#pragma once

#include "platform/image/PLObject.h"

class PLBitmap;

class PLFilter : public PLObject {
public:
    // Filters the bitmap through a temporary copy.
    virtual void apply(PLBitmap& bitmap);
    // Makes target the filtered source.
    virtual void applyInPlace(const PLBitmap& source, PLBitmap& target);
};
