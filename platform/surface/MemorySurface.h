// An 8-bit byte map: one byte of coverage or alpha per pixel, read without locking.
#pragma once

#include "platform/surface/Surface.h"

#include <memory>

class MemorySurface : public Surface {
public:
    // The bytes are not cleared. pixels() is null when the buffer could not be had.
    explicit MemorySurface(const SurfaceDesc& desc);

    void* pixels() override { return buffer.get(); }
    // Fills the whole map with the colour packed for a byte map (the OR of its four bytes).
    HRESULT fill(std::uint32_t colour) override;

private:
    std::unique_ptr<std::uint8_t[]> buffer;
};
