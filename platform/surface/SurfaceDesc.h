// What a surface is: its size, line pitch, pixel format, optional colour key, memory type and kind.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "platform/surface/PixelFormat.h"

#include <cstdint>
#include <memory>

class SurfaceDesc {
public:
    enum MemoryType : std::uint32_t { SystemMemory = 1, VideoMemory = 2 };
    enum Kind : std::uint32_t { Unset = 0, MemoryKind = 1, DirectDrawKind = 2 };

    SurfaceDesc() = default;
    // The copy owns a colour-key cell of its own, repacked under the copied format.
    SurfaceDesc(const SurfaceDesc& other);
    SurfaceDesc& operator=(const SurfaceDesc& other);
    virtual ~SurfaceDesc() = default;

    // colour (0xAARRGGBB) or null to remove the key.
    virtual void setColorKey(const std::uint32_t* colour);
    virtual void setColorKeyValue(std::uint32_t colour);
    // Back to the empty description (the format becomes all zeros).
    virtual void reset();

    // Pitch of a tightly packed 16- or 32-bit surface; E_FAIL for an empty size or any other depth.
    HRESULT computePitch();
    // Size, pitch and pixel format as DirectDraw reports them; memory type, kind and key stay.
    HRESULT updateFromDDSD(const DDSURFACEDESC2& ddsd);

    bool hasColorKey() const { return colorKey != nullptr; }
    bool usesVideoMemory() const { return (memoryType & VideoMemory) != 0; }

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PixelFormat format;
    std::int32_t pitch = 0;
    std::uint32_t memoryType = 0;
    std::unique_ptr<std::uint32_t> colorKey;
    std::uint32_t nativeColorKey = 0;
    std::uint32_t kind = Unset;
};
