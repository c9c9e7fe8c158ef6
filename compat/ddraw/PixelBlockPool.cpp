#include "compat/ddraw/PixelBlockPool.h"

#include <malloc.h>
#include <sys/mman.h>

#include <mutex>
#include <new>
#include <utility>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARRY_POOL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUARRY_POOL_ASAN 1
#endif
#ifdef QUARRY_POOL_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace compat::ddraw {

namespace {

// Below this, the C library reuses freed memory well by itself.
constexpr std::size_t smallestPooled = 64 * 1024;
// A few screens' worth: enough for a burst of pictures, little memory held back.
constexpr std::size_t poolBound = 16 * 1024 * 1024;
constexpr std::size_t mostBlocks = 16;

// A pooled block stays off limits (to the address sanitizer) until it is handed out again, so a
// pointer kept into a released surface is still caught.
void markIdle(std::uint8_t* block, std::size_t bytes)
{
#ifdef QUARRY_POOL_ASAN
    ASAN_POISON_MEMORY_REGION(block, bytes);
#else
    (void)block;
    (void)bytes;
#endif
}

void markInUse(std::uint8_t* block, std::size_t bytes)
{
#ifdef QUARRY_POOL_ASAN
    ASAN_UNPOISON_MEMORY_REGION(block, bytes);
#else
    (void)block;
    (void)bytes;
#endif
}

struct Pool {
    std::mutex mutex;
    std::vector<std::pair<std::size_t, PixelBlock>> blocks;
    std::size_t bytes = 0;
};

// Never destroyed: surfaces released during static destruction still find it.
Pool& pool()
{
    static Pool* instance = new Pool;
    return *instance;
}

} // namespace

void PixelBlockRelease::operator()(std::uint8_t* block) const
{
    if (mappedBytes != 0)
        munmap(block, mappedBytes);
    else
        delete[] block;
}

PixelBlock takePixelBlock(std::size_t bytes)
{
    if (bytes >= smallestPooled) {
        Pool& p = pool();
        PixelBlock block;
        {
            std::lock_guard<std::mutex> lock(p.mutex);
            for (auto it = p.blocks.begin(); it != p.blocks.end(); ++it) {
                if (it->first == bytes) {
                    block = std::move(it->second);
                    p.blocks.erase(it);
                    p.bytes -= bytes;
                    break;
                }
            }
        }
        if (block) {
            markInUse(block.get(), bytes);
            return block;
        }
    }
    return PixelBlock(new (std::nothrow) std::uint8_t[bytes]);
}

PixelBlock takeZeroedPixelBlock(std::size_t bytes)
{
    if (bytes < smallestPooled)
        return PixelBlock(new (std::nothrow) std::uint8_t[bytes]());
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return PixelBlock();
    return PixelBlock(static_cast<std::uint8_t*>(mapped), PixelBlockRelease{bytes});
}

void givePixelBlock(PixelBlock block, std::size_t bytes)
{
    if (!block || bytes < smallestPooled || block.get_deleter().mappedBytes != 0)
        return;
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (p.blocks.size() >= mostBlocks || p.bytes + bytes > poolBound)
        return;
    markIdle(block.get(), bytes);
    p.bytes += bytes;
    p.blocks.emplace_back(bytes, std::move(block));
}

void releaseIdlePixelBlocks()
{
    Pool& p = pool();
    {
        std::lock_guard<std::mutex> lock(p.mutex);
        for (auto& kept : p.blocks)
            markInUse(kept.second.get(), kept.first);
        p.blocks.clear();
        p.bytes = 0;
    }
    malloc_trim(0);
}

} // namespace compat::ddraw
