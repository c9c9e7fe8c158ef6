#include "platform/surface/SurfaceHolder.h"

#include "platform/surface/ImageLoader.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/raster/Convert.h"

namespace {

// Holds `value` (one reference) in `field` in place of what it held before.
template <class T>
void hold(T*& field, T* value)
{
    if (value)
        value->addRef();
    if (field)
        field->release();
    field = value;
}

// DirectDraw's answer to the creation of a new surface; E_OUTOFMEMORY when there is no object at all.
HRESULT creationResult(DirectDrawSurface* surface)
{
    if (!surface)
        return E_OUTOFMEMORY;
    if (surface->getInterface())
        return S_OK;
    return FAILED(surface->creationResult()) ? surface->creationResult() : E_FAIL;
}

// Whether the surface's pixels can be reached now.
HRESULT lockable(Surface* surface)
{
    HRESULT result = surface->lock();
    if (SUCCEEDED(result))
        surface->unlock();
    return result;
}

} // namespace

SurfaceHolder::SurfaceHolder() : options(new BlitOptions) {}

SurfaceHolder::~SurfaceHolder()
{
    setSurface(nullptr);
    setSource(nullptr);
    setMask(nullptr);
}

HRESULT SurfaceHolder::loadFromArchiveOrFile(IDirectDraw4* directDraw, Archive* archive, const std::string& fileName,
                                             const SurfaceDesc& desc)
{
    SurfaceDesc sourceDesc = sourceImageDesc();
    DirectDrawSurface* picture = loadImageFromArchiveOrFile(directDraw, archive, fileName, sourceDesc);
    if (!picture)
        return E_FAIL;
    setSource(picture);
    return buildFromSource(directDraw, desc);
}

HRESULT SurfaceHolder::loadFromFile(IDirectDraw4* directDraw, const std::string& fileName, const SurfaceDesc& desc)
{
    SurfaceDesc sourceDesc = sourceImageDesc();
    DirectDrawSurface* picture = decodeImageFromFile(directDraw, fileName, sourceDesc);
    if (!picture)
        return E_FAIL;
    setSource(picture);
    return buildFromSource(directDraw, desc);
}

HRESULT SurfaceHolder::setSurface(Surface* newSurface)
{
    hold(surface, newSurface);
    return S_OK;
}

HRESULT SurfaceHolder::createSurface(IDirectDraw4* directDraw, const SurfaceDesc& desc)
{
    setSurface(nullptr);
    DirectDrawSurface* created = createDirectDrawSurfaceFromDesc(directDraw, desc);
    setSurface(created);
    return creationResult(created);
}

HRESULT SurfaceHolder::buildFromSource(IDirectDraw4* directDraw, const SurfaceDesc& desc)
{
    if (!source)
        return E_FAIL;
    SurfaceDesc sized(desc);
    sized.width = source->getDesc().width;
    sized.height = source->getDesc().height;
    HRESULT result = createSurface(directDraw, sized);
    if (FAILED(result))
        return result;
    return copySourceToSurface();
}

HRESULT SurfaceHolder::setSource(Surface* newSource)
{
    hold(source, newSource);
    return S_OK;
}

HRESULT SurfaceHolder::createSource(IDirectDraw4* directDraw, const SurfaceDesc& desc)
{
    setSource(nullptr);
    DirectDrawSurface* created = createDirectDrawSurfaceFromDesc(directDraw, desc);
    setSource(created);
    return creationResult(created);
}

HRESULT SurfaceHolder::setMask(MemorySurface* newMask)
{
    hold(mask, newMask);
    return S_OK;
}

HRESULT SurfaceHolder::makeCheckerMask()
{
    setMask(nullptr);
    std::uint32_t width = surface ? surface->getDesc().width : 0;
    std::uint32_t height = surface ? surface->getDesc().height : 0;
    MemorySurface* checker = createMemorySurface(width, height);
    if (!checker)
        return S_OK;
    if (auto* bytes = static_cast<std::uint8_t*>(checker->pixels())) {
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x)
                *bytes++ = ((x >> 3) & 1) == ((y >> 3) & 1) ? 0x80 : 0x40;
    }
    setMask(checker);
    return S_OK;
}

HRESULT SurfaceHolder::recreate()
{
    if (surface) {
        HRESULT result = surface->recreate();
        if (FAILED(result))
            return result;
    }
    if (source) {
        HRESULT result = copySourceToSurface();
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

HRESULT SurfaceHolder::restoreSurfaces()
{
    HRESULT surfaceResult = surface ? surface->restore() : S_OK;
    HRESULT sourceResult = source ? source->restore() : S_OK;
    return FAILED(surfaceResult) ? surfaceResult : sourceResult;
}

HRESULT SurfaceHolder::copySourceToSurface()
{
    if (!source || !surface)
        return E_FAIL;
    // The converting copy records a lock failure but reports nothing; a surface that cannot be
    // reached (lost, or refused by DirectDraw) is answered here.
    HRESULT result = lockable(source);
    if (SUCCEEDED(result))
        result = lockable(surface);
    if (FAILED(result))
        return result;
    return drawSurfaceConverted(source, surface, 0, 0);
}

void SurfaceHolder::restoreLost()
{
    if (surface)
        surface->check();
    // The source lives in system memory and keeps its pixels through a lost display, but DirectDraw
    // wants it restored before it can be read again; without this the picture would never return.
    if (source && FAILED(lockable(source)))
        source->restore();
    copySourceToSurface();
}
