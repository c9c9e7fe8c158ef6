#include "compat/ddraw/DrawSurface.h"

#include "compat/ddraw/DisplayState.h"
#include "compat/ddraw/DrawDevice.h"
#include "compat/ddraw/PixelBlockPool.h"
#include "compat/ddraw/PixelTransfer.h"
#include "compat/win32/gdi/dib.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace compat::ddraw {

namespace {

// Larger surfaces are refused the way a driver refuses them.
constexpr DWORD maximumSide = 16384;

bool inside(const RECT& r, const RECT& bounds)
{
    return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right && r.bottom <= bounds.bottom
        && r.left < r.right && r.top < r.bottom;
}

LONG rectWidth(const RECT& r) { return r.right - r.left; }
LONG rectHeight(const RECT& r) { return r.bottom - r.top; }

// Clips dest to bounds and cuts the matching part of source, in proportion for a stretch. False
// when nothing is left.
bool clipPair(RECT& dest, RECT& source, const RECT& bounds)
{
    const long long dw = rectWidth(dest), dh = rectHeight(dest), sw = rectWidth(source), sh = rectHeight(source);
    if (dw <= 0 || dh <= 0)
        return false;
    RECT clipped = {std::max(dest.left, bounds.left), std::max(dest.top, bounds.top),
                    std::min(dest.right, bounds.right), std::min(dest.bottom, bounds.bottom)};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom)
        return false;
    RECT cut = {static_cast<LONG>(source.left + (clipped.left - dest.left) * sw / dw),
                static_cast<LONG>(source.top + (clipped.top - dest.top) * sh / dh),
                static_cast<LONG>(source.left + (clipped.right - dest.left) * sw / dw),
                static_cast<LONG>(source.top + (clipped.bottom - dest.top) * sh / dh)};
    if (cut.left >= cut.right || cut.top >= cut.bottom)
        return false;
    dest = clipped;
    source = cut;
    return true;
}

std::atomic<std::uint64_t> versions{0};

std::uint64_t nextVersion() { return ++versions; }

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT intersection(const RECT& a, const RECT& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

RECT unionOf(const RECT& a, const RECT& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

long long areaOf(const RECT& r) { return static_cast<long long>(rectWidth(r)) * rectHeight(r); }

bool contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT moved(const RECT& r, LONG dx, LONG dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool sameLayout(const DDPIXELFORMAT& x, const DDPIXELFORMAT& y)
{
    return x.dwRGBBitCount == y.dwRGBBitCount && x.dwRBitMask == y.dwRBitMask && x.dwGBitMask == y.dwGBitMask &&
           x.dwBBitMask == y.dwBBitMask && x.dwRGBAlphaBitMask == y.dwRGBAlphaBitMask;
}

} // namespace

HRESULT DrawSurface::create(DrawDevice* creator, DWORD width, DWORD height, const DDPIXELFORMAT& format, DWORD caps,
                            DrawSurface** surface)
{
    *surface = nullptr;
    if (width == 0 || height == 0)
        return DDERR_INVALIDPARAMS;
    if (width > maximumSide)
        return DDERR_TOOBIGWIDTH;
    if (height > maximumSide)
        return DDERR_TOOBIGHEIGHT;
    const DWORD bits = format.dwRGBBitCount;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return DDERR_INVALIDPIXELFORMAT;
    // Rows are padded to 4 bytes, as display drivers do; users must step by the pitch.
    const LONG pitch = static_cast<LONG>((width * bytesPerPixel(format) + 3u) & ~3u);
    // The primary, as large as the desktop, is mostly never drawn on: its memory reads as black without
    // being cleared, and only the pages drawn on take memory.
    const bool zeroed = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
    const std::size_t bytes = static_cast<std::size_t>(pitch) * height;
    PixelBlock memory = zeroed ? takeZeroedPixelBlock(bytes) : takePixelBlock(bytes);
    if (!memory)
        return DDERR_OUTOFMEMORY;
    if ((caps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY)) == 0)
        caps |= DDSCAPS_SYSTEMMEMORY;
    *surface = new DrawSurface(creator, width, height, pitch, format, caps, std::move(memory), zeroed);
    return DD_OK;
}

DrawSurface::DrawSurface(DrawDevice* creator, DWORD width, DWORD height, LONG pitch, const DDPIXELFORMAT& format,
                         DWORD caps, PixelBlock memory, bool zeroed)
    : creator(creator), surfaceWidth(width), surfaceHeight(height), linePitch(pitch), pixelFormat(format),
      caps(caps), memory(std::move(memory)), undefined(!zeroed), generation(DisplayState::instance().generation),
      contentVersion(nextVersion())
{
    creator->AddRef();
}

DrawSurface::~DrawSurface()
{
    PresentObserver* observer = DisplayState::instance().observer;
    if (isPrimary() && observer != nullptr)
        observer->onPrimaryGone(this);
    givePixelBlock(std::move(memory), static_cast<std::size_t>(linePitch) * surfaceHeight);
    if (clipper != nullptr)
        clipper->Release();
    creator->Release();
}

HRESULT DrawSurface::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawSurface4) {
        *object = static_cast<IDirectDrawSurface4*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DrawSurface::AddRef() { return ++references; }

ULONG DrawSurface::Release()
{
    const ULONG remaining = --references;
    if (remaining == 0)
        delete this;
    return remaining;
}

bool DrawSurface::lost() const { return generation != DisplayState::instance().generation; }

RECT DrawSurface::bounds() const
{
    return {0, 0, static_cast<LONG>(surfaceWidth), static_cast<LONG>(surfaceHeight)};
}

PixelView DrawSurface::view(const RECT& rect) const
{
    BYTE* origin = memory.get() + static_cast<std::ptrdiff_t>(rect.top) * linePitch
        + static_cast<std::ptrdiff_t>(rect.left) * bytesPerPixel(pixelFormat);
    return {origin, linePitch, rectWidth(rect), rectHeight(rect), &pixelFormat};
}

void DrawSurface::describe(DDSURFACEDESC2& desc) const
{
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = surfaceWidth;
    desc.dwHeight = surfaceHeight;
    desc.lPitch = linePitch;
    desc.ddpfPixelFormat = pixelFormat;
    desc.ddsCaps = DDSCAPS2{caps, 0, 0, 0};
    desc.ddckCKSrcBlt = sourceKey;
    if (hasSourceKey)
        desc.dwFlags |= DDSD_CKSRCBLT;
}

void DrawSurface::clearIfUndefined()
{
    if (!undefined)
        return;
    undefined = false;
    std::memset(memory.get(), 0, static_cast<std::size_t>(linePitch) * surfaceHeight);
}

void DrawSurface::definedByWhole(const RECT& area)
{
    if (sameRect(area, bounds()))
        undefined = false;
    else
        clearIfUndefined();
}

void DrawSurface::Area::add(const RECT& area)
{
    if (empty(area))
        return;
    for (int i = 0; i < count; ++i) {
        if (contains(parts[static_cast<std::size_t>(i)], area))
            return;
    }
    if (count < most) {
        parts[static_cast<std::size_t>(count++)] = area;
        return;
    }
    // Full: the part that grows least takes it in.
    std::size_t best = 0;
    long long growth = -1;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const long long more = areaOf(unionOf(parts[i], area)) - areaOf(parts[i]);
        if (growth < 0 || more < growth) {
            growth = more;
            best = i;
        }
    }
    parts[best] = unionOf(parts[best], area);
}

RECT DrawSurface::Area::bounds() const
{
    RECT all{};
    for (int i = 0; i < count; ++i)
        all = i == 0 ? parts[0] : unionOf(all, parts[static_cast<std::size_t>(i)]);
    return all;
}

void DrawSurface::updated(const RECT& area)
{
    contentVersion = nextVersion();
    reported = true;
    for (HeldCopy& held : heldCopies) {
        if (held.source != nullptr)
            held.overwritten.add(intersection(area, held.destRect));
    }
    if (shownVersion != 0)
        writtenSinceShown.add(area);
    PresentObserver* observer = DisplayState::instance().observer;
    if (isPrimary() && observer != nullptr)
        observer->onPrimaryUpdated(this, area);
}

HRESULT DrawSurface::copyFrom(DrawSurface* source, RECT sourceRect, RECT destRect, bool keyed)
{
    if (source->lost())
        return DDERR_SURFACELOST;
    if (source->busy())
        return DDERR_SURFACEBUSY;
    if (!inside(sourceRect, source->bounds()))
        return DDERR_INVALIDRECT;

    const DWORD* key = keyed && source->hasSourceKey ? &source->sourceKey.dwColorSpaceLowValue : nullptr;
    const bool presenting = isPrimary() && key == nullptr && source != this;
    const bool repeat = presenting && shownSource == source && shownSourceVersion == source->contentVersion &&
                        shownOwnVersion == contentVersion && sameRect(shownSourceRect, sourceRect) &&
                        sameRect(shownDestRect, destRect);
    if (repeat)
        return DD_OK;
    const bool plain = key == nullptr && source != this && rectWidth(sourceRect) == rectWidth(destRect) &&
                       rectHeight(sourceRect) == rectHeight(destRect) && sameLayout(source->pixelFormat, pixelFormat);
    if (plain && !isPrimary() && repeatCopy(source, sourceRect, destRect))
        return DD_OK;
    source->clearIfUndefined();
    if (key == nullptr)
        definedByWhole(destRect);
    else
        clearIfUndefined();
    const RECT wholeSource = sourceRect, wholeDest = destRect;
    const bool comparing = presenting && comparesWith(source, sourceRect, destRect);
    if (comparing) {
        // A frame drawn again the same way reaches nobody; a changed one only with the part that changed.
        const RECT part = changedSinceShown(source, sourceRect, destRect);
        RECT changed;
        if (!empty(part) && findDifference(source->view(moved(part, sourceRect.left, sourceRect.top)),
                                           view(moved(part, destRect.left, destRect.top)), changed)) {
            changed = moved(changed, part.left, part.top);
            sourceRect = {sourceRect.left + changed.left, sourceRect.top + changed.top,
                          sourceRect.left + changed.right, sourceRect.top + changed.bottom};
            destRect = {destRect.left + changed.left, destRect.top + changed.top, destRect.left + changed.right,
                        destRect.top + changed.bottom};
        } else {
            sourceRect = destRect = RECT{};
        }
    }
    if (rectWidth(destRect) > 0) {
        PixelView from = source->view(sourceRect);
        std::vector<BYTE> snapshot;
        if (source == this) {
            // Copy the source out first, so an overlapping copy reads what was there before.
            const std::size_t rowBytes = static_cast<std::size_t>(rectWidth(sourceRect)) * bytesPerPixel(pixelFormat);
            snapshot.resize(rowBytes * static_cast<std::size_t>(rectHeight(sourceRect)));
            for (LONG y = 0; y < from.height; ++y)
                std::copy_n(from.origin + static_cast<std::ptrdiff_t>(y) * from.pitch, rowBytes,
                            snapshot.data() + y * rowBytes);
            from.origin = snapshot.data();
            from.pitch = static_cast<LONG>(rowBytes);
        }
        transferPixels(from, view(destRect), key);
        updated(destRect);
    }
    if (plain && !isPrimary())
        rememberCopy(source, wholeSource, wholeDest);
    if (presenting) {
        source->shownVersion = source->contentVersion;
        source->writtenSinceShown.clear();
        shownSource = source;
        shownSourceVersion = source->contentVersion;
        shownOwnVersion = contentVersion;
        shownSourceRect = wholeSource;
        shownDestRect = wholeDest;
    }
    return DD_OK;
}

RECT DrawSurface::changedSinceShown(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect) const
{
    const RECT whole = {0, 0, rectWidth(destRect), rectHeight(destRect)};
    // The primary holds the source as it was when it was last shown here, and neither changed since
    // but for what the source reported writing.
    const bool same = shownSource == source && shownOwnVersion == contentVersion && source->shownVersion != 0 &&
                      source->shownVersion == shownSourceVersion && sameRect(shownSourceRect, sourceRect) &&
                      sameRect(shownDestRect, destRect);
    if (!same)
        return whole;
    RECT written{};
    for (int i = 0; i < source->writtenSinceShown.count; ++i) {
        const RECT part = intersection(source->writtenSinceShown.parts[static_cast<std::size_t>(i)], sourceRect);
        if (!empty(part))
            written = empty(written) ? part : unionOf(written, part);
    }
    if (empty(written))
        return RECT{};
    return moved(written, -sourceRect.left, -sourceRect.top);
}

bool DrawSurface::repeatCopy(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect)
{
    HeldCopy* held = nullptr;
    for (HeldCopy& candidate : heldCopies) {
        if (candidate.source == source && candidate.sourceVersion == source->contentVersion &&
            sameRect(candidate.sourceRect, sourceRect) && sameRect(candidate.destRect, destRect)) {
            held = &candidate;
            break;
        }
    }
    if (held == nullptr)
        return false;
    const Area again = held->overwritten;
    for (int i = 0; i < again.count; ++i) {
        const RECT dest = again.parts[static_cast<std::size_t>(i)];
        const RECT from = moved(dest, sourceRect.left - destRect.left, sourceRect.top - destRect.top);
        transferPixels(source->view(from), view(dest), nullptr);
        updated(dest);
    }
    // What it copied back is the source's again.
    held->overwritten.clear();
    return true;
}

void DrawSurface::rememberCopy(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect)
{
    HeldCopy* slot = nullptr;
    for (HeldCopy& held : heldCopies) {
        // A copy wholly drawn over is gone; its place is free.
        if (held.source != nullptr && contains(destRect, held.destRect))
            held.source = nullptr;
        if (held.source == nullptr && slot == nullptr)
            slot = &held;
    }
    if (slot == nullptr) {
        slot = &heldCopies[static_cast<std::size_t>(nextHeldCopy)];
        nextHeldCopy = (nextHeldCopy + 1) % static_cast<int>(heldCopies.size());
    }
    slot->source = source;
    slot->sourceVersion = source->contentVersion;
    slot->sourceRect = sourceRect;
    slot->destRect = destRect;
    slot->overwritten.clear();
}

bool DrawSurface::comparesWith(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect) const
{
    if (!reported || rectWidth(sourceRect) != rectWidth(destRect) || rectHeight(sourceRect) != rectHeight(destRect))
        return false;
    const DDPIXELFORMAT& other = source->pixelFormat;
    if (other.dwRGBBitCount != pixelFormat.dwRGBBitCount || other.dwRBitMask != pixelFormat.dwRBitMask ||
        other.dwGBitMask != pixelFormat.dwGBitMask || other.dwBBitMask != pixelFormat.dwBBitMask)
        return false;
    PresentObserver* observer = DisplayState::instance().observer;
    return observer == nullptr || !observer->needsWholeUpdate(const_cast<DrawSurface*>(this));
}

HRESULT DrawSurface::Blt(LPRECT destRect, IDirectDrawSurface4* source, LPRECT sourceRect, DWORD flags,
                         LPDDBLTFX effects)
{
    if (lost())
        return DDERR_SURFACELOST;
    if (busy())
        return DDERR_SURFACEBUSY;
    RECT dest = destRect != nullptr ? *destRect : bounds();

    if ((flags & DDBLT_COLORFILL) != 0) {
        if (effects == nullptr)
            return DDERR_INVALIDPARAMS;
        RECT unused = dest;
        if (clipper != nullptr ? !clipPair(dest, unused, bounds()) : !inside(dest, bounds()))
            return clipper != nullptr ? DD_OK : DDERR_INVALIDRECT;
        definedByWhole(dest);
        fillPixels(view(dest), effects->dwFillColor);
        updated(dest);
        return DD_OK;
    }

    if (source == nullptr)
        return DDERR_INVALIDPARAMS;
    auto* from = static_cast<DrawSurface*>(source);
    RECT sourceArea = sourceRect != nullptr ? *sourceRect : from->bounds();
    if (!inside(sourceArea, from->bounds()))
        return DDERR_INVALIDRECT;
    if (clipper != nullptr) {
        if (!clipPair(dest, sourceArea, bounds()))
            return DD_OK;
    } else if (!inside(dest, bounds())) {
        return DDERR_INVALIDRECT;
    }
    return copyFrom(from, sourceArea, dest, (flags & DDBLT_KEYSRC) != 0);
}

HRESULT DrawSurface::BltFast(DWORD x, DWORD y, IDirectDrawSurface4* source, LPRECT sourceRect, DWORD flags)
{
    if (lost())
        return DDERR_SURFACELOST;
    if (busy())
        return DDERR_SURFACEBUSY;
    if (source == nullptr)
        return DDERR_INVALIDPARAMS;
    auto* from = static_cast<DrawSurface*>(source);
    const RECT sourceArea = sourceRect != nullptr ? *sourceRect : from->bounds();
    if (x > surfaceWidth || y > surfaceHeight)
        return DDERR_INVALIDRECT;
    const RECT dest = {static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + rectWidth(sourceArea),
                       static_cast<LONG>(y) + rectHeight(sourceArea)};
    if (!inside(dest, bounds()))
        return DDERR_INVALIDRECT;
    return copyFrom(from, sourceArea, dest, (flags & DDBLTFAST_SRCCOLORKEY) != 0);
}

HRESULT DrawSurface::Flip(IDirectDrawSurface4* target, DWORD flags) { return DDERR_NOTFLIPPABLE; }

HRESULT DrawSurface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attached)
{
    if (attached != nullptr)
        *attached = nullptr;
    return DDERR_NOTFOUND;
}

HRESULT DrawSurface::GetDC(HDC* dc)
{
    if (dc == nullptr)
        return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost())
        return DDERR_SURFACELOST;
    if (dcOpen)
        return DDERR_DCALREADYCREATED;
    if (locks > 0)
        return DDERR_SURFACEBUSY;
    clearIfUndefined();
    // The GDI stand-in draws DIBs straight into the surface's memory through this context.
    context = std::make_unique<MemoryDC>(memory.get(), linePitch, static_cast<LONG>(surfaceWidth),
                                         static_cast<LONG>(surfaceHeight), pixelFormat.dwRGBBitCount,
                                         pixelFormat.dwRBitMask, pixelFormat.dwGBitMask, pixelFormat.dwBBitMask,
                                         pixelFormat.dwRGBAlphaBitMask);
    dcOpen = true;
    *dc = context.get();
    return DD_OK;
}

HRESULT DrawSurface::ReleaseDC(HDC dc)
{
    if (!dcOpen || dc != context.get())
        return DDERR_NODC;
    dcOpen = false;
    context.reset();
    updated(bounds());
    return DD_OK;
}

HRESULT DrawSurface::GetDDInterface(LPVOID* directDraw)
{
    if (directDraw == nullptr)
        return DDERR_INVALIDPARAMS;
    creator->AddRef();
    *directDraw = static_cast<IDirectDraw4*>(creator);
    return DD_OK;
}

HRESULT DrawSurface::GetSurfaceDesc(LPDDSURFACEDESC2 desc)
{
    if (desc == nullptr)
        return DDERR_INVALIDPARAMS;
    describe(*desc);
    return DD_OK;
}

HRESULT DrawSurface::IsLost() { return lost() ? DDERR_SURFACELOST : DD_OK; }

HRESULT DrawSurface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event)
{
    if (desc == nullptr)
        return DDERR_INVALIDPARAMS;
    if (lost())
        return DDERR_SURFACELOST;
    if (dcOpen)
        return DDERR_SURFACEBUSY;
    const RECT area = rect != nullptr ? *rect : bounds();
    if (!inside(area, bounds()))
        return DDERR_INVALIDRECT;
    if ((flags & DDLOCK_DISCARDCONTENTS) != 0 && (flags & DDLOCK_READONLY) == 0)
        definedByWhole(area);
    else
        clearIfUndefined();
    describe(*desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = view(area).origin;
    ++locks;
    if ((flags & DDLOCK_READONLY) == 0) {
        lockedForWriting = writtenUnderLock ? unionOf(lockedForWriting, area) : area;
        writtenUnderLock = true;
    }
    return DD_OK;
}

HRESULT DrawSurface::Unlock(LPRECT rect)
{
    if (locks == 0)
        return DDERR_NOTLOCKED;
    if (--locks == 0 && writtenUnderLock) {
        writtenUnderLock = false;
        // What the locks opened for writing is what may have changed, whatever rectangle the caller
        // names on the way out.
        updated(lockedForWriting);
    }
    return DD_OK;
}

HRESULT DrawSurface::Restore()
{
    if (!lost())
        return DD_OK;
    const DisplayMode mode = DisplayState::instance().mode;
    if (isPrimary()
        && (mode.width != surfaceWidth || mode.height != surfaceHeight
            || mode.format.dwRGBBitCount != pixelFormat.dwRGBBitCount))
        return DDERR_WRONGMODE;
    generation = DisplayState::instance().generation;
    contentVersion = nextVersion();
    reported = false;
    // What the lost memory held is no longer vouched for.
    for (HeldCopy& held : heldCopies)
        held.source = nullptr;
    shownVersion = 0;
    writtenSinceShown.clear();
    return DD_OK;
}

HRESULT DrawSurface::SetClipper(LPDIRECTDRAWCLIPPER newClipper)
{
    if (newClipper != nullptr)
        newClipper->AddRef();
    if (clipper != nullptr)
        clipper->Release();
    clipper = newClipper;
    return DD_OK;
}

HRESULT DrawSurface::SetColorKey(DWORD flags, LPDDCOLORKEY key)
{
    if ((flags & DDCKEY_SRCBLT) == 0)
        return DDERR_UNSUPPORTED;
    hasSourceKey = key != nullptr;
    sourceKey = key != nullptr ? *key : DDCOLORKEY{};
    return DD_OK;
}

} // namespace compat::ddraw
