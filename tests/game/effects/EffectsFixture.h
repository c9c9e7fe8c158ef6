// The game fixture with the pictures, integers and text the field's effect sprites read.
#pragma once

#include "game/support/GameFixture.h"

namespace gamefixture {

constexpr std::uint32_t kBarRows[] = {0xFF0000, 0x00FF00, 0x0000FF};
constexpr int kArrowWidth = 10;
constexpr int kArrowFrameHeight = 12;
constexpr int kClearBonusY = 100;
constexpr int kShineWidth = 8;
constexpr int kShineHeight = 24;

class EffectsFixture : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        std::string layout = defaultLayout();
        layout.insert(layout.rfind("</Layout>"), R"xml(  <Integer id="INT_CLEAR_BONUS_YPOS">100</Integer>
  <String id="STRING_CLEAR_BONUS">100</String>
)xml");
        LayoutDocument::unloadAll();
        loadLayout(layout);
    }

    void addPictures() override
    {
        GameFixture::addPictures();
        // One colour per row: a floater's colour runs down it.
        SurfaceHolder* bar = addImage("IMAGE_FLOATER_COLOR_BAR", 1, 3, 0);
        for (int row = 0; row < 3; ++row)
            fillRect(bar->getSurface(), 0, row, 1, 1, kBarRows[row]);
        addImage("IMAGE_ARROW", kArrowWidth, 4 * kArrowFrameHeight, 0x00C0C000);
        addImage("IMAGE_WARNING", 12, 14, 0x00E0A000);
        // The band's mask: row r has the byte 10 * r + 1 (so a drawn row tells which mask row it came from).
        SurfaceHolder* band = addImage("IMAGE_SHINE_ALPHA", kShineWidth, kShineHeight, 0);
        for (int row = 0; row < kShineHeight; ++row)
            fillMap(band->getMask(), 0, row, kShineWidth, 1, static_cast<std::uint8_t>(10 * row + 1));
    }

    // Frames until the sprite leaves the canvas, at most `limit`.
    int framesUntilGone(Sprite* sprite, int limit = 1000)
    {
        int n = 0;
        while (sprite->getCanvas() && n < limit) {
            frame();
            ++n;
        }
        return n;
    }
};

} // namespace gamefixture
