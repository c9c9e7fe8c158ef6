// The play field's data: the classic level definitions, the block pictures in the sizes the block
// code cuts them at, and the treasure table. The code trusts these shapes: a sheet cell it cuts outside
// the picture, a level value left out (it would carry over from the level before) or a treasure that
// can never drop shows up only deep into a game.
#include "assets/DataSet.h"

#include "resources/layout/LayoutDocument.h"
#include "resources/layout/XmlAttr.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>

using namespace dataset;

namespace {

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size& other) const { return width == other.width && height == other.height; }
};

std::ostream& operator<<(std::ostream& out, const Size& size)
{
    return out << size.width << "x" << size.height;
}

// The size in a PNG file's header; 0 by 0 when the file is no PNG.
Size pngSize(const std::filesystem::path& path)
{
    std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {};
    auto be = [&](size_t at) {
        std::uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return static_cast<int>(value);
    };
    return {be(16), be(20)};
}

const ResourceEntry* surfaceEntry(const std::string& id)
{
    for (const ResourceEntry& entry : loaded().resources())
        if (entry.kind == "Surface" && entry.id == id)
            return &entry;
    return nullptr;
}

// The picture's size, checking on the way that it has a mask: the blocks copy every picture's mask.
Size pictureSize(const std::string& id)
{
    const ResourceEntry* entry = surfaceEntry(id);
    if (entry == nullptr) {
        ADD_FAILURE() << "no Surface entry " << id;
        return {};
    }
    EXPECT_FALSE(entry->mask.empty()) << id << " has no mask";
    return pngSize(inRunDir(entry->image));
}

int layoutInt(const std::string& id)
{
    const auto& integers = loaded().layout().integers;
    auto it = integers.find(id);
    if (it == integers.end()) {
        ADD_FAILURE() << "no layout Integer " << id;
        return 0;
    }
    return it->second;
}

const char* const kLevelValues[] = {
    "blocktime",      "goldspacing",  "specialspacing", "nroflines",     "multiplierratio",
    "blockerratio",   "bombratio",    "colorbombratio", "linebombratio", "hammerratio",
    "bucketratio",    "hourglassratio", "rainbowratio", "tntratio",      "color1ratio",
    "color2ratio",    "color3ratio",  "color4ratio",    "color5ratio",
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0, blockWidth = 0, blockHeight = 0, initLines = 0;
};

// The classic level element of every difficulty, read the way the level reads it.
std::map<std::string, Geometry> classicGeometries()
{
    std::map<std::string, Geometry> found;
    auto lists = loaded().layout().stringLists;
    for (const std::string& difficulty : lists["LIST_DIFFICULTY_NAMES"]) {
        std::string id = "LEVEL_" + difficulty + "_CLASSIC";
        const TiXmlElement* element = LayoutDocument::peekLayoutElement(id);
        if (element == nullptr) {
            ADD_FAILURE() << "no layout element " << id;
            continue;
        }
        EXPECT_EQ(std::string(element->Value()), "classiclevel") << id;
        Geometry g;
        const std::pair<const char*, int*> fields[] = {
            {"x", &g.x},           {"y", &g.y},
            {"width", &g.width},   {"height", &g.height},
            {"blockwidth", &g.blockWidth}, {"blockheight", &g.blockHeight},
            {"nrofinitlines", &g.initLines},
        };
        for (const auto& [name, field] : fields)
            EXPECT_TRUE(XmlAttr::getInt(element, name, *field)) << id << " has no \"" << name << "\"";
        found[id] = g;
    }
    return found;
}

} // namespace

// Every difficulty has a classic level element whose field, with the waiting row below it, lies on the
// screen, and whose levels each give every generator value as a number the generator can use.
TEST(GameData, ClassicLevelsFitTheScreenAndGiveEveryValue)
{
    std::map<std::string, Geometry> geometries = classicGeometries();
    ASSERT_EQ(geometries.size(), 3u);
    const int screenWidth = layoutInt("INT_GAME_WIDTH"), screenHeight = layoutInt("INT_GAME_HEIGHT");
    for (const auto& [id, g] : geometries) {
        EXPECT_GT(g.width, 0) << id;
        EXPECT_GT(g.blockWidth, 0) << id;
        EXPECT_GT(g.blockHeight, 0) << id;
        EXPECT_TRUE(g.initLines > 0 && g.initLines < g.height) << id << ": " << g.initLines << " start rows";
        EXPECT_TRUE(g.x >= 0 && g.x + g.width * g.blockWidth <= screenWidth) << id << " leaves the screen sideways";
        EXPECT_TRUE(g.y >= 0 && g.y + (g.height + 1) * g.blockHeight <= screenHeight)
            << id << ": the field and the waiting row below it leave the screen";

        const TiXmlElement* element = LayoutDocument::peekLayoutElement(id);
        int levels = 0;
        for (const TiXmlElement* level = element->FirstChildElement(); level; level = level->NextSiblingElement()) {
            ++levels;
            std::string where = id + " level " + std::to_string(levels);
            std::map<std::string, int> values;
            for (const char* name : kLevelValues) {
                const char* text = level->Attribute(name);
                int value = -1;
                if (text == nullptr || !XmlAttr::getInt(level, name, value)) {
                    ADD_FAILURE() << where << " does not give \"" << name << "\"";
                    continue;
                }
                EXPECT_EQ(std::to_string(value), text) << where << ": \"" << name << "\" is no plain decimal";
                EXPECT_GE(value, 0) << where << ": " << name;
                values[name] = value;
            }
            // Gold comes only after this many rows of blocks: not among the start rows.
            EXPECT_GE(values["nroflines"], g.initLines) << where;
            EXPECT_GE(values["blocktime"], 100) << where;
        }
        EXPECT_GT(levels, 0) << id;
    }
}

// The start-game dialog offers every difficulty in both modes, so each has a level element of the
// mode's kind: a missing one ends the program when its game starts.
TEST(GameData, EveryDifficultyHasALevelInBothModes)
{
    auto lists = loaded().layout().stringLists;
    ASSERT_FALSE(lists["LIST_DIFFICULTY_NAMES"].empty());
    for (const std::string& difficulty : lists["LIST_DIFFICULTY_NAMES"])
        for (const char* mode : {"CLASSIC", "ENDLESS"}) {
            const std::string id = "LEVEL_" + difficulty + "_" + mode;
            const TiXmlElement* element = LayoutDocument::peekLayoutElement(id);
            ASSERT_NE(element, nullptr) << "no layout element " << id;
            EXPECT_EQ(std::string(element->Value()), std::string(mode) == "CLASSIC" ? "classiclevel" : "endlesslevel")
                << id;
            EXPECT_NE(element->FirstChildElement(), nullptr) << id << " defines no level";
        }
}

// The waiting row's slots lie just below the field's bottom row, ending under its last column; the
// shaft that shows the waiting blocks stands right of the field and holds a whole row of them.
TEST(GameData, ThePipeLinesUpWithTheClassicField)
{
    const LayoutEntries& layout = loaded().layout();
    ASSERT_TRUE(layout.points.count("POINT_PIPE_SHIFT_POS") && layout.points.count("POINT_PIPE_DROP_POS"));
    ASSERT_TRUE(layout.rectangles.count("RECT_TEMP_BLOCK_CLIP_RECT_CLASSIC"));
    const Point& shift = getResourcePoint("POINT_PIPE_SHIFT_POS");
    const Point& drop = getResourcePoint("POINT_PIPE_DROP_POS");
    const Rect& shaft = getResourceRect("RECT_TEMP_BLOCK_CLIP_RECT_CLASSIC");
    for (const auto& [id, g] : classicGeometries()) {
        EXPECT_EQ(shift.x, g.x + (g.width - 1) * g.blockWidth) << id;
        EXPECT_EQ(shift.y, g.y + g.height * g.blockHeight) << id;
        EXPECT_GE(drop.x, g.x + g.width * g.blockWidth) << id << ": the shaft overlaps the field";
        // The first waiting block sits at the drop point, the last one (width - 1) blocks above it.
        EXPECT_LE(shaft.y, drop.y - (g.width - 1) * g.blockHeight) << id << ": the shaft cannot show a whole row";
        EXPECT_GE(shaft.y + shaft.height, drop.y + g.blockHeight) << id;
        EXPECT_TRUE(shaft.x <= drop.x && shaft.x + shaft.width >= drop.x + g.blockWidth) << id;
    }
    EXPECT_TRUE(shaft.x >= 0 && shaft.y >= 0 && shaft.x + shaft.width <= layoutInt("INT_GAME_WIDTH") &&
                shaft.y + shaft.height <= layoutInt("INT_GAME_HEIGHT"));
}

// The classic screen repaints every pixel under its moving sprites: its background is opaque (no
// mask) and covers the screen. The pipe's caps sit across the shaft: the top one over the shaft's top
// edge, where a waiting block drops in, the bottom one at its lower end without hiding the lowest
// waiting block.
TEST(GameData, TheClassicScreenIsCoveredAndThePipeCappedAtBothEnds)
{
    ASSERT_EQ(loaded().errors(), "");
    struct Placed {
        int x = 0, y = 0, width = 0, height = 0;
    };
    auto placed = [](const char* id) {
        Placed at;
        const TiXmlElement* element = LayoutDocument::peekLayoutElement(id);
        if (!element) {
            ADD_FAILURE() << "no layout element " << id;
            return at;
        }
        element->QueryIntAttribute("x", &at.x);
        element->QueryIntAttribute("y", &at.y);
        const char* image = element->Attribute("image");
        const ResourceEntry* entry = image ? surfaceEntry(image) : nullptr;
        if (!entry) {
            ADD_FAILURE() << id << " names no picture of the catalogue";
            return at;
        }
        const Size size = pngSize(inRunDir(entry->image));
        at.width = size.width;
        at.height = size.height;
        return at;
    };
    const Placed background = placed("SPRITE_PLAYSCENE_BACKGROUND_CLASSIC");
    EXPECT_TRUE(background.x <= 0 && background.y <= 0 &&
                background.x + background.width >= layoutInt("INT_GAME_WIDTH") &&
                background.y + background.height >= layoutInt("INT_GAME_HEIGHT"))
        << "the background leaves part of the screen unpainted";
    const ResourceEntry* backgroundEntry = surfaceEntry("IMAGE_PLAYSCENE_BACKGROUND_CLASSIC");
    ASSERT_NE(backgroundEntry, nullptr);
    EXPECT_TRUE(backgroundEntry->mask.empty()) << "a masked background lets old frames show through";

    const Rect& shaft = getResourceRect("RECT_TEMP_BLOCK_CLIP_RECT_CLASSIC");
    const Point& drop = getResourcePoint("POINT_PIPE_DROP_POS");
    const std::map<std::string, Geometry> geometries = classicGeometries();
    ASSERT_FALSE(geometries.empty());
    const Geometry& field = geometries.begin()->second;
    const Placed top = placed("SPRITE_PIPE_TOP_CLASSIC");
    const Placed bottom = placed("SPRITE_PIPE_BOTTOM_CLASSIC");
    for (const Placed& cap : {top, bottom})
        EXPECT_TRUE(cap.x <= shaft.x && cap.x + cap.width >= shaft.x + shaft.width) << "a cap is narrower than the shaft";
    EXPECT_TRUE(top.y <= shaft.y && top.y + top.height > shaft.y) << "the top cap misses the shaft's top end";
    EXPECT_LE(top.y + top.height, drop.y - (field.width - 1) * field.blockHeight)
        << "the top cap hides the highest waiting block";
    EXPECT_TRUE(bottom.y >= drop.y + field.blockHeight && bottom.y <= shaft.y + shaft.height)
        << "the bottom cap hides the lowest waiting block or leaves the shaft's end open";
}

// The block code cuts the sheets by block set (column) and colour (row), draws the other backgrounds
// whole, centres the icons on the block, takes frames stacked vertically and the bucket's cell by
// colour, and swaps a selected block's picture for the same-sized "_SELECTED" one.
TEST(GameData, BlockPicturesHaveTheSizesTheBlocksCutThemAt)
{
    std::map<std::string, Geometry> geometries = classicGeometries();
    ASSERT_FALSE(geometries.empty());
    const Geometry block = geometries.begin()->second;
    for (const auto& [id, g] : geometries)
        EXPECT_TRUE(g.blockWidth == block.blockWidth && g.blockHeight == block.blockHeight)
            << id << ": every level shares the block pictures";
    const int w = block.blockWidth, h = block.blockHeight;
    const int goldFrames = layoutInt("INT_GOLD_ICON_FRAME_COUNT");
    const int treasureFrames = layoutInt("INT_TREASURE_ICON_FRAME_COUNT");
    const int toolFrames = layoutInt("INT_TOOL_ICON_FRAME_COUNT");
    ASSERT_TRUE(goldFrames > 0 && treasureFrames > 0 && toolFrames > 0);

    // Pictures that make up the whole block: three sets by five colours, single blocks, and the icons
    // of the blocks that have no background of their own.
    const std::pair<const char*, Size> exact[] = {
        {"IMAGE_BLOCKS", {3 * w, 5 * h}},
        {"IMAGE_BLOCK_BACK_COLOR", {3 * w, 5 * h}},
        {"IMAGE_BLOCKER", {w, h}},
        {"IMAGE_BLOCK_BACK_BLACK", {w, h}},
        {"IMAGE_GOLD", {w, goldFrames * h}},
        {"IMAGE_BLOCK_TREASURE", {w, treasureFrames * h}},
        {"IMAGE_BLOCK_BUCKET", {5 * w, toolFrames * h}},
        {"IMAGE_BLOCK_TNT", {w, toolFrames * h}},
    };
    for (const auto& [id, size] : exact)
        EXPECT_EQ(pictureSize(id), size) << id;

    // Icons over a background: whole frames that stay on the block where their offsets put them.
    const std::pair<const char*, const char*> icons[] = {
        {"IMAGE_BLOCK_DYNAMITE", "DYNAMITE"}, {"IMAGE_BLOCK_PICKAXE", "PICKAXE"},
        {"IMAGE_BLOCK_SHOVEL", "SHOVEL"},     {"IMAGE_BLOCK_HAMMER", "HAMMER"},
        {"IMAGE_BLOCK_HOURGLASS", "HOURGLASS"},
    };
    for (const auto& [id, key] : icons) {
        Size size = pictureSize(id);
        EXPECT_EQ(size.height % toolFrames, 0) << id;
        int frameHeight = size.height / toolFrames;
        int dx = layoutInt(std::string("INT_BLOCK_") + key + "_XOFFSET");
        int dy = layoutInt(std::string("INT_BLOCK_") + key + "_YOFFSET");
        EXPECT_LE(2 * std::abs(dx) + size.width, w) << id << " reaches past its block";
        EXPECT_LE(2 * std::abs(dy) + frameHeight, h) << id << " reaches past its block";
    }

    for (const char* id : {"IMAGE_BLOCKS", "IMAGE_BLOCK_BACK_COLOR", "IMAGE_BLOCKER", "IMAGE_BLOCK_BACK_BLACK",
                           "IMAGE_GOLD", "IMAGE_BLOCK_TREASURE", "IMAGE_BLOCK_BUCKET"})
        EXPECT_EQ(pictureSize(std::string(id) + "_SELECTED"), pictureSize(id)) << id << "_SELECTED";

    // Sparkles are drawn through the mask alone, frames stacked vertically.
    const ResourceEntry* sparkle = surfaceEntry("IMAGE_SPARKLE_BIG_ALPHA");
    ASSERT_NE(sparkle, nullptr);
    EXPECT_EQ(sparkle->maskId, "IMAGE_SPARKLE_BIG_ALPHA") << "the blocks ask for the mask by the picture's id";
    const int sparkleFrames = layoutInt("INT_NR_OF_SPARKLE_FRAMES");
    ASSERT_GT(sparkleFrames, 0);
    EXPECT_EQ(pngSize(inRunDir(sparkle->mask)).height % sparkleFrames, 0);
}

// The treasure table holds exactly 24 entries, by id: gemstones 0 to 11 and the other treasures 12 to
// 23 (the chest shows them on two pages and opens on the gem page after a gem). Each has its texts
// and a picture, every one can drop before the player owns it, and every bonus threshold can be met.
TEST(GameData, TwentyFourTreasuresThatCanAllBeFound)
{
    ASSERT_EQ(loaded().errors(), ""); // loads the layout documents when this test runs alone
    const TiXmlElement* table = LayoutDocument::peekLayoutElement("TREASURE_DESCRIPTIONS");
    ASSERT_NE(table, nullptr);
    const std::set<std::string> rarities = {"common", "uncommon", "rare"};
    const std::set<std::string> kinds = {"gem", "coin", "jewel", "drink", "figure"};
    std::set<std::string> names, pictures;
    int id = 0;
    for (const TiXmlElement* entry = table->FirstChildElement(); entry; entry = entry->NextSiblingElement(), ++id) {
        std::string where = "treasure " + std::to_string(id);
        std::string name, description, surface, rarity, kind;
        EXPECT_TRUE(XmlAttr::getString(entry, "name", name) && !name.empty()) << where;
        EXPECT_NE(name.rfind("STRING_", 0), 0u) << where << ": the name names no text: " << name;
        EXPECT_TRUE(names.insert(name).second) << where << ": a second " << name;
        EXPECT_TRUE(XmlAttr::getString(entry, "description", description) && !description.empty()) << where;
        EXPECT_NE(description.rfind("STRING_", 0), 0u) << where << ": the description names no text";
        ASSERT_TRUE(XmlAttr::getString(entry, "surface", surface)) << where;
        EXPECT_TRUE(pictures.insert(surface).second) << where << " shares its picture";
        EXPECT_GT(pictureSize(surface).width, 0) << where << ": " << surface;
        EXPECT_TRUE(XmlAttr::getString(entry, "rarity", rarity) && rarities.count(rarity)) << where << ": " << rarity;
        EXPECT_TRUE(XmlAttr::getString(entry, "type", kind) && kinds.count(kind)) << where << ": " << kind;
        EXPECT_EQ(kind == "gem", id < 12) << where << " is a " << kind;
        int normal = 0, found = -1;
        EXPECT_TRUE(XmlAttr::getInt(entry, "normalfrequency", normal) && normal > 0)
            << where << " would never drop for a player who lacks it";
        EXPECT_TRUE(XmlAttr::getInt(entry, "foundfrequency", found) && found >= 0) << where;
    }
    EXPECT_EQ(id, 24);

    const auto& lists = loaded().layout().integerLists;
    ASSERT_TRUE(lists.count("VECTOR_TREASURE_UNLOCK_AMOUNT"));
    for (int threshold : lists.at("VECTOR_TREASURE_UNLOCK_AMOUNT"))
        EXPECT_LE(threshold, 24) << "a bonus that needs more treasures than there are";
}
