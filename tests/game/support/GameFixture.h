// A small, headless game world for the game-play tests: a fresh display, a resource catalogue of tiny
// pictures made in the test, a layout document of the integers and points the blocks and levels read,
// the virtual millisecond clock, a seeded program-wide Random, a canvas with the play screen's layer
// markers, and a level of a chosen geometry that needs no level element.
//
// Pictures are solid colours so that a pixel tells where it came from: the block sheet's cell of block
// set s and colour c is sheetPixel(s, c, selected), its mask byte sheetMaskByte(s, c); icons are solid
// iconPixel(type) with a full mask. Block cells are kBlockSize pixels square.
#pragma once

#include "compat/win32/system/machine/timer.h"
#include "game/block/Block.h"
#include "game/level/Level.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"
#include "support/TempDir.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace gamefixture {

constexpr int kBlockSize = 16;
// Columns of the block sheets: block sets 0 and 1 exist, 2 lies beyond the sheet.
constexpr int kBlockSets = 2;
constexpr int kLevelX = 40;
constexpr int kLevelY = 24;
constexpr int kColumns = 6;
constexpr int kRows = 5;
constexpr int kFadeSteps = 4;
constexpr int kRainbowChangeTime = 10; // frame units: 200 ms
constexpr int kIconFrames = 2;         // every icon picture holds two frames stacked vertically
constexpr std::uint32_t kFontInk = 0x00F00000;

// The integers, points and rectangles the blocks, effects and levels read.
inline const char* defaultLayout()
{
    return R"xml(<Layout>
  <Integer id="INT_GAME_WIDTH">640</Integer>
  <Integer id="INT_GAME_HEIGHT">480</Integer>
  <Integer id="INT_DEBUG_ENDLESS_NUM_FADE_STEPS">4</Integer>
  <Integer id="INT_BLOCK_RAINBOW_CHANGE_TIME">10</Integer>
  <Integer id="INT_GOLD_ICON_FRAME_COUNT">2</Integer>
  <Integer id="INT_TREASURE_ICON_FRAME_COUNT">2</Integer>
  <Integer id="INT_TOOL_ICON_FRAME_COUNT">2</Integer>
  <Integer id="INT_BLOCK_GOLD_XOFFSET">1</Integer>
  <Integer id="INT_BLOCK_GOLD_YOFFSET">2</Integer>
  <Integer id="INT_BLOCK_TREASURE_XOFFSET">-1</Integer>
  <Integer id="INT_BLOCK_TREASURE_YOFFSET">0</Integer>
  <Integer id="INT_BLOCK_DYNAMITE_XOFFSET">2</Integer>
  <Integer id="INT_BLOCK_DYNAMITE_YOFFSET">-2</Integer>
  <Integer id="INT_BLOCK_PICKAXE_XOFFSET">0</Integer>
  <Integer id="INT_BLOCK_PICKAXE_YOFFSET">1</Integer>
  <Integer id="INT_BLOCK_SHOVEL_XOFFSET">3</Integer>
  <Integer id="INT_BLOCK_SHOVEL_YOFFSET">0</Integer>
  <Integer id="INT_BLOCK_HAMMER_XOFFSET">-2</Integer>
  <Integer id="INT_BLOCK_HAMMER_YOFFSET">-1</Integer>
  <Integer id="INT_BLOCK_BUCKET_XOFFSET">1</Integer>
  <Integer id="INT_BLOCK_BUCKET_YOFFSET">1</Integer>
  <Integer id="INT_BLOCK_HOURGLASS_XOFFSET">0</Integer>
  <Integer id="INT_BLOCK_HOURGLASS_YOFFSET">-3</Integer>
  <Integer id="INT_BLOCK_TNT_XOFFSET">2</Integer>
  <Integer id="INT_BLOCK_TNT_YOFFSET">2</Integer>
  <Integer id="INT_NR_OF_SPARKLE_FRAMES">4</Integer>
  <Integer id="INT_SPARKLE_ALPHA">200</Integer>
  <Point id="POINT_PIPE_SHIFT_POS" x="300" y="100"/>
  <Point id="POINT_PIPE_DROP_POS" x="500" y="200"/>
  <Rectangle id="RECT_TEMP_BLOCK_CLIP_RECT_CLASSIC" x="400" y="50" width="200" height="300"/>
</Layout>)xml";
}

// The picture of cell (set, colour) of "IMAGE_BLOCKS" (or its "_SELECTED" variant).
inline std::uint32_t sheetPixel(int set, int colour, bool selected)
{
    return 0x100000u * static_cast<std::uint32_t>(set + 1) + 0x1000u * static_cast<std::uint32_t>(colour + 1) +
           (selected ? 0x80u : 0x10u);
}

inline std::uint8_t sheetMaskByte(int set, int colour)
{
    return static_cast<std::uint8_t>(0xA0 + 8 * colour + set);
}

// "IMAGE_BLOCK_BACK_COLOR" cells: the same layout, another colour family.
inline std::uint32_t backColourPixel(int set, int colour, bool selected)
{
    return sheetPixel(set, colour, selected) | 0x08u;
}

inline std::uint32_t plainPixel(const std::string& id)
{
    std::uint32_t h = 0x2A;
    for (char c : id)
        h = h * 31u + static_cast<unsigned char>(c);
    // Never black, so a drawn pixel always differs from an empty one.
    return (h & 0x7F7F7F) | 0x010101;
}

// A level with a fixed geometry (this fixture's unless given) and colour ratios, set up without a level
// element.
class TestLevel : public Level {
public:
    TestLevel(int x = kLevelX, int y = kLevelY, int columns = kColumns, int rows = kRows, int cell = kBlockSize)
    {
        setPosition(x, y);
        bounds.width = columns;
        bounds.height = rows;
        blockWidth = cell;
        blockHeight = cell;
        grid.resize(columns, rows);
        for (int& ratio : colourRatio)
            ratio = 1;
    }

    void extendLevel(int) override {}
    void createInitialLines() override {}
    Block* createNextBlock(int x, int y) override { return new Block(this, x, y, BlockTypeColour, 0, 1, true); }
    void insertRow() override {}
    double scrollRemainder() override { return remainder; }

    void setColourRatios(const std::array<int, 5>& ratios)
    {
        for (int c = 0; c < 5; ++c)
            colourRatio[c] = ratios[static_cast<std::size_t>(c)];
    }
    // The count only; the blocks learn it from setCell.
    void setShakingRowCount(int n) { shakingRows = n; }

    double remainder = 0.0;
};

class GameFixture : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        compat::testing::useVirtualClock(true, 1000);
        Random::global().setSeed(20261211);
        Block::setBlockSet(0);
        catalogue = new ResourceManager(0);
        addPictures();
        font = makeDigitFont();
        catalogue->storeFont("FONT_MUL", font);
        loadLayout(defaultLayout());
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
    }

    void TearDown() override
    {
        for (Sprite* sprite : sprites)
            sprite->release();
        sprites.clear();
        canvas->release();
        LayoutDocument::unloadAll();
        delete catalogue;
        for (BitmapFont* made : fonts)
            made->release();
        fonts.clear();
        Block::setBlockSet(0);
        compat::testing::useVirtualClock(false);
        DisplayTest::TearDown();
    }

    void loadLayout(const std::string& text)
    {
        const std::string path = dir.file("layout.xml");
        std::ofstream(path) << text;
        ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, path));
    }

    // A solid picture with a mask of one byte value, stored under the identifier.
    SurfaceHolder* addImage(const std::string& id, int width, int height, std::uint32_t pixel,
                            std::uint8_t maskByte = 0xFF)
    {
        auto* holder = new SurfaceHolder;
        holder->addRef();
        DirectDrawSurface* surface = make32(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
        surface->fill(pixel);
        holder->setSurface(surface);
        MemorySurface* map = makeMap(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
        std::memset(map->pixels(), maskByte, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        holder->setMask(map);
        holder->getOptions()->flags |= BlitOptions::BlendMask;
        catalogue->storeImage(id, holder);
        holder->release();
        return holder;
    }

    // A sheet of kBlockSets columns by 5 colour rows.
    void addSheet(const std::string& id, std::uint32_t (*pixel)(int, int, bool), bool selected)
    {
        SurfaceHolder* holder = addImage(id, kBlockSize * kBlockSets, kBlockSize * 5, 0);
        for (int set = 0; set < kBlockSets; ++set)
            for (int c = 0; c < 5; ++c) {
                fillRect(holder->getSurface(), set * kBlockSize, c * kBlockSize, kBlockSize, kBlockSize,
                         pixel(set, c, selected));
                fillMap(holder->getMask(), set * kBlockSize, c * kBlockSize, kBlockSize, kBlockSize,
                        selected ? 0x11 : sheetMaskByte(set, c));
            }
    }

    // Icons are 6 pixels wide with kIconFrames frames of 6 rows; the bucket holds one 6-pixel cell per
    // colour.
    virtual void addPictures()
    {
        addSheet("IMAGE_BLOCKS", sheetPixel, false);
        addSheet("IMAGE_BLOCKS_SELECTED", sheetPixel, true);
        addSheet("IMAGE_BLOCK_BACK_COLOR", backColourPixel, false);
        addSheet("IMAGE_BLOCK_BACK_COLOR_SELECTED", backColourPixel, true);
        for (const char* id : {"IMAGE_BLOCKER", "IMAGE_BLOCK_BACK_BLACK"}) {
            addImage(id, kBlockSize, kBlockSize, plainPixel(id), 0xC0);
            addImage(std::string(id) + "_SELECTED", kBlockSize, kBlockSize, plainPixel(std::string(id) + "_SELECTED"),
                     0x11);
        }
        for (const char* id : {"IMAGE_GOLD", "IMAGE_GOLD_SELECTED", "IMAGE_BLOCK_TREASURE",
                               "IMAGE_BLOCK_TREASURE_SELECTED", "IMAGE_BLOCK_DYNAMITE", "IMAGE_BLOCK_PICKAXE",
                               "IMAGE_BLOCK_SHOVEL", "IMAGE_BLOCK_HAMMER", "IMAGE_BLOCK_HOURGLASS", "IMAGE_BLOCK_TNT"})
            addImage(id, 6, 6 * kIconFrames, plainPixel(id), 0xF0);
        // The bucket: five cells of 6 pixels, one per colour.
        for (const char* id : {"IMAGE_BLOCK_BUCKET", "IMAGE_BLOCK_BUCKET_SELECTED"}) {
            SurfaceHolder* bucket = addImage(id, 30, 6 * kIconFrames, 0, 0xF0);
            for (int c = 0; c < 5; ++c)
                fillRect(bucket->getSurface(), 6 * c, 0, 6, 6 * kIconFrames,
                         bucketPixel(c, id != std::string("IMAGE_BLOCK_BUCKET")));
        }
        addImage("IMAGE_SPARKLE_BIG_ALPHA", 8, 32, 0xFFFFFF, 0xFF);
    }

    static std::uint32_t bucketPixel(int colour, bool selected)
    {
        return 0x300000u + 0x100u * static_cast<std::uint32_t>(colour + 1) + (selected ? 0x80u : 0u);
    }

    // Digits and "x": glyphs 4 x 5 of kFontInk, one pixel apart, so a text of n characters measures 5n.
    BitmapFont* makeDigitFont()
    {
        const std::string characters = "x0123456789";
        const int count = static_cast<int>(characters.size());
        const int width = 2 + count * 5;
        auto* holder = new SurfaceHolder;
        holder->addRef();
        DirectDrawSurface* surface = make32(static_cast<std::uint32_t>(width), 7);
        surface->fill(0);
        holder->setSurface(surface);
        MemorySurface* map = makeMap(static_cast<std::uint32_t>(width), 7);
        std::memset(map->pixels(), 0, static_cast<std::size_t>(width) * 7);
        holder->setMask(map);
        holder->getOptions()->flags |= BlitOptions::BlendMask;
        fillMap(map, 0, 5, 1, 1, 0xFF);
        for (int i = 0; i < count; ++i) {
            fillRect(surface, 2 + 5 * i, 0, 4, 5, kFontInk);
            fillMap(map, 2 + 5 * i, 0, 4, 5, 0xFF);
        }
        auto* made = new BitmapFont(holder, characters);
        made->addRef();
        holder->release();
        fonts.push_back(made);
        return made;
    }

    static void fillRect(Surface* surface, int x, int y, int width, int height, std::uint32_t value)
    {
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                poke(surface, column, row, value);
    }

    static void fillMap(Surface* map, int x, int y, int width, int height, std::uint8_t value)
    {
        auto* bytes = static_cast<std::uint8_t*>(map->pixels());
        const int pitch = static_cast<int>(map->getDesc().pitch ? map->getDesc().pitch : map->getDesc().width);
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                bytes[row * pitch + column] = value;
    }

    static std::uint8_t mapByte(Surface* map, int x, int y)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(map->pixels());
        const int pitch = static_cast<int>(map->getDesc().pitch ? map->getDesc().pitch : map->getDesc().width);
        return bytes[y * pitch + x];
    }

    // Layer markers in drawing order, as the play screen lists them.
    void addLayers(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            auto* marker = new Sprite(0, 0, 0, 0);
            marker->setName(name);
            canvas->addSprite(marker);
        }
    }

    // One frame of `ms` milliseconds on the canvas (20 ms is one nominal frame), with the clock moved
    // along.
    void frame(int ms = 20)
    {
        compat::testing::advanceClock(static_cast<DWORD>(ms));
        canvas->update(static_cast<float>(ms) / 1000.0f, ms, 50.0f);
    }

    // Held for the test's length.
    template <class T> T* keep(T* sprite)
    {
        sprite->addRef();
        sprites.push_back(sprite);
        return sprite;
    }

    TestLevel* makeLevel() { return keep(new TestLevel); }

    testsupport::TempDir dir;
    ResourceManager* catalogue = nullptr;
    SpriteCanvas* canvas = nullptr;
    BitmapFont* font = nullptr;
    // Held until the catalogue is gone.
    std::vector<BitmapFont*> fonts;
    std::vector<Sprite*> sprites;
};

} // namespace gamefixture
