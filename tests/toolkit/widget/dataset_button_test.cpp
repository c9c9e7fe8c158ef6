// A caption button drawn with the game's own small font, as the data set stages it: the ink lands in
// the centred caption box, in the state's colour, and moves by the pressed offset.
#include "platform/catalogue/ResourceDescriptor.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/PixelFontButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

const std::filesystem::path runDir = QUARRY_RUN_DIR;

// The attributes and character list of one "Font" entry of the staged property file.
struct FontEntry {
    int charSpace = 0;
    int spaceWidth = 0;
    std::string characters;
};

FontEntry readFontEntry(const std::string& id)
{
    std::ifstream in(runDir / "properties" / "default.uprop", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    FontEntry entry;
    const std::size_t start = all.find("<Font id=\"" + id + "\"");
    const std::size_t end = all.find("</Font>", start);
    if (start == std::string::npos || end == std::string::npos)
        return entry;
    const std::string block = all.substr(start, end - start);
    const auto number = [&](const std::string& name) {
        const std::size_t at = block.find(name + "=\"");
        return at == std::string::npos ? 0 : std::atoi(block.c_str() + at + name.size() + 2);
    };
    entry.charSpace = number("charspace");
    entry.spaceWidth = number("spacewidth");
    const std::size_t open = block.find("<Characters>");
    const std::size_t close = block.find("</Characters>");
    if (open != std::string::npos && close != std::string::npos)
        entry.characters = block.substr(open + 12, close - open - 12);
    return entry;
}

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

class DataSetButtonTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        catalogue = std::make_unique<ResourceManager>(0);
        Held<ImageDescriptor> picture(new ImageDescriptor("IMAGE_FONT_SMALL"));
        picture->imageFile = (runDir / "fonts" / "small.png").string();
        picture->maskFile = (runDir / "fonts" / "small_mask.png").string();
        picture->load(nullptr);
        const FontEntry entry = readFontEntry("FONT_SMALL");
        ASSERT_FALSE(entry.characters.empty()) << "no FONT_SMALL entry in the staged property file";
        Held<FontDescriptor> font(new FontDescriptor("FONT_SMALL"));
        font->surfaceId = "IMAGE_FONT_SMALL";
        font->characters = entry.characters;
        font->charSpace = entry.charSpace;
        font->spaceWidth = entry.spaceWidth;
        font->load(nullptr);
        small = ResourceManager::getFont("FONT_SMALL");
        ASSERT_NE(small, nullptr);
    }
    void TearDown() override
    {
        catalogue.reset();
        DisplayTest::TearDown();
    }

    // The box of the pixels whose colour leans to `hue` (every other pixel must be black).
    Box inkBox(Surface* target, std::uint32_t hue)
    {
        Box box;
        const int w = static_cast<int>(target->getDesc().width), h = static_cast<int>(target->getDesc().height);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t pixel = peek(target, x, y) & 0xFFFFFF;
                if (pixel == 0)
                    continue;
                EXPECT_EQ(pixel & ~hue, 0u) << "a pixel of another colour at " << x << "," << y;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
        }
        return box;
    }

    std::unique_ptr<ResourceManager> catalogue;
    BitmapFont* small = nullptr;
};

TEST_F(DataSetButtonTest, CaptionInTheGamesFontIsCentredColouredAndPressed)
{
    Held<PixelFontButton> button(new PixelFontButton);
    button->setBounds(3, 2, 64, 24);
    button->setFont(small);
    button->setText("OK");
    button->setColorDraw(true);
    button->setStateColor(ButtonBlit::StateNormal, 0xFF0000);
    button->setStateColor(ButtonBlit::StatePressed, 0x00FF00);
    DirectDrawSurface* target = make32(72, 30);
    const int tw = small->measureMarkup("OK"), fh = small->getLineHeight();
    const int tx = 3 + 64 / 2 - tw / 2, ty = 2 + 24 / 2 - fh / 2;

    target->fill(0);
    button->draw(target);
    const Box normal = inkBox(target, 0xFF0000);
    ASSERT_FALSE(normal.empty()) << "the caption left no ink";
    EXPECT_GE(normal.left, tx);
    // The pen advance ends one (negative) character spacing short of the last glyph's ink.
    EXPECT_LT(normal.right, tx + tw - std::min(small->getCharSpacing(), 0));
    EXPECT_GE(normal.top, ty);
    EXPECT_LT(normal.bottom, ty + fh);
    // Centred: the ink's margins inside the button differ by the glyphs' own side bearings only.
    EXPECT_LE(std::abs((normal.left - 3) - (3 + 64 - 1 - normal.right)), 4);

    button->setState(ButtonBlit::StatePressed);
    target->fill(0);
    button->draw(target);
    const Box pressed = inkBox(target, 0x00FF00);
    EXPECT_EQ(pressed.left, normal.left + 1);
    EXPECT_EQ(pressed.top, normal.top + 1);
    EXPECT_EQ(pressed.right, normal.right + 1);
    EXPECT_EQ(pressed.bottom, normal.bottom + 1);
}

} // namespace
