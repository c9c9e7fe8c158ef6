#include "platform/surface/SurfaceHolder.h"

#include "platform/surface/ImageLoader.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/raster/Convert.h"

#include <memory>
#include <string>

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

// As lockable, without locking a DirectDraw surface: a lock would make a new surface clear memory
// that the converting copy is about to write whole.
HRESULT reachable(Surface* surface)
{
    auto* drawn = dynamic_cast<DirectDrawSurface*>(surface);
    if (!drawn)
        return lockable(surface);
    IDirectDrawSurface4* iface = drawn->getInterface();
    return iface ? iface->IsLost() : E_FAIL;
}

// The A8R8G8B8 source of a picture loaded from a file, kept as the file rather than as pixels: the
// holder converts it into its surface once at load and again only after a lost display, so holding
// the decoded picture beside the drawn one would double what every picture costs. Locking decodes the
// file again (the pixels stay until the holder has copied them in); its size and format are the
// decoded picture's from the start, like any source.
class DecodedSource : public Surface {
public:
    DecodedSource(IDirectDraw4* directDraw, const std::string& fileName, DirectDrawSurface* decoded)
        : Surface(decoded->getDesc()), directDraw(directDraw), fileName(fileName), picture(decoded)
    {
        directDraw->AddRef();
        picture->addRef();
    }
    // A source whose pixels are not decoded yet: the picture was decoded straight into its surface.
    DecodedSource(IDirectDraw4* directDraw, const std::string& fileName, std::uint32_t width, std::uint32_t height)
        : Surface(describe(width, height)), directDraw(directDraw), fileName(fileName)
    {
        directDraw->AddRef();
    }
    ~DecodedSource() override
    {
        forget();
        directDraw->Release();
    }

    void* pixels() override { return picture ? picture->pixels() : nullptr; }
    HRESULT lock() override
    {
        if (!picture) {
            SurfaceDesc desc = sourceImageDesc();
            DirectDrawSurface* decoded = decodeImageFromFile(directDraw, fileName, desc);
            if (!decoded)
                return E_FAIL;
            decoded->addRef();
            // The file changed under the game: not the picture the surface was made for.
            if (decoded->getDesc().width != description.width || decoded->getDesc().height != description.height) {
                decoded->release();
                return E_FAIL;
            }
            picture = decoded;
        }
        const HRESULT result = picture->lock();
        description = picture->getDesc();
        return result;
    }
    void unlock() override
    {
        if (picture)
            picture->unlock();
    }
    HRESULT restore() override { return picture ? picture->restore() : S_OK; }

    // Gives the decoded pixels back; the next lock decodes the file again.
    void forget()
    {
        if (picture)
            picture->release();
        picture = nullptr;
    }

private:
    static SurfaceDesc describe(std::uint32_t width, std::uint32_t height)
    {
        SurfaceDesc desc = sourceImageDesc();
        desc.kind = SurfaceDesc::DirectDrawKind;
        desc.width = width;
        desc.height = height;
        desc.pitch = static_cast<std::int32_t>(width * 4);
        return desc;
    }

    IDirectDraw4* directDraw;
    std::string fileName;
    DirectDrawSurface* picture = nullptr;
};

// After the source was copied in, a source kept as its file gives its pixels back.
void forgetPixels(Surface* source)
{
    if (auto* decoded = dynamic_cast<DecodedSource*>(source))
        decoded->forget();
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
    // Without an archive the picture comes from disk, and can come from there again.
    if (!archive)
        return loadFromFile(directDraw, fileName, desc);
    SurfaceDesc sourceDesc = sourceImageDesc();
    DirectDrawSurface* picture = loadImageFromArchiveOrFile(directDraw, archive, fileName, sourceDesc);
    if (!picture)
        return E_FAIL;
    setSource(picture);
    return buildFromSource(directDraw, desc);
}

HRESULT SurfaceHolder::loadFromFile(IDirectDraw4* directDraw, const std::string& fileName, const SurfaceDesc& desc)
{
    // A surface in the display's format that holds decoded rows as they are takes the picture
    // straight away: no decoded copy beside it and no converting copy (the source, the file, is
    // decoded again only after a lost display).
    if (desc.format.bitsPerPixel == 0 && displayTakesDibRows(directDraw)) {
        SurfaceDesc drawnDesc(desc);
        DirectDrawSurface* drawn = decodeImageForDisplay(directDraw, fileName, drawnDesc);
        if (!drawn)
            return E_FAIL;
        setSurface(drawn);
        setSource(new DecodedSource(directDraw, fileName, drawn->getDesc().width, drawn->getDesc().height));
        return S_OK;
    }
    SurfaceDesc sourceDesc = sourceImageDesc();
    DirectDrawSurface* picture = decodeImageFromFile(directDraw, fileName, sourceDesc);
    if (!picture)
        return E_FAIL;
    std::unique_ptr<DirectDrawSurface> decoded(picture);
    if (directDraw && picture->getInterface())
        setSource(new DecodedSource(directDraw, fileName, picture));
    else
        setSource(picture);
    decoded.release();
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
        result = reachable(surface);
    if (FAILED(result))
        return result;
    result = drawSurfaceConverted(source, surface, 0, 0);
    forgetPixels(source);
    return result;
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
