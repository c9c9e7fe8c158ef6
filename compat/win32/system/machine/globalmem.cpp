#include "compat/win32/system/machine/globalmem.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The handle points at this header; the caller's bytes follow it at the next aligned offset.
struct GlobalBlock {
    std::size_t size;
    int locks;
};

constexpr std::size_t headerBytes = (sizeof(GlobalBlock) + alignof(std::max_align_t) - 1) /
                                    alignof(std::max_align_t) * alignof(std::max_align_t);

GlobalBlock* blockOf(HGLOBAL handle)
{
    return static_cast<GlobalBlock*>(handle);
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    if (bytes > static_cast<std::size_t>(-1) - headerBytes)
        return nullptr;
    void* memory = (flags & GMEM_ZEROINIT) ? std::calloc(1, headerBytes + bytes)
                                           : std::malloc(headerBytes + bytes);
    if (memory == nullptr)
        return nullptr;
    auto* block = new (memory) GlobalBlock;
    block->size = bytes;
    block->locks = 0;
    return block;
}

LPVOID GlobalLock(HGLOBAL handle)
{
    if (handle == nullptr)
        return nullptr;
    GlobalBlock* block = blockOf(handle);
    ++block->locks;
    return static_cast<unsigned char*>(handle) + headerBytes;
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    if (handle == nullptr)
        return FALSE;
    GlobalBlock* block = blockOf(handle);
    if (block->locks > 0)
        --block->locks;
    return block->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL handle)
{
    return handle == nullptr ? 0 : blockOf(handle)->size;
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    std::free(handle);
    return nullptr;
}
