// The program's unit of pixel memory: a reference-counted, restorable object with a name and a
// description. The rasteriser reaches the pixels through lock(), pixels() and unlock().
#pragma once

#include "compat/win32/base.h"
#include "platform/surface/Restorable.h"
#include "platform/surface/SurfaceDesc.h"
#include "runtime/RefCounted.h"

#include <cstdint>
#include <string>

class Surface : public RefCounted, public Restorable {
public:
    // A copy of the description, with the pitch computed for 16- and 32-bit formats.
    explicit Surface(const SurfaceDesc& desc);
    ~Surface() override = default;

    // Valid between lock() and unlock() (memory surfaces: always).
    virtual void* pixels() = 0;
    virtual HRESULT lock() { return S_OK; }
    // lock() for a caller that writes every pixel before anybody reads one: what the surface held
    // need not be kept.
    virtual HRESULT lockToOverwrite() { return lock(); }
    virtual void unlock() {}
    virtual HRESULT restore() { return S_OK; }
    virtual HRESULT recreate() { return S_OK; }
    virtual std::uint32_t isWrapped() const { return wrapped; }
    virtual HRESULT fill(std::uint32_t value) { return S_OK; }
    // colour (0xAARRGGBB) or null to remove the key.
    virtual void setColorKey(const std::uint32_t* colour) { description.setColorKey(colour); }
    virtual void setColorKeyValue(std::uint32_t colour) { description.setColorKeyValue(colour); }
    virtual std::string getName() const { return name; }
    virtual void setName(const std::string& newName) { name = newName; }

    SurfaceDesc& getDesc() { return description; }
    const SurfaceDesc& getDesc() const { return description; }

    // One pixel's native value; 0 when the point lies outside the surface or the lock fails.
    static std::uint32_t getPixel(Surface* surface, int x, int y);
    // Moves every pixel of the rectangle (clipped to the surface) toward its grey level.
    static HRESULT blendRect(Surface* surface, int x, int y, int width, int height, float factor);

protected:
    Surface() = default;

    std::string name;
    SurfaceDesc description;
    std::uint32_t wrapped = 0;
};
