// Fonts and bitmaps as handles, the stock fonts, what a device context has selected, and the text
// metrics and coordinate calls the game makes on a device context.
#include "compat/win32/window/gdi_objects.h"

#include "compat/win32/gdi/text.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

using namespace compat::win32::detail;

namespace {

std::set<const GdiObject*>& liveObjects = *new std::set<const GdiObject*>;
std::map<HDC, HGDIOBJ>& selected = *new std::map<HDC, HGDIOBJ>;

GdiObject makeStockFont(const char* face)
{
    GdiObject o;
    o.kind = GdiObject::Font;
    o.font.lfWeight = FW_NORMAL;
    std::strncpy(o.font.lfFaceName, face, LF_FACESIZE - 1);
    return o;
}

GdiObject systemFixedFont = makeStockFont("Fixedsys");
GdiObject defaultGuiFont = makeStockFont("MS Shell Dlg");

} // namespace

namespace compat::win32::detail {

std::mutex& gdiMutex = *new std::mutex; // never destroyed: late threads may still free objects

bool isStock(const void* object) { return object == &systemFixedFont || object == &defaultGuiFont; }

// The object behind a handle, or null; call with gdiMutex held.
const GdiObject* lookup(const void* handle)
{
    if (isStock(handle))
        return static_cast<const GdiObject*>(handle);
    auto found = liveObjects.find(static_cast<const GdiObject*>(handle));
    return found != liveObjects.end() ? *found : nullptr;
}

} // namespace compat::win32::detail

HGDIOBJ GetStockObject(int index)
{
    switch (index) {
    case SYSTEM_FIXED_FONT: return &systemFixedFont;
    case DEFAULT_GUI_FONT: return &defaultGuiFont;
    default: return nullptr;
    }
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (font == nullptr)
        return nullptr;
    auto* o = new GdiObject;
    o->kind = GdiObject::Font;
    o->font = *font;
    o->font.lfFaceName[LF_FACESIZE - 1] = '\0';
    std::lock_guard<std::mutex> lock(gdiMutex);
    liveObjects.insert(o);
    return reinterpret_cast<HFONT>(o);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width < 0 || height < 0)
        return nullptr;
    auto* o = new GdiObject;
    o->kind = GdiObject::Bitmap;
    o->width = width;
    o->height = height;
    std::lock_guard<std::mutex> lock(gdiMutex);
    liveObjects.insert(o);
    return reinterpret_cast<HBITMAP>(o);
}

BOOL DeleteObject(HGDIOBJ object)
{
    std::lock_guard<std::mutex> lock(gdiMutex);
    if (object == nullptr || isStock(object))
        return object != nullptr ? TRUE : FALSE;
    auto found = liveObjects.find(static_cast<const GdiObject*>(object));
    if (found == liveObjects.end())
        return FALSE;
    for (auto& entry : selected)
        if (entry.second == object)
            entry.second = nullptr;
    delete *found;
    liveObjects.erase(found);
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer)
{
    std::lock_guard<std::mutex> lock(gdiMutex);
    const GdiObject* o = lookup(object);
    if (o == nullptr || o->kind != GdiObject::Font)
        return 0;
    if (buffer == nullptr)
        return static_cast<int>(sizeof(LOGFONTA));
    const int n = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
    if (n <= 0)
        return 0;
    std::memcpy(buffer, &o->font, static_cast<std::size_t>(n));
    return n;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    if (dc == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> lock(gdiMutex);
    if (lookup(object) == nullptr)
        return nullptr;
    HGDIOBJ& slot = selected[dc];
    HGDIOBJ old = slot != nullptr ? slot : static_cast<HGDIOBJ>(&defaultGuiFont);
    slot = object;
    return old;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics)
{
    compat::win32::TextMetrics m;
    if (dc == nullptr || metrics == nullptr || !compat::win32::textMetrics(m))
        return FALSE;
    const int x = compat::win32::textWidth("x", 1);
    const int w = compat::win32::textWidth("W", 1);
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.height - m.ascent;
    metrics->tmExternalLeading = 0;
    metrics->tmAveCharWidth = std::max(0, x);
    metrics->tmMaxCharWidth = std::max(0, w);
    metrics->tmWeight = FW_NORMAL;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFF;
    metrics->tmDefaultChar = '?';
    metrics->tmBreakChar = ' ';
    return TRUE;
}

BOOL GetTextExtentPointA(HDC dc, LPCSTR text, int length, SIZE* size)
{
    return GetTextExtentPoint32A(dc, text, length, size);
}

int SetGraphicsMode(HDC dc, int mode)
{
    return dc != nullptr && (mode == GM_COMPATIBLE || mode == GM_ADVANCED) ? GM_COMPATIBLE : 0;
}

BOOL ModifyWorldTransform(HDC dc, const XFORM* transform, DWORD mode)
{
    return dc != nullptr && mode == MWT_IDENTITY ? TRUE : FALSE;
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old)
{
    if (dc == nullptr)
        return FALSE;
    if (old != nullptr)
        *old = POINT{0, 0};
    return TRUE;
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) { return SetViewportOrgEx(dc, x, y, old); }

BOOL DPtoLP(HDC dc, POINT* points, int count) { return dc != nullptr && points != nullptr && count >= 0; }

namespace compat::testing {

int liveGdiObjects()
{
    std::lock_guard<std::mutex> lock(gdiMutex);
    return static_cast<int>(liveObjects.size());
}

} // namespace compat::testing
