// The plain blending family. 5-5-5 and 5-6-5 rows go two pixels per 32-bit word through the biased
// pair formula when both pixels share an alpha; every other pixel takes the exact blend.
#include "platform/raster/BlendJob.h"

namespace raster::plain {
namespace {

struct ImageSource {
    const std::uint8_t* row;
    std::ptrdiff_t pitch;
    std::uint32_t pixel16(int x) const { return load16(row + 2 * x); }
    std::uint32_t pair(int x) const { return load32(row + 2 * x); }
    std::uint32_t pixel32(int x) const { return load32(row + 4 * x); }
    void nextRow() { row += pitch; }
};

// The tint's source: one colour everywhere.
struct ColorSource {
    std::uint32_t color;
    std::uint32_t pixel16(int) const { return color & 0xFFFFu; }
    std::uint32_t pair(int) const { return (color & 0xFFFFu) * 0x00010001u; }
    std::uint32_t pixel32(int) const { return color; }
    void nextRow() {}
};

struct MapAlpha {
    const std::uint8_t* row;
    std::ptrdiff_t pitch;
    std::uint32_t operator()(int x) const { return row[x]; }
    void nextRow() { row += pitch; }
};

struct ScaledMapAlpha {
    MapAlpha map;
    std::uint32_t factor;
    std::uint32_t operator()(int x) const { return (map(x) * factor) >> 8; }
    void nextRow() { map.nextRow(); }
};

bool isPairFormat(int code) { return code == kFormat555 || code == kFormat565; }

// Exact blend of one pixel of a one-at-a-time format (other 16-bit, 32-bit).
std::uint32_t mixSingle(const BlendJob& job, std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    return job.formatCode == kFormat32 ? mixPixel(kLayout888, s, d, a) : mixInPlace(job.srcMasks, job.dstMasks, s, d, a);
}

std::uint32_t loadPixel(int code, const std::uint8_t* p) { return code == kFormat32 ? load32(p) : load16(p); }
void storePixel(int code, std::uint8_t* p, std::uint32_t v)
{
    if (code == kFormat32)
        store32(p, v);
    else
        store16(p, v);
}

// Walks the rectangle with a per-pixel alpha. Pairs of equal alpha: 0 skips, 255 copies, others take
// the pair formula; pairs of different alpha and an odd last pixel take the exact blend. Single-pixel
// formats skip 0 and copy 255 only when `shortcuts` says so (the tint blends every pixel).
template <class Source, class Alpha>
void blendWithAlphaMap(const BlendJob& job, Source src, Alpha alphaOf, bool shortcuts)
{
    const int code = job.formatCode;
    std::uint8_t* dstRow = job.dst;
    for (int y = 0; y < job.height; ++y, dstRow += job.dstPitch, src.nextRow(), alphaOf.nextRow()) {
        if (isPairFormat(code)) {
            const Layout& l = layout16(code);
            int x = 0;
            for (; x + 1 < job.width; x += 2) {
                std::uint8_t* d = dstRow + 2 * x;
                const std::uint32_t a0 = alphaOf(x), a1 = alphaOf(x + 1);
                if (a0 == a1) {
                    if (a0 == 0)
                        continue;
                    store32(d, a0 == 255 ? src.pair(x) : mixPair(l, src.pair(x), load32(d), a0));
                } else {
                    store16(d, mixPixel(l, src.pixel16(x), load16(d), a0));
                    store16(d + 2, mixPixel(l, src.pixel16(x + 1), load16(d + 2), a1));
                }
            }
            if (x < job.width)
                store16(dstRow + 2 * x, mixPixel(l, src.pixel16(x), load16(dstRow + 2 * x), alphaOf(x)));
        } else {
            const int bytes = code == kFormat32 ? 4 : 2;
            for (int x = 0; x < job.width; ++x) {
                std::uint8_t* d = dstRow + bytes * x;
                const std::uint32_t a = alphaOf(x);
                const std::uint32_t s = code == kFormat32 ? src.pixel32(x) : src.pixel16(x);
                if (shortcuts && a == 0)
                    continue;
                storePixel(code, d, shortcuts && a == 255 ? s : mixSingle(job, s, loadPixel(code, d), a));
            }
        }
    }
}

}  // namespace

void blendRect(const BlendJob& job)
{
    const int code = job.formatCode;
    const std::uint32_t a = job.alpha;
    const std::uint8_t* srcRow = job.src;
    std::uint8_t* dstRow = job.dst;
    for (int y = 0; y < job.height; ++y, srcRow += job.srcPitch, dstRow += job.dstPitch) {
        if (isPairFormat(code)) {
            const Layout& l = layout16(code);
            int x = 0;
            for (; x + 1 < job.width; x += 2)
                store32(dstRow + 2 * x, mixPair(l, load32(srcRow + 2 * x), load32(dstRow + 2 * x), a));
            if (x < job.width)
                store16(dstRow + 2 * x, mixPixel(l, load16(srcRow + 2 * x), load16(dstRow + 2 * x), a));
        } else {
            const int bytes = code == kFormat32 ? 4 : 2;
            for (int x = 0; x < job.width; ++x) {
                std::uint8_t* d = dstRow + bytes * x;
                storePixel(code, d, mixSingle(job, loadPixel(code, srcRow + bytes * x), loadPixel(code, d), a));
            }
        }
    }
}

void blendRectKeyed(const BlendJob& job)
{
    const int code = job.formatCode;
    const std::uint32_t a = job.alpha;
    const std::uint32_t key = job.colorKey;
    const std::uint32_t keyPair = (key & 0xFFFFu) * 0x00010001u;
    const std::uint8_t* srcRow = job.src;
    std::uint8_t* dstRow = job.dst;
    for (int y = 0; y < job.height; ++y, srcRow += job.srcPitch, dstRow += job.dstPitch) {
        if (isPairFormat(code)) {
            const Layout& l = layout16(code);
            int x = 0;
            for (; x + 1 < job.width; x += 2) {
                const std::uint32_t s = load32(srcRow + 2 * x);
                if (s == keyPair)
                    continue;
                const std::uint32_t d = load32(dstRow + 2 * x);
                std::uint32_t r = mixPair(l, s, d, a);
                if (isKey16(s, key))
                    r = (r & 0xFFFF0000u) | (d & 0xFFFFu);
                else if (isKey16(s >> 16, key))
                    r = (r & 0xFFFFu) | (d & 0xFFFF0000u);
                store32(dstRow + 2 * x, r);
            }
            if (x < job.width) {
                const std::uint32_t s = load16(srcRow + 2 * x);
                if (!isKey16(s, key))
                    store16(dstRow + 2 * x, mixPixel(l, s, load16(dstRow + 2 * x), a));
            }
        } else {
            const int bytes = code == kFormat32 ? 4 : 2;
            for (int x = 0; x < job.width; ++x) {
                const std::uint32_t s = loadPixel(code, srcRow + bytes * x);
                if (code == kFormat32 ? isKey32(s, key) : isKey16(s, key))
                    continue;
                std::uint8_t* d = dstRow + bytes * x;
                storePixel(code, d, mixSingle(job, s, loadPixel(code, d), a));
            }
        }
    }
}

void blendMask(const BlendJob& job)
{
    blendWithAlphaMap(job, ImageSource{job.src, job.srcPitch}, MapAlpha{job.map, job.mapPitch}, true);
}

void blendMaskAlpha(const BlendJob& job)
{
    blendWithAlphaMap(job, ImageSource{job.src, job.srcPitch}, ScaledMapAlpha{{job.map, job.mapPitch}, job.alpha}, true);
}

void tint(const BlendJob& job)
{
    // The colour is a pixel of the destination's format, so other 16-bit layouts read it with the
    // destination's masks.
    BlendJob own = job;
    own.srcMasks = job.dstMasks;
    blendWithAlphaMap(own, ColorSource{job.color}, ScaledMapAlpha{{job.map, job.mapPitch}, job.alpha}, false);
}

}  // namespace raster::plain
