// Pixel memory of released surfaces, kept for the next surface of the same size. The game makes its
// surfaces in bursts of equal sizes (a picture's source and display copies, every surface again after
// a lost display); handing a large block back to the C library lets it return the pages to the system,
// and the next surface then pays a page fault for every page it touches. A block is handed out as it
// is, not cleared: the surface clears it only when somebody would see what it held (many surfaces are
// written whole first, by a decoder or a converting copy). Small blocks, and blocks beyond the pool's
// bound, are simply freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace compat::ddraw {

// How a block goes back: to the C library, or unmapped when it was mapped (mappedBytes).
struct PixelBlockRelease {
    std::size_t mappedBytes = 0;
    void operator()(std::uint8_t* block) const;
};
using PixelBlock = std::unique_ptr<std::uint8_t[], PixelBlockRelease>;

// A block of `bytes` with undefined contents, reused when one of that size is pooled; null when memory runs out.
PixelBlock takePixelBlock(std::size_t bytes);
// A block that reads as zero from the start and whose pages take memory only when first written: for a
// surface much of which may never be drawn on (the primary is as large as the desktop, and the game
// draws only its window), which would otherwise be cleared whole. Null when memory runs out.
PixelBlock takeZeroedPixelBlock(std::size_t bytes);
// Keeps the block of `bytes` for reuse, or frees it (a zeroed block is never pooled).
void givePixelBlock(PixelBlock block, std::size_t bytes);
// Frees every block kept for reuse and hands the C library's free memory back to the system: for the
// end of a burst (a loading pass), after which the pictures it made are all the memory it needs.
void releaseIdlePixelBlocks();

} // namespace compat::ddraw
