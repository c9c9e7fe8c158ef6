// Which DirectX release is installed: asked of the DxDiag provider first, then read from the file
// versions of system libraries.
#pragma once

#include "compat/win32/base.h"

#include <cstdint>

// number: major << 16 | minor << 8 | letter (0 none, 1 to 26 for "a" to "z"); text: "9.0c".
// Both optional; cleared first. E_FAIL when no version was found.
HRESULT getDirectXVersionInfo(DWORD* number, char* text, int capacity);
// major << 8 | minor (0x600 for 6.0); 0 when nothing was found.
std::uint32_t getDirectXVersion();

// letter: the version letter in lower case, or 0 for none.
HRESULT queryDxDiag(DWORD* major, DWORD* minor, char* letter);
// Always 0; the version is 0.0 without a letter (a blank) when no library matched.
HRESULT probeFiles(DWORD* major, DWORD* minor, char* letter);

// The fixed file version: dwFileVersionMS in the high half, dwFileVersionLS in the low half.
HRESULT getFileVersion(const char* path, std::uint64_t* version);
std::uint64_t makeVersion64(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);
// 1 when x > y, -1 when x < y, 0 when equal.
int compareVersion64(std::uint64_t x, std::uint64_t y);
