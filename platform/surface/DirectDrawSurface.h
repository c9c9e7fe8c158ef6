// A surface over a DirectDraw surface: the display's buffers, decoded images, label and canvas
// buffers. Rebuilt in the display's current format after the display was lost or changed depth.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "platform/surface/Surface.h"

#include <cstdint>
#include <memory>

class DirectDrawSurface : public Surface {
public:
    // Creates a DirectDraw surface for the description; a failure leaves the object without an
    // interface (see creationResult()); running out of memory throws GameTextException.
    DirectDrawSurface(IDirectDraw4* directDraw, const SurfaceDesc& desc);
    // Wraps a surface made elsewhere (the display's primary and back buffers); adds a reference.
    explicit DirectDrawSurface(IDirectDrawSurface4* existing);
    ~DirectDrawSurface() override;

    void* pixels() override;
    HRESULT lock() override;
    HRESULT lockToOverwrite() override;
    void unlock() override;
    HRESULT restore() override;
    HRESULT recreate() override;
    HRESULT fill(std::uint32_t value) override;
    void setColorKey(const std::uint32_t* colour) override;
    void setColorKeyValue(std::uint32_t colour) override;

    // Rebuilds the surface when it was lost or is left in an old display depth.
    void restoreLost() override;

    HRESULT create(IDirectDraw4* directDraw);
    HRESULT refreshDesc();

    // null when DirectDraw refused the surface.
    IDirectDrawSurface4* getInterface() const { return surface; }
    HRESULT creationResult() const { return createResult; }

private:
    void freshDDSD();

    IDirectDrawSurface4* surface = nullptr;
    std::unique_ptr<DDSURFACEDESC2> ddsd;
    HRESULT createResult = S_OK;
};

// The display's current bits per pixel; 0 when DirectDraw cannot tell.
std::uint32_t getDisplayBitDepth(IDirectDraw4* directDraw);
