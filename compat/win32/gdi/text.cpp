#include "compat/win32/gdi/text.h"

#include "compat/win32/gdi/dib.h"
#include "compat/win32/gdi/gdi.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace compat::win32 {

namespace {

// The size of the system font's cell: 16 pixels, text of about 12.
constexpr int pixelSize = 12;
const char* const fontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};

struct Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool tried = false;
    std::mutex mutex;

    bool ready()
    {
        if (tried)
            return face != nullptr;
        tried = true;
        if (FT_Init_FreeType(&library) != 0)
            return false;
        const char* chosen = std::getenv("QUARRYTIDE_FONT");
        if (chosen != nullptr && FT_New_Face(library, chosen, 0, &face) == 0) {
            // the asked-for face
        } else {
            face = nullptr;
            for (const char* path : fontPaths)
                if (FT_New_Face(library, path, 0, &face) == 0)
                    break;
                else
                    face = nullptr;
        }
        if (face == nullptr)
            return false;
        FT_Set_Pixel_Sizes(face, 0, pixelSize);
        return true;
    }

    ~Face()
    {
        if (face != nullptr)
            FT_Done_Face(face);
        if (library != nullptr)
            FT_Done_FreeType(library);
    }
};

Face& theFace()
{
    static Face face;
    return face;
}

} // namespace

bool textMetrics(TextMetrics& metrics)
{
    Face& f = theFace();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (!f.ready())
        return false;
    metrics.ascent = static_cast<int>(f.face->size->metrics.ascender >> 6);
    metrics.height = static_cast<int>((f.face->size->metrics.ascender - f.face->size->metrics.descender) >> 6);
    return true;
}

int textWidth(const char* text, int length)
{
    Face& f = theFace();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (!f.ready())
        return -1;
    long width = 0;
    for (int i = 0; i < length; ++i) {
        if (FT_Load_Char(f.face, static_cast<unsigned char>(text[i]), FT_LOAD_TARGET_MONO) == 0)
            width += f.face->glyph->advance.x;
    }
    return static_cast<int>(width >> 6);
}

bool renderText(int x, int y, const char* text, int length, const std::function<void(int, int, int)>& plot)
{
    Face& f = theFace();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (!f.ready())
        return false;
    const int baseline = y + static_cast<int>(f.face->size->metrics.ascender >> 6);
    long penX = static_cast<long>(x) << 6;
    for (int i = 0; i < length; ++i) {
        // Whole pixels, as the system font draws: exact colours, sharp at small sizes.
        if (FT_Load_Char(f.face, static_cast<unsigned char>(text[i]), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
            continue;
        const FT_GlyphSlot glyph = f.face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = static_cast<int>(penX >> 6) + glyph->bitmap_left;
        const int top = baseline - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int coverage = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                         ? (((line[col >> 3] >> (7 - (col & 7))) & 1) != 0 ? 255 : 0)
                                         : line[col];
                if (coverage != 0)
                    plot(left + static_cast<int>(col), top + static_cast<int>(row), coverage);
            }
        }
        penX += glyph->advance.x;
    }
    return true;
}

} // namespace compat::win32

namespace {

struct Channel {
    DWORD mask;
    int shift;
    int bits;
};

Channel channelOf(DWORD mask)
{
    Channel c{mask, 0, 0};
    if (mask == 0)
        return c;
    while (((mask >> c.shift) & 1) == 0)
        ++c.shift;
    while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1) != 0)
        ++c.bits;
    return c;
}

int readChannel(DWORD pixel, const Channel& c)
{
    if (c.bits == 0)
        return 0;
    const DWORD v = (pixel & c.mask) >> c.shift;
    if (c.bits >= 8)
        return static_cast<int>(v >> (c.bits - 8));
    const DWORD widened = v << (8 - c.bits);
    return static_cast<int>((widened | (widened >> c.bits)) & 0xFF);
}

DWORD writeChannel(int value, const Channel& c)
{
    if (c.bits == 0)
        return 0;
    const DWORD v = c.bits >= 8 ? static_cast<DWORD>(value) << (c.bits - 8) : static_cast<DWORD>(value) >> (8 - c.bits);
    return (v << c.shift) & c.mask;
}

} // namespace

bool MemoryDC::drawText(int x, int y, const char* text, int length)
{
    if (pixels == nullptr || (bitCount != 16 && bitCount != 32) || text == nullptr || length <= 0)
        return length == 0;
    DWORD r = redMask, g = greenMask, b = blueMask;
    if (r == 0 && g == 0 && b == 0) {
        if (bitCount == 16) {
            r = 0x7C00;
            g = 0x03E0;
            b = 0x001F;
        } else {
            r = 0xFF0000;
            g = 0x00FF00;
            b = 0x0000FF;
        }
    }
    const Channel red = channelOf(r), green = channelOf(g), blue = channelOf(b), alpha = channelOf(alphaMask);
    const int bytes = static_cast<int>(bitCount / 8);
    auto* base = static_cast<BYTE*>(pixels);
    auto load = [&](int px, int py) {
        DWORD value = 0;
        std::memcpy(&value, base + static_cast<long>(py) * pitch + static_cast<long>(px) * bytes,
                    static_cast<std::size_t>(bytes));
        return value;
    };
    auto store = [&](int px, int py, DWORD value) {
        std::memcpy(base + static_cast<long>(py) * pitch + static_cast<long>(px) * bytes, &value,
                    static_cast<std::size_t>(bytes));
    };
    auto pack = [&](int cr, int cg, int cb) {
        return writeChannel(cr, red) | writeChannel(cg, green) | writeChannel(cb, blue) | alpha.mask;
    };
    const int fr = static_cast<int>(textColor & 0xFF), fg = static_cast<int>((textColor >> 8) & 0xFF),
              fb = static_cast<int>((textColor >> 16) & 0xFF);

    if (backMode == OPAQUE) {
        compat::win32::TextMetrics metrics;
        const int w = compat::win32::textWidth(text, length);
        if (w < 0 || !compat::win32::textMetrics(metrics))
            return false;
        const DWORD fill = pack(static_cast<int>(backColor & 0xFF), static_cast<int>((backColor >> 8) & 0xFF),
                                static_cast<int>((backColor >> 16) & 0xFF));
        for (int py = std::max(0, y); py < std::min<int>(height, y + metrics.height); ++py)
            for (int px = std::max(0, x); px < std::min<int>(width, x + w); ++px)
                store(px, py, fill);
    }
    return compat::win32::renderText(x, y, text, length, [&](int px, int py, int coverage) {
        if (px < 0 || py < 0 || px >= width || py >= height)
            return;
        const DWORD old = load(px, py);
        auto mix = [&](int from, int to) { return (from * (255 - coverage) + to * coverage + 127) / 255; };
        store(px, py, pack(mix(readChannel(old, red), fr), mix(readChannel(old, green), fg),
                           mix(readChannel(old, blue), fb)));
    });
}

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    if (dc == nullptr)
        return CLR_INVALID;
    const COLORREF old = dc->textColor;
    dc->textColor = colour & 0xFFFFFF;
    return old;
}

COLORREF GetTextColor(HDC dc) { return dc != nullptr ? dc->textColor : CLR_INVALID; }

COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    if (dc == nullptr)
        return CLR_INVALID;
    const COLORREF old = dc->backColor;
    dc->backColor = colour & 0xFFFFFF;
    return old;
}

COLORREF GetBkColor(HDC dc) { return dc != nullptr ? dc->backColor : CLR_INVALID; }

int SetBkMode(HDC dc, int mode)
{
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int old = dc->backMode;
    dc->backMode = mode;
    return old;
}

int GetBkMode(HDC dc) { return dc != nullptr ? dc->backMode : 0; }

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    if (dc == nullptr || text == nullptr || length < 0)
        return FALSE;
    return dc->drawText(x, y, text, length) ? TRUE : FALSE;
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* clip, LPCSTR text, UINT length, const int* dx)
{
    return TextOutA(dc, x, y, text, static_cast<int>(length));
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size)
{
    if (dc == nullptr || text == nullptr || size == nullptr || length < 0)
        return FALSE;
    compat::win32::TextMetrics metrics;
    const int w = compat::win32::textWidth(text, length);
    if (w < 0 || !compat::win32::textMetrics(metrics))
        return FALSE;
    size->cx = w;
    size->cy = metrics.height;
    return TRUE;
}
