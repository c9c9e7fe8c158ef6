#include "platform/surface/PixelFormat.h"

namespace {

// Shift counts come from masks and are taken modulo 32, so no mask can make a shift undefined.
std::uint32_t placeChannel(std::uint32_t value, std::int32_t loss, std::int32_t shift, std::uint32_t mask)
{
    return ((value >> (static_cast<std::uint32_t>(loss) & 31u)) << (static_cast<std::uint32_t>(shift) & 31u)) & mask;
}

std::uint32_t extractChannel(std::uint32_t pixel, std::int32_t shift, std::int32_t loss)
{
    return (pixel >> (static_cast<std::uint32_t>(shift) & 31u)) << (static_cast<std::uint32_t>(loss) & 31u);
}

// The loss counts every bit from the lowest to the highest set bit of the mask, gaps included.
void deriveChannel(std::uint32_t mask, std::int32_t& loss, std::int32_t& shift)
{
    loss = 8;
    shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        ++shift;
        mask >>= 1;
    }
    while (mask != 0) {
        --loss;
        mask >>= 1;
    }
}

} // namespace

std::int32_t PixelFormat::set(std::uint32_t alpha, std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                              std::uint32_t bits)
{
    alphaMask = alpha;
    redMask = red;
    greenMask = green;
    blueMask = blue;
    bitsPerPixel = bits;
    deriveChannel(alphaMask, alphaLoss, alphaShift);
    deriveChannel(redMask, redLoss, redShift);
    deriveChannel(greenMask, greenLoss, greenShift);
    deriveChannel(blueMask, blueLoss, blueShift);

    if (bits == 32)
        formatCode = Bits32;
    else if (bits == 24)
        formatCode = Bits24;
    else if (bits != 16)
        formatCode = OtherDepth;
    else if (red == 0xF800 && green == 0x07E0 && blue == 0x001F)
        formatCode = Rgb565;
    else if (red == 0x7C00 && green == 0x03E0 && blue == 0x001F)
        formatCode = Rgb555;
    else
        formatCode = Other16;
    return formatCode;
}

std::uint32_t PixelFormat::packPixel(const std::uint32_t* colour) const
{
    const std::uint32_t c = *colour;
    return placeChannel(c >> 24, alphaLoss, alphaShift, alphaMask)
        | placeChannel((c >> 16) & 0xFFu, redLoss, redShift, redMask)
        | placeChannel((c >> 8) & 0xFFu, greenLoss, greenShift, greenMask)
        | placeChannel(c & 0xFFu, blueLoss, blueShift, blueMask);
}

void PixelFormat::packPixelChannels(const std::uint32_t* alpha, const std::uint32_t* red, const std::uint32_t* green,
                                    const std::uint32_t* blue, std::uint32_t* result) const
{
    *result = placeChannel(*alpha, alphaLoss, alphaShift, alphaMask) | placeChannel(*red, redLoss, redShift, redMask)
        | placeChannel(*green, greenLoss, greenShift, greenMask) | placeChannel(*blue, blueLoss, blueShift, blueMask);
}

std::uint32_t PixelFormat::unpackPixel(const std::uint32_t* pixel) const
{
    const std::uint32_t p = *pixel;
    const std::uint32_t alpha = extractChannel(p, alphaShift, alphaLoss);
    const std::uint32_t red = extractChannel(p, redShift, redLoss) & 0xFFu;
    const std::uint32_t green = extractChannel(p, greenShift, greenLoss) & 0xFFu;
    const std::uint32_t blue = extractChannel(p, blueShift, blueLoss) & 0xFFu;
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}
