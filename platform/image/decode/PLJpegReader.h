// JPEG through libjpeg: grey images decode to 8 bits with a grey palette, colour images to 32 bits
// without alpha (blue, green, red and the library's filler byte 0xFF, decoded straight into the
// lines). Library errors come back to us before we raise them.
#pragma once

#include "platform/image/decode/PLImageDecoder.h"

class PLJpegReader : public PLImageDecoder {
public:
    void decode(PLBitmap& bmp, PLSource& source) override;

    // On by default: plain upsampling is faster and good enough for the game's pictures.
    void setFastUpsampling(bool on) { fastUpsampling = on; }

private:
    bool fastUpsampling = true;
};
