// PNG through libpng: palette and grey images decode to 8 bits with a palette, colour images to 32
// bits (blue, green, red, alpha or filler). Library errors come back to us before we raise them.
#pragma once

#include "platform/image/decode/PLImageDecoder.h"

class PLPngReader : public PLImageDecoder {
public:
    void decode(PLBitmap& bmp, PLSource& source) override;
};
