// Decoding image files onto new surfaces, into 8-bit mask maps, or into a Windows bitmap. With no
// archive, or one that does not hold the file, the file comes from disk; otherwise its bytes come from
// the archive and are decoded from memory. Decode failures go to the debug log and give null.
#pragma once

#include "compat/ddraw/ddraw.h"

#include <string>

class Archive;
class Buffer;
class DirectDrawSurface;
class MemorySurface;
class PLDibBitmap;
class SurfaceDesc;

// A new surface (reference count 0) of `desc` holding the picture, or null. The description takes
// the picture's width and height; the surface gets the description's colour key.
DirectDrawSurface* loadImageFromArchiveOrFile(IDirectDraw4* directDraw, Archive* archive, const std::string& fileName,
                                              SurfaceDesc& desc);
DirectDrawSurface* decodeImageFromMemory(IDirectDraw4* directDraw, const Buffer& buffer, SurfaceDesc& desc);
DirectDrawSurface* decodeImageFromFile(IDirectDraw4* directDraw, const std::string& fileName, SurfaceDesc& desc);

// Whether surfaces in the display's format hold 32-bit DIB rows as they are (X8R8G8B8 or A8R8G8B8).
bool displayTakesDibRows(IDirectDraw4* directDraw);
// On such a display: a new surface of `desc`, in the display's format (the description gives none),
// holding the picture as converting its decoded A8R8G8B8 pixels into that format would; null when the
// file cannot be decoded.
DirectDrawSurface* decodeImageForDisplay(IDirectDraw4* directDraw, const std::string& fileName, SurfaceDesc& desc);
// A new mask map (reference count 0) holding each pixel's blue channel as its coverage, or null.
MemorySurface* loadSurfaceFromArchiveOrFile(IDirectDraw4* directDraw, Archive* archive, const std::string& fileName);
MemorySurface* decodeMaskFromMemory(IDirectDraw4* directDraw, const Buffer& buffer);
MemorySurface* decodeMaskFromFile(IDirectDraw4* directDraw, const std::string& fileName);

// Fills `bitmap` with the picture in the file's own depth; a decode failure throws GameTextException
// (code 0) with the decoder's text.
void loadDibFromArchiveOrFile(Archive* archive, const std::string& fileName, PLDibBitmap& bitmap);
void decodeDibFromMemory(const Buffer& buffer, PLDibBitmap& bitmap);
void decodeDibFromFile(const std::string& fileName, PLDibBitmap& bitmap);

// The A8R8G8B8 description in system memory into which sources and masks are decoded.
SurfaceDesc sourceImageDesc();
