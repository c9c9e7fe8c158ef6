// Every image the game draws lives in a SurfaceHolder. It has a surface in the display's format that
// is drawn, and its A8R8G8B8 source that is never drawn, so that the surface can be rebuilt and filled
// again whenever the display is lost. A picture loaded from disk keeps its source as the file: the
// source decodes it again when it is read (after a lost display), instead of holding a second copy of
// every picture all the time. An optional 8-bit mask map gives the picture per-pixel coverage.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "platform/surface/Restorable.h"
#include "runtime/RefCounted.h"

#include <cstdint>
#include <memory>
#include <string>

class Archive;
class MemorySurface;
class Surface;
class SurfaceDesc;

// How blitSurface draws a holder.
class BlitOptions {
public:
    enum : std::uint32_t {
        BlendMask = 4,  // blend through the holder's mask map
        BlendAlpha = 8, // blend with the constant alpha
    };

    BlitOptions() = default;
    virtual ~BlitOptions() = default;

    std::uint32_t flags = 0;
    std::uint8_t alpha = 0; // read only with BlendAlpha
};

class SurfaceHolder : public RefCounted, public Restorable {
public:
    SurfaceHolder();
    ~SurfaceHolder() override;
    SurfaceHolder(const SurfaceHolder&) = delete;
    SurfaceHolder& operator=(const SurfaceHolder&) = delete;

    // Decodes the file (from the archive when it holds it, else from disk) into the source and builds
    // the surface from it in `desc`'s format. E_FAIL when the file does not decode. From disk, the
    // source is the file itself, decoded again only when the surface must be rebuilt; when `desc` asks
    // for the display's format and that is 32-bit, the picture is decoded straight into the surface,
    // which then holds what the converting copy would have drawn.
    virtual HRESULT loadFromArchiveOrFile(IDirectDraw4* directDraw, Archive* archive, const std::string& fileName,
                                          const SurfaceDesc& desc);
    virtual HRESULT loadFromFile(IDirectDraw4* directDraw, const std::string& fileName, const SurfaceDesc& desc);

    // Each set* releases the old object and holds the new one (or none).
    virtual HRESULT setSurface(Surface* newSurface);
    // A new surface of the description; the result is DirectDraw's answer to its creation.
    virtual HRESULT createSurface(IDirectDraw4* directDraw, const SurfaceDesc& desc);
    // A surface of the description in the source's size, with the source copied in.
    virtual HRESULT buildFromSource(IDirectDraw4* directDraw, const SurfaceDesc& desc);
    virtual HRESULT setSource(Surface* newSource);
    virtual HRESULT createSource(IDirectDraw4* directDraw, const SurfaceDesc& desc);
    virtual HRESULT setMask(MemorySurface* newMask);
    // A mask map of 8 by 8 squares at half and quarter strength, in the surface's size.
    virtual HRESULT makeCheckerMask();
    // Rebuilds the surface in the display's current format and copies the source in again.
    virtual HRESULT recreate();
    // DirectDraw's own restore of the surface's and the source's memory.
    virtual HRESULT restoreSurfaces();
    // Converts the source into the surface's format; E_FAIL unless both exist.
    virtual HRESULT copySourceToSurface();

    // The surface's own repair, then the source copied in again.
    void restoreLost() override;

    Surface* getSurface() const { return surface; }
    Surface* getSource() const { return source; }
    MemorySurface* getMask() const { return mask; }
    BlitOptions* getOptions() const { return options.get(); }

private:
    std::unique_ptr<BlitOptions> options;
    Surface* surface = nullptr;
    Surface* source = nullptr;
    MemorySurface* mask = nullptr;
};
