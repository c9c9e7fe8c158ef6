// Decodes arbitrary bytes with the automatic image decoder, as the game decodes a file it was given.
// Small results also go through the depth conversions and the quantizer.
#include <cstddef>
#include <cstdint>

#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/bitmap/PLMemBitmap.h"
#include "platform/image/PLTextException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x7FFFFFFF)
        return 0;
    PLAutoDecoder decoder;
    PLDibBitmap bmp;
    try {
        decoder.makeBmpFromMemory(data, static_cast<int>(size), bmp);
        if (bmp.getWidth() * bmp.getHeight() <= 4096) {
            PLMemBitmap converted;
            converted.createCopy(bmp, 32);
            converted.createCopy(converted, 8);
        }
    } catch (const PLTextException&) {
    }
    return 0;
}
