// A memory-backed DirectDraw surface. It keeps its creator alive, and it is lost when the display
// changes mode or a test loses every surface, until Restore.
#pragma once

#include "compat/ddraw/PixelBlockPool.h"
#include "compat/ddraw/ddraw.h"

#include <array>
#include <cstdint>
#include <memory>

class MemoryDC;

namespace compat::ddraw {

class DrawDevice;
struct PixelView;

class DrawSurface final : public IDirectDrawSurface4 {
public:
    // Makes a surface of the given size and format, or the display's primary surface.
    static HRESULT create(DrawDevice* creator, DWORD width, DWORD height, const DDPIXELFORMAT& format, DWORD caps,
                          DrawSurface** surface);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Blt(LPRECT destRect, IDirectDrawSurface4* source, LPRECT sourceRect, DWORD flags,
                LPDDBLTFX effects) override;
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface4* source, LPRECT sourceRect, DWORD flags) override;
    HRESULT Flip(IDirectDrawSurface4* target, DWORD flags) override;
    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attached) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT GetDDInterface(LPVOID* directDraw) override;
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
    HRESULT IsLost() override;
    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT Restore() override;
    HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT Unlock(LPRECT rect) override;

private:
    DrawSurface(DrawDevice* creator, DWORD width, DWORD height, LONG pitch, const DDPIXELFORMAT& format, DWORD caps,
                PixelBlock memory, bool zeroed);
    ~DrawSurface();

    bool lost() const;
    bool busy() const { return locks > 0 || dcOpen; }
    bool isPrimary() const { return (caps & DDSCAPS_PRIMARYSURFACE) != 0; }
    RECT bounds() const;
    PixelView view(const RECT& rect) const;
    void describe(DDSURFACEDESC2& desc) const;
    HRESULT copyFrom(DrawSurface* source, RECT sourceRect, RECT destRect, bool keyed);
    void updated(const RECT& area);
    // A new surface reads as black, as its memory is not cleared when it is made: the first use that
    // could show the old contents clears it, unless that use writes every pixel anyway.
    void clearIfUndefined();
    void definedByWhole(const RECT& area);
    // Whether a copy into this primary may skip the pixels that already match.
    bool comparesWith(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect) const;
    // The part of a copy into this primary, in the copy's own coordinates, that can differ from what
    // the primary shows: all of it, unless this is the last copy again and the source reported what it
    // wrote since.
    RECT changedSinceShown(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect) const;
    // A plain copy that this surface already holds, but for what was written over it since: only that
    // is copied again. False when no such copy is remembered.
    bool repeatCopy(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect);
    void rememberCopy(const DrawSurface* source, const RECT& sourceRect, const RECT& destRect);

    // A few rectangles, merged with each other when there would be more; what they cover only grows.
    struct Area {
        static constexpr int most = 4;
        std::array<RECT, most> parts{};
        int count = 0;
        void add(const RECT& area);
        void clear() { count = 0; }
        RECT bounds() const;
    };
    // What a plain copy left in this surface: the source's pixels of that version in destRect, except
    // where something wrote over them since (`overwritten`).
    struct HeldCopy {
        const DrawSurface* source = nullptr;
        std::uint64_t sourceVersion = 0;
        RECT sourceRect{};
        RECT destRect{};
        Area overwritten;
    };

    ULONG references = 1;
    DrawDevice* creator;
    DWORD surfaceWidth;
    DWORD surfaceHeight;
    LONG linePitch;
    DDPIXELFORMAT pixelFormat;
    DWORD caps;
    PixelBlock memory;
    // The memory still holds whatever it held before the surface was made.
    bool undefined;
    std::uint64_t generation;
    bool hasSourceKey = false;
    DDCOLORKEY sourceKey{};
    int locks = 0;
    bool writtenUnderLock = false;
    // Everything the open locks for writing cover, reported as written at the last unlock.
    RECT lockedForWriting{};
    bool dcOpen = false;
    std::unique_ptr<MemoryDC> context;
    IDirectDrawClipper* clipper = nullptr;
    // Changes with every write; unique across all surfaces, so a new surface never matches an old one.
    std::uint64_t contentVersion;
    // A primary remembers its last copy: copying the same unchanged pixels to the same place again
    // changes nothing and is skipped, so an idle frame costs nearly nothing to present.
    const DrawSurface* shownSource = nullptr;
    std::uint64_t shownSourceVersion = 0;
    std::uint64_t shownOwnVersion = 0;
    RECT shownSourceRect{};
    RECT shownDestRect{};
    // Copies of other surfaces' pixels this surface holds: drawing the same picture again over itself
    // copies only what was drawn over it since, so a screen redrawn whole costs what changed.
    std::array<HeldCopy, 4> heldCopies{};
    int nextHeldCopy = 0;
    // When a primary last showed this surface, its version then (0: never) and everything written
    // into it since: the next present compares only that part.
    std::uint64_t shownVersion = 0;
    Area writtenSinceShown;
    // Some write was reported since the surface was made or restored: from then on its pixels are what
    // the observer was told about, so a copy compares with them and reports only what differs.
    bool reported = false;
};

} // namespace compat::ddraw
