// The layout of a native pixel: where each channel lives and how many of its 8 bits survive.
#pragma once

#include <cstdint>

class PixelFormat {
public:
    // Format codes on which the rasteriser dispatches.
    enum Code : std::int32_t {
        Rgb555 = 0,
        Rgb565 = 1,
        Other16 = 2,
        Bits24 = 3,
        Bits32 = 4,
        OtherDepth = 5,
    };

    PixelFormat() = default;
    PixelFormat(const PixelFormat&) = default;
    PixelFormat& operator=(const PixelFormat&) = default;
    virtual ~PixelFormat() = default;

    // Stores the masks and depth, derives every channel's loss and shift and the format code, and
    // returns the code.
    std::int32_t set(std::uint32_t alpha, std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                     std::uint32_t bits);

    // 0xAARRGGBB -> native pixel.
    std::uint32_t packPixel(const std::uint32_t* colour) const;
    // Separate 8-bit channels -> native pixel, stored in *result.
    void packPixelChannels(const std::uint32_t* alpha, const std::uint32_t* red, const std::uint32_t* green,
                           const std::uint32_t* blue, std::uint32_t* result) const;
    // Native pixel -> 0xAARRGGBB; a channel narrower than 8 bits comes back with zero low bits.
    std::uint32_t unpackPixel(const std::uint32_t* pixel) const;

    std::uint32_t alphaMask = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::int32_t alphaLoss = 0;
    std::int32_t redLoss = 0;
    std::int32_t greenLoss = 0;
    std::int32_t blueLoss = 0;
    std::int32_t alphaShift = 0;
    std::int32_t redShift = 0;
    std::int32_t greenShift = 0;
    std::int32_t blueShift = 0;
    std::int32_t formatCode = OtherDepth;
    std::uint32_t bitsPerPixel = 0;
};
