// Helpers of the level tests: classic levels built from a small level element written in the test, a
// property store for the values the generator reads, grids written as text, and a play field double that
// records what the level removes.
//
// Grid text: one line per row, top row first, one character per cell:
//   .  empty              R G B Y P  colour blocks of colour 0 to 4
//   $  gold               #  blocker             T  treasure (treasure 0)
//   o  bomb               c  colour bomb         l  line bomb      h  hammer
//   u  bucket             g  hourglass           r  rainbow        x  tnt
// Colour bombs, buckets and rainbows have colour 0 (the colour of R).
#pragma once

#include "game/block/Block.h"
#include "game/level/ClassicLevel.h"
#include "game/level/Level.h"
#include "game/support/GameFixture.h"
#include "platform/app/Application.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/RefCounted.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace leveltest {

inline int typeOfCode(char code)
{
    switch (code) {
    case 'R': case 'G': case 'B': case 'Y': case 'P': return BlockTypeColour;
    case '$': return BlockTypeGold;
    case '#': return BlockTypeBlocker;
    case 'T': return BlockTypeTreasure;
    case 'o': return BlockTypeBomb;
    case 'c': return BlockTypeColorBomb;
    case 'l': return BlockTypeLineBomb;
    case 'h': return BlockTypeHammer;
    case 'u': return BlockTypeBucket;
    case 'g': return BlockTypeHourglass;
    case 'r': return BlockTypeRainbow;
    case 'x': return BlockTypeTnt;
    default: return BlockTypeNone;
    }
}

inline int colourOfCode(char code)
{
    const std::string colours = "RGBYP";
    const auto at = colours.find(code);
    return at == std::string::npos ? 0 : static_cast<int>(at);
}

inline char codeOf(const Block* block)
{
    if (!block)
        return '.';
    const char* codes = "?.$#To.lhugrx";
    if (block->getType() == BlockTypeColour)
        return "RGBYP"[block->getColour() % 5];
    if (block->getType() == BlockTypeColorBomb)
        return 'c';
    return codes[block->getType()];
}

inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Records every block the level hands to the play field, keeps it alive as the canvas would, and does
// what the play field does: state removing, one more removal running.
class RecordingRemover : public BlockRemover {
public:
    struct Entry {
        int x, y, delay;
        bool operator==(const Entry& o) const { return x == o.x && y == o.y && delay == o.delay; }
    };

    explicit RecordingRemover(Level* level) : level(level) {}
    ~RecordingRemover() override { releaseAll(); }

    void removeBlockSprite(Block* block, int delay) override
    {
        block->addRef();
        held.push_back(block);
        removed.push_back({block->getColumn(), block->getRow(), delay});
        block->setState(BlockStateRemoving);
        level->setRemovingCount(level->getRemovingCount() + 1);
    }
    void releaseAll()
    {
        for (Block* block : held)
            block->release();
        held.clear();
    }

    Level* level;
    std::vector<Entry> removed;
    std::vector<Block*> held;
};

inline std::ostream& operator<<(std::ostream& out, const RecordingRemover::Entry& e)
{
    return out << "(" << e.x << "," << e.y << ")@" << e.delay;
}

class LevelFixture : public gamefixture::GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        auto* store = new PropertyManager(nullptr);
        const std::string file = std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                                 PropertyManager::kSchemaLocation +
                                 "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n"
                                 "<Integer id=\"INT_MAX_MULTIPLIER\">16</Integer>\n</Properties>\n";
        ASSERT_EQ(store->parse(file.c_str()), 1);
        app = std::make_unique<StoreApplication>(store);
    }

    void TearDown() override
    {
        for (auto& remover : removers)
            remover->releaseAll();
        for (Level* level : levels)
            level->release();
        levels.clear();
        GameFixture::TearDown();
        app.reset();
    }

    // A classic level made by its creator from the element text (kept for the level's lifetime).
    ClassicLevel* levelFromXml(const std::string& xml)
    {
        documents.push_back(std::make_unique<TiXmlDocument>());
        TiXmlDocument& document = *documents.back();
        document.Parse(xml.c_str());
        EXPECT_FALSE(document.Error()) << xml;
        auto* made = static_cast<RefObject*>(ClassicLevel::create(document.RootElement()));
        auto* level = dynamic_cast<ClassicLevel*>(made);
        level->addRef();
        levels.push_back(level);
        return level;
    }

    // A level of the grid text's size holding its blocks, with a recording play field.
    ClassicLevel* levelFromGrid(const std::string& text)
    {
        const std::vector<std::string> lines = splitLines(text);
        const int height = static_cast<int>(lines.size());
        const int width = height ? static_cast<int>(lines[0].size()) : 0;
        ClassicLevel* level = levelFromXml("<classiclevel width=\"" + std::to_string(width) + "\" height=\"" +
                                           std::to_string(height) +
                                           "\" blockwidth=\"16\" blockheight=\"16\"><level/></classiclevel>");
        removers.push_back(std::make_unique<RecordingRemover>(level));
        level->setPlayField(removers.back().get());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const char code = lines[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                if (typeOfCode(code) != BlockTypeNone)
                    level->setBlock(x, y, new Block(level, x, y, typeOfCode(code), colourOfCode(code), 1, true));
            }
        return level;
    }

    RecordingRemover& removerOf(Level* level) { return *static_cast<RecordingRemover*>(level->getPlayField()); }

    // The grid as text, one character a cell, rows on lines of their own.
    template <class CellCode> static std::string cellsText(const Level* level, CellCode code)
    {
        std::string text;
        for (int y = 0; y < level->getGrid().getHeight(); ++y) {
            if (y)
                text += '\n';
            for (int x = 0; x < level->getGrid().getWidth(); ++x)
                text += code(level->getBlock(x, y), x, y);
        }
        return text;
    }

    // The grid as text; every block must stand in the cell it believes it is in.
    static std::string gridText(const Level* level)
    {
        return cellsText(level, [](const Block* block, int x, int y) {
            if (block && (block->getColumn() != x || block->getRow() != y))
                ADD_FAILURE() << "block at (" << x << "," << y << ") thinks it is at (" << block->getColumn() << ","
                              << block->getRow() << ")";
            return codeOf(block);
        });
    }

    // '*' selected, '-' another block, '.' empty.
    static std::string selectionText(const Level* level)
    {
        return cellsText(level, [](const Block* block, int, int) {
            return !block ? '.' : block->getState() == BlockStateSelected ? '*' : '-';
        });
    }

    class StoreApplication : public Application {
    public:
        explicit StoreApplication(PropertyManager* store)
            : Application(1, "Quarrytide", "1.1.0", "LevelTest", 50, 2000)
        {
            store->addRef();
            propertyManager = store;
        }
    };

    std::unique_ptr<StoreApplication> app;
    std::vector<std::unique_ptr<TiXmlDocument>> documents;
    std::vector<std::unique_ptr<RecordingRemover>> removers;
    std::vector<Level*> levels;
};

} // namespace leveltest
