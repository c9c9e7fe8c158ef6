#include "platform/surface/SurfaceDesc.h"

SurfaceDesc::SurfaceDesc(const SurfaceDesc& other)
    : width(other.width), height(other.height), format(other.format), pitch(other.pitch),
      memoryType(other.memoryType), kind(other.kind)
{
    setColorKey(other.colorKey.get());
}

SurfaceDesc& SurfaceDesc::operator=(const SurfaceDesc& other)
{
    if (this != &other) {
        width = other.width;
        height = other.height;
        format = other.format;
        pitch = other.pitch;
        memoryType = other.memoryType;
        kind = other.kind;
        setColorKey(other.colorKey.get());
    }
    return *this;
}

void SurfaceDesc::setColorKey(const std::uint32_t* colour)
{
    if (colour == nullptr) {
        colorKey.reset();
        nativeColorKey = 0;
        return;
    }
    const std::uint32_t value = *colour; // the colour may live in our own cell
    if (!colorKey)
        colorKey = std::make_unique<std::uint32_t>(value);
    else
        *colorKey = value;
    nativeColorKey = format.packPixel(&value);
}

void SurfaceDesc::setColorKeyValue(std::uint32_t colour)
{
    setColorKey(&colour);
}

void SurfaceDesc::reset()
{
    width = 0;
    height = 0;
    pitch = 0;
    memoryType = 0;
    kind = Unset;
    setColorKey(nullptr);
    format.set(0, 0, 0, 0, 0);
}

HRESULT SurfaceDesc::computePitch()
{
    if (width == 0 || height == 0)
        return E_FAIL;
    if (format.bitsPerPixel == 16)
        pitch = static_cast<std::int32_t>(width * 2);
    else if (format.bitsPerPixel == 32)
        pitch = static_cast<std::int32_t>(width * 4);
    else
        return E_FAIL;
    return S_OK;
}

HRESULT SurfaceDesc::updateFromDDSD(const DDSURFACEDESC2& ddsd)
{
    width = ddsd.dwWidth;
    height = ddsd.dwHeight;
    pitch = ddsd.lPitch;
    const DDPIXELFORMAT& pf = ddsd.ddpfPixelFormat;
    const DWORD bits = pf.dwRGBBitCount;
    format.set(pf.dwRGBAlphaBitMask, pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask,
               (bits == 8 || bits == 16 || bits == 24 || bits == 32) ? bits : 0);
    return S_OK;
}
