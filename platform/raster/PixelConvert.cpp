#include "platform/raster/PixelConvert.h"

#include "platform/raster/PixelMath.h"

namespace raster {
namespace {

// Shift counts are taken modulo 32, as the format's own packing does, so no mask makes one undefined.
std::uint32_t unpackChannel(std::uint32_t pixel, std::int32_t shift, std::int32_t loss)
{
    return ((pixel >> (static_cast<std::uint32_t>(shift) & 31u)) << (static_cast<std::uint32_t>(loss) & 31u)) & 0xFFu;
}

// When every channel of `to` either has the same bits as in `from` or is missing in one of the two
// formats, converting a pixel keeps the shared channels' bits and clears the rest: the bits to keep.
// 0 when some channel moves or changes width, and pixels must be converted one by one.
std::uint32_t sharedChannelBits(const PixelFormat& from, const PixelFormat& to)
{
    const std::uint32_t fromMasks[4] = {from.alphaMask, from.redMask, from.greenMask, from.blueMask};
    const std::uint32_t toMasks[4] = {to.alphaMask, to.redMask, to.greenMask, to.blueMask};
    const std::int32_t losses[4] = {to.alphaLoss, to.redLoss, to.greenLoss, to.blueLoss};
    std::uint32_t keep = 0;
    for (int c = 0; c < 4; ++c) {
        if (fromMasks[c] == toMasks[c] && losses[c] >= 0 && losses[c] <= 8)
            keep |= toMasks[c];
        else if (fromMasks[c] != 0 && toMasks[c] != 0)
            return 0;
    }
    return keep;
}

}  // namespace

std::uint32_t convertPixel(const PixelFormat& from, const PixelFormat& to, std::uint32_t pixel)
{
    const std::uint32_t alpha = unpackChannel(pixel, from.alphaShift, from.alphaLoss);
    const std::uint32_t red = unpackChannel(pixel, from.redShift, from.redLoss);
    const std::uint32_t green = unpackChannel(pixel, from.greenShift, from.greenLoss);
    const std::uint32_t blue = unpackChannel(pixel, from.blueShift, from.blueLoss);
    std::uint32_t result = 0;
    to.packPixelChannels(&alpha, &red, &green, &blue, &result);
    return result;
}

void convertRows(const PixelFormat& from, const std::uint8_t* src, std::ptrdiff_t srcPitch, const PixelFormat& to,
                 std::uint8_t* dst, std::ptrdiff_t dstPitch, int width, int height)
{
    const bool wideSrc = from.bitsPerPixel == 32;
    const bool wideDst = to.bitsPerPixel == 32;
    // The common case, a decoded A8R8G8B8 image copied into an X8R8G8B8 display, is a masked copy.
    if (wideSrc && wideDst) {
        if (const std::uint32_t keep = sharedChannelBits(from, to)) {
            for (int y = 0; y < height; ++y, src += srcPitch, dst += dstPitch)
                for (int x = 0; x < width; ++x)
                    store32(dst + 4 * x, load32(src + 4 * x) & keep);
            return;
        }
    }
    for (int y = 0; y < height; ++y, src += srcPitch, dst += dstPitch)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = convertPixel(from, to, wideSrc ? load32(src + 4 * x) : load16(src + 2 * x));
            if (wideDst)
                store32(dst + 4 * x, p);
            else
                store16(dst + 2 * x, p);
        }
}

}  // namespace raster
