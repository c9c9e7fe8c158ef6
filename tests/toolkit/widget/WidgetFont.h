// A test font whose every character, the space included, advances exactly 5 pixels: glyphs 4 x 5
// with a character spacing of 1, so a text of n characters measures 5n and the font height is 5.
// The picture's ink is `ink`, fully covered by its mask map.
#pragma once

#include "platform/font/FontTestSupport.h"

#include <string>

class WidgetFontTest : public FontTest {
protected:
    static constexpr std::uint32_t ink = 0x00F00000;
    static constexpr const char* characters = "abcdefghijklmnopqrstuvwxyz.";

    void SetUp() override
    {
        FontTest::SetUp();
        const int count = static_cast<int>(std::string(characters).size());
        const int width = 2 + count * 5;
        SurfaceHolder* holder = picture(width, 7);
        MemorySurface* map = addMask(holder, width, 7);
        paint(map, 0, 5, 1, 1, 0xFF);
        for (int i = 0; i < count; ++i) {
            paint(holder->getSurface(), 2 + 5 * i, 0, 4, 5, ink);
            paint(map, 2 + 5 * i, 0, 4, 5, 0xFF);
        }
        uniform = font(holder, characters);
    }

    BitmapFont* uniform = nullptr;
};
