// Global memory blocks: handles to heap blocks that are locked to reach their bytes.
#pragma once

#include <cstddef>

#include "compat/win32/base.h"

using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_SHARE = 0x2000;

// Null when the block cannot be allocated.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
// Null on success, the handle itself on failure.
HGLOBAL GlobalFree(HGLOBAL block);
