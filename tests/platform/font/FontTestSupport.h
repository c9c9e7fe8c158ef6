// Glyph pictures built in test code: a surface with optional mask map, held by a SurfaceHolder.
#pragma once

#include "platform/surface/SurfaceTestSupport.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/SurfaceHolder.h"

#include <cstdint>
#include <string>

class FontTest : public DisplayTest {
protected:
    void TearDown() override
    {
        for (RefCounted* object : objects)
            object->release();
        DisplayTest::TearDown();
    }

    // A 32-bit picture, cleared to 0, in a new holder.
    SurfaceHolder* picture(int width, int height)
    {
        auto* holder = keep(new SurfaceHolder);
        DirectDrawSurface* surface = make32(width, height);
        surface->fill(0);
        holder->setSurface(surface);
        return holder;
    }

    // Gives the picture a mask map cleared to 0 and asks the holder to blend through it.
    MemorySurface* addMask(SurfaceHolder* holder, int width, int height)
    {
        MemorySurface* map = makeMap(width, height);
        std::memset(map->pixels(), 0, static_cast<std::size_t>(width) * height);
        holder->setMask(map);
        holder->getOptions()->flags |= BlitOptions::BlendMask;
        return map;
    }

    BitmapFont* font(SurfaceHolder* holder, const std::string& characters)
    {
        return keep(new BitmapFont(holder, characters));
    }

    template <class T> T* keep(T* object)
    {
        object->addRef();
        objects.push_back(object);
        return object;
    }

    std::vector<RefCounted*> objects;
};

// Sets the bytes of a mask map inside a rectangle.
inline void paint(MemorySurface* map, int x, int y, int width, int height, std::uint8_t value)
{
    auto* bytes = static_cast<std::uint8_t*>(map->pixels());
    const int pitch = static_cast<int>(map->getDesc().width);
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            bytes[row * pitch + column] = value;
}

// Sets the native pixels of a surface inside a rectangle.
inline void paint(Surface* surface, int x, int y, int width, int height, std::uint32_t value)
{
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            poke(surface, column, row, value);
}
