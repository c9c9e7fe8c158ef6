// The GDI objects this library hands out (fonts and bitmaps), for the files that look behind their
// handles. Private to compat/win32.
#pragma once

#include "compat/win32/window/controls.h"

#include <mutex>

namespace compat::win32::detail {

struct GdiObject {
    enum Kind { Font, Bitmap } kind = Font;
    LOGFONTA font{};
    int width = 0;
    int height = 0;
};

extern std::mutex& gdiMutex;

bool isStock(const void* object);

// The object behind a handle, or null; call with gdiMutex held.
const GdiObject* lookup(const void* handle);

} // namespace compat::win32::detail
