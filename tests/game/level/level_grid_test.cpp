// The block grid's rules: what a click selects, the order and delays of a removal, gravity with columns
// closing toward the middle, the row pushed in from below, the top row, and the grid kept in a saved game.
#include "LevelTestSupport.h"

#include "game/stats/StatsManager.h"
#include "toolkit/modifier/ModifierAlpha.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

using leveltest::LevelFixture;
using leveltest::RecordingRemover;

namespace {

using Entry = RecordingRemover::Entry;

class LevelGridTest : public LevelFixture {};

struct SelectionCase {
    const char* name;
    const char* grid;
    int x, y;
    const char* selected;
    int count;
};

TEST_F(LevelGridTest, ClickSelectsWhatEachKindOfBlockAffects)
{
    const SelectionCase cases[] = {
        {"colour group is 4-connected", "RRG\nGRG\nRGR", 0, 0, "**-\n-*-\n---", 3},
        {"gold groups with gold", "$$R\n$RR", 0, 0, "**-\n*--", 3},
        {"blocker selects nothing", "#R", 0, 0, "--", 0},
        {"treasure above the bottom row", "T\nR", 0, 0, "-\n-", 0},
        {"treasure in the bottom row", "R\nT", 0, 1, "-\n*", 1},
        {"bomb: 5x5 square, blockers too", "RGBYPR\nRo#YPR\nRGBYPR", 1, 1, "****--\n****--\n****--", 12},
        {"colour bomb counts itself once", "cRGR\nRRGG", 0, 0, "**-*\n**--", 5},
        {"colour bomb takes other colour bombs", "cG\nGc", 0, 0, "*-\n-*", 2},
        {"rainbow with its colour", "rRG\nrGR", 0, 0, "**-\n--*", 3},
        {"line bomb: its row", "RGB\nlYP\nRRR", 0, 1, "---\n***\n---", 3},
        {"hammer: strip below", "RhRR\nGBYP\nGBYP", 1, 0, "-*--\n***-\n***-", 7},
        {"bucket: 3x3 square once", "RRRR\nRuRR\nRRRR", 1, 1, "***-\n***-\n***-", 9},
        {"hourglass: itself", "gR", 0, 0, "*-", 1},
        {"tnt: everything", "xR\nG.", 0, 0, "**\n*.", 3},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Level* level = levelFromGrid(c.grid);
        level->selectGroup(level->getBlock(c.x, c.y));
        EXPECT_EQ(selectionText(level), c.selected);
        EXPECT_EQ(level->getSelectedCount(), c.count);

        level->deselectAll();
        EXPECT_EQ(level->getSelectedCount(), 0);
        EXPECT_EQ(selectionText(level).find('*'), std::string::npos);
    }
}

TEST_F(LevelGridTest, MinimumGroupIsThreeOrFourForColourAndGoldOnly)
{
    for (int type = BlockTypeColour; type <= BlockTypeTnt; ++type) {
        const bool grouped = type == BlockTypeColour || type == BlockTypeGold;
        EXPECT_EQ(Level::getMinimumGroup(type, false), grouped ? 3 : 1) << type;
        EXPECT_EQ(Level::getMinimumGroup(type, true), grouped ? 4 : 1) << type;
    }
}

struct RemovalCase {
    const char* name;
    const char* grid;
    int x, y, delay;
    std::vector<Entry> removed;
};

TEST_F(LevelGridTest, RemovalOrderAndDelaysPerKind)
{
    const RemovalCase cases[] = {
        // Depth first: left, right, up, down; the whole group at one delay.
        {"colour group", "RR.\nRG.\nR..", 0, 1, 5, {{0, 1, 5}, {0, 0, 5}, {1, 0, 5}, {0, 2, 5}}},
        {"gold group", "$$R\n$RR", 0, 0, 0, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {"bomb rings 8 frames apart, blocker and treasure too",
         "o#T\nRRR",
         0, 0, 2,
         {{0, 0, 2}, {0, 1, 10}, {1, 0, 10}, {1, 1, 10}, {2, 0, 18}, {2, 1, 18}}},
        {"line bomb in column 0", "lRRRR", 0, 0, 0, {{0, 0, 0}, {1, 0, 8}, {2, 0, 12}, {3, 0, 16}, {4, 0, 20}}},
        {"line bomb: left first, then right", "RlRR", 1, 0, 0, {{1, 0, 0}, {0, 0, 8}, {2, 0, 8}, {3, 0, 12}}},
        {"hammer: centre 3 per row, sides 8 later",
         ".h.\nRRR\nRRR",
         1, 0, 0,
         {{1, 0, 0}, {0, 1, 11}, {1, 1, 3}, {2, 1, 11}, {0, 2, 14}, {1, 2, 6}, {2, 2, 14}}},
        {"tnt: rows top to bottom by distance",
         "RxRR\nRRRR",
         1, 0, 0,
         {{1, 0, 0}, {0, 0, 8}, {2, 0, 8}, {3, 0, 16}, {0, 1, 8}, {1, 1, 8}, {2, 1, 8}, {3, 1, 16}}},
        {"hourglass", "gR", 0, 0, 4, {{0, 0, 4}}},
        {"treasure in the bottom row", "R\nT", 0, 1, 0, {{0, 1, 0}}},
        {"treasure above the bottom row", "T\nR", 0, 0, 0, {}},
        {"blocker", "#R", 0, 0, 0, {}},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Level* level = levelFromGrid(c.grid);
        const int before = level->getBlockCount();
        level->removeGroup(level->getBlock(c.x, c.y), c.delay);
        EXPECT_EQ(removerOf(level).removed, c.removed);
        EXPECT_EQ(level->getBlockCount(), before - static_cast<int>(c.removed.size()));
        EXPECT_EQ(level->getRemovingCount(), static_cast<int>(c.removed.size()));
        for (const Entry& e : c.removed)
            EXPECT_EQ(level->getBlock(e.x, e.y), nullptr);
    }
}

TEST_F(LevelGridTest, ColourBombRemovesItsColourShuffledWithGrowingOffsets)
{
    Level* level = levelFromGrid("cRRRRR\nRRRRRG");
    level->removeGroup(level->getBlock(0, 0), 3);
    const std::vector<Entry>& removed = removerOf(level).removed;
    ASSERT_EQ(removed.size(), 11u);
    EXPECT_EQ(removed[0], (Entry{0, 0, 3}));

    // Ten blocks leave at these offsets in the shuffled order, each exactly once.
    const int offsets[] = {0, 1, 1, 4, 6, 7, 7, 10, 12, 13};
    std::set<std::pair<int, int>> cells;
    for (std::size_t i = 1; i < removed.size(); ++i) {
        EXPECT_EQ(removed[i].delay, 3 + offsets[i - 1]) << i;
        cells.insert({removed[i].x, removed[i].y});
    }
    EXPECT_EQ(cells.size(), 10u);
    EXPECT_EQ(gridText(level), "......\n.....G");
}

TEST_F(LevelGridTest, BucketRepaintsItsSquareAndRemovesNothing)
{
    Level* level = levelFromGrid("$GBY\nGuYP\n$BRo");
    ASSERT_EQ(level->getGoldCount(), 2);
    level->removeGroup(level->getBlock(1, 1), 0);
    EXPECT_TRUE(removerOf(level).removed.empty());
    EXPECT_EQ(gridText(level), "RRRY\nRRRP\nRRRo");
    EXPECT_EQ(level->getGoldCount(), 0);
    EXPECT_EQ(level->getBlockCount(), 12);
}

TEST_F(LevelGridTest, ARemovalRunsOnceForABlockAlreadyRemoving)
{
    Level* level = levelFromGrid("RRR");
    Block* first = level->getBlock(0, 0);
    level->removeGroup(first, 0);
    level->removeGroup(first, 0);
    EXPECT_EQ(removerOf(level).removed.size(), 3u);
}

TEST_F(LevelGridTest, WithoutAPlayFieldTheLevelCountsTheRemovalItself)
{
    Level* level = levelFromGrid("RR\nGG");
    level->setPlayField(nullptr);
    Block* kept = level->getBlock(0, 1);
    kept->addRef();
    level->removeBlock(kept, 5);
    EXPECT_EQ(kept->getState(), BlockStateRemoving);
    EXPECT_EQ(level->getRemovingCount(), 1);
    EXPECT_EQ(level->getBlockCount(), 3);
    kept->release();
}

struct GravityCase {
    const char* name;
    const char* before;
    const char* after;
};

TEST_F(LevelGridTest, GravityDropsBlocksThenClosesEmptyColumnsTowardTheMiddle)
{
    const GravityCase cases[] = {
        {"fall into gaps", "R.B\n.GG\nG.B", "..B\nR.G\nGGB"},
        {"width 5, columns 1 and 3 empty", "R.G.B", ".RGB."},
        {"middle gap closes from both sides", "RG..BY", ".RGBY."},
        {"odd width: the middle column belongs to the right", "RG.BY", "RGBY."},
        {"fall then close", "RG.B\n.R..", ".G..\nRRB."},
        {"both halves close after the fall", "R..G\nR...\n#..B", ".R..\n.RG.\n.#B."},
        {"empty field", "..\n..", "..\n.."},
    };
    for (const GravityCase& c : cases) {
        SCOPED_TRACE(c.name);
        Level* level = levelFromGrid(c.before);
        const int count = level->getBlockCount();
        level->applyGravity();
        EXPECT_EQ(gridText(level), c.after);
        EXPECT_EQ(level->getBlockCount(), count);
    }
}

TEST_F(LevelGridTest, GravityStartsTheMovesOfTheBlocksThatMove)
{
    Level* level = levelFromGrid("R.\n..\n.G");
    Block* falling = level->getBlock(0, 0);
    Block* sliding = level->getBlock(1, 2);
    level->applyGravity(); // R falls to row 2; nothing closes (both columns stand)
    EXPECT_TRUE(falling->isFalling());
    EXPECT_EQ(falling->getFallTargetY(), level->getY() + 2 * 16);
    EXPECT_FALSE(sliding->isSliding());

    Level* wide = levelFromGrid("R..G");
    Block* right = wide->getBlock(3, 0);
    wide->applyGravity();
    EXPECT_TRUE(right->isSliding());
    EXPECT_EQ(right->getSlideTargetX(), wide->getX() + 2 * 16);
}

TEST_F(LevelGridTest, InsertRowPushesTheFieldUpAndTheWaitingRowInFromTheRight)
{
    ClassicLevel* level = levelFromGrid("...\nR..\nGB.");
    Block* first = new Block(level, 0, 2, BlockTypeColour, 3, 1, true);  // Y
    Block* second = new Block(level, 0, 2, BlockTypeColour, 4, 1, true); // P
    level->appendNewRowBlock(first);
    level->appendNewRowBlock(second);
    // The waiting row lies in the pipe, one row below the field.
    first->setY(level->getY() + 3 * 16);
    const int rows = level->getRowsAdded();
    level->insertRow();
    EXPECT_EQ(gridText(level), "R..\nGB.\n.PY");
    EXPECT_TRUE(level->getNewRow().empty());
    EXPECT_EQ(level->getRowsAdded(), rows + 1);
    EXPECT_EQ(level->getBlockCount(), 5);
    EXPECT_TRUE(first->isSliding());
    // It rises into the bottom row with the rows above it.
    EXPECT_TRUE(first->isFalling());
    EXPECT_EQ(first->getFallTargetY(), level->getY() + 2 * 16);
}

TEST_F(LevelGridTest, TopRowAndShakingRows)
{
    Level* level = levelFromGrid("...\n.R.\nRGB");
    EXPECT_FALSE(level->isTopReached());
    EXPECT_EQ(level->getTopBlock(), level->getBlock(1, 1));
    level->setBlock(2, 0, new Block(level, 2, 0, BlockTypeGold, 0, 1, true));
    EXPECT_TRUE(level->isTopReached());
    EXPECT_EQ(level->getLowestBlockOfType(BlockTypeColour), level->getBlock(0, 2));
    EXPECT_EQ(level->getLowestBlockOfType(BlockTypeGold), level->getBlock(2, 0));

    level->setShakingRows(2);
    EXPECT_TRUE(level->getBlock(2, 0)->isShaking());
    EXPECT_TRUE(level->getBlock(1, 1)->isShaking());
    EXPECT_FALSE(level->getBlock(0, 2)->isShaking());
    level->setShakingRows(0);
    EXPECT_FALSE(level->getBlock(1, 1)->isShaking());
}

TEST_F(LevelGridTest, CountsFollowPlacementRepaintAndClear)
{
    Level* level = levelFromGrid("$R\nRR");
    EXPECT_EQ(level->getBlockCount(), 4);
    EXPECT_EQ(level->getGoldCount(), 1);
    level->setBlock(0, 0, new Block(level, 0, 0, BlockTypeColour, 1, 1, true)); // replaces the gold
    EXPECT_EQ(level->getBlockCount(), 4);
    EXPECT_EQ(level->getGoldCount(), 0);
    level->repaintBlock(level->getBlock(1, 0), BlockTypeGold, 0);
    EXPECT_EQ(level->getGoldCount(), 1);
    level->setBlock(5, 5, nullptr); // outside: ignored
    EXPECT_EQ(level->getBlock(-1, 0), nullptr);

    level->clear();
    EXPECT_EQ(gridText(level), "..\n..");
    EXPECT_EQ(level->getBlockCount(), 0);
    EXPECT_EQ(level->getGoldCount(), 0);
}

TEST_F(LevelGridTest, MultiplierProductCoversGridAndWaitingRow)
{
    Level* level = levelFromGrid("..\n..");
    level->setBlock(0, 1, new Block(level, 0, 1, BlockTypeColour, 2, 3, true));
    level->setBlock(1, 1, new Block(level, 1, 1, BlockTypeColour, 1, 4, true));
    level->appendNewRowBlock(new Block(level, 1, 1, BlockTypeColour, 2, 2, true));
    EXPECT_EQ(level->getMultiplierProduct(2), 6);
    EXPECT_EQ(level->getMultiplierProduct(1), 4);
    EXPECT_EQ(level->getMultiplierProduct(0), 1);
}

TEST_F(LevelGridTest, FadesReplaceTheModifiersOfBlocksNotBeingRemoved)
{
    Level* level = levelFromGrid("RGB");
    Block* removing = level->getBlock(2, 0);
    removing->setState(BlockStateRemoving);
    ModifierAlpha::start(level->getBlock(0, 0), 0, 255, 0.5f, 0);
    level->fadeOutBlocks();
    for (int x = 0; x < 2; ++x) {
        const std::vector<Modifier*>& fades = level->getBlock(x, 0)->getModifiers();
        ASSERT_EQ(fades.size(), 1u) << x;
        auto* fade = static_cast<ModifierAlpha*>(fades[0]);
        EXPECT_EQ(fade->getClass(), &ModifierAlpha::classRecord);
        EXPECT_EQ(fade->getStartAlpha(), 255.0f);
        EXPECT_TRUE(fade->hasOption(Modifier::OptionBlocking));
    }
    EXPECT_TRUE(removing->getModifiers().empty());

    Block* waiting = new Block(level, 0, 0, BlockTypeColour, 1, 1, true);
    level->appendNewRowBlock(waiting);
    waiting->setAlpha(0);
    level->fadeInBlocks(0.25f);
    EXPECT_EQ(waiting->getModifiers().size(), 1u);
    EXPECT_EQ(level->getBlock(1, 0)->getModifiers().size(), 1u);
    EXPECT_EQ(static_cast<ModifierAlpha*>(level->getBlock(1, 0)->getModifiers()[0])->getStartAlpha(), 0.0f);
    EXPECT_TRUE(removing->getModifiers().empty());
}

// ----- saved state

std::string savedText(Level* level)
{
    TiXmlElement root("SaveGame");
    level->saveState(&root);
    TiXmlPrinter printer;
    printer.SetIndent("");
    printer.SetLineBreak("");
    root.Accept(&printer);
    return printer.CStr();
}

TEST_F(LevelGridTest, SavedStateWritesEveryCellAndTheWaitingRow)
{
    Level* level = levelFromGrid("R.\n$c");
    level->getBlock(0, 0)->setState(BlockStateSelected);
    level->appendNewRowBlock(new Block(level, 1, 1, BlockTypeColour, 4, 2, true));
    EXPECT_EQ(savedText(level),
              "<SaveGame><BlockList>"
              "<BlockDescription x=\"0\" y=\"0\" type=\"1\" color=\"0\" multiplier=\"1\" state=\"2\" />"
              "<BlockDescription x=\"1\" y=\"0\" type=\"0\" />"
              "<BlockDescription x=\"0\" y=\"1\" type=\"2\" color=\"0\" multiplier=\"1\" state=\"0\" />"
              "<BlockDescription x=\"1\" y=\"1\" type=\"6\" color=\"0\" multiplier=\"1\" state=\"0\" />"
              "</BlockList><NewRow>"
              "<BlockDescription x=\"0\" y=\"1\" type=\"1\" color=\"4\" multiplier=\"2\" state=\"0\" />"
              "</NewRow></SaveGame>");
}

TEST_F(LevelGridTest, SavedStateRoundTrips)
{
    Level* original = levelFromGrid("RGB.\n$#Tc\nruxY");
    original->getBlock(0, 0)->setState(BlockStateSelected);
    original->appendNewRowBlock(new Block(original, 3, 2, BlockTypeColour, 1, 3, true));
    original->appendNewRowBlock(new Block(original, 2, 2, BlockTypeHammer, 0, 1, true));
    TiXmlElement saved("SaveGame");
    original->saveState(&saved);

    Level* restored = levelFromGrid("....\n....\n....");
    restored->loadState(&saved);
    EXPECT_EQ(gridText(restored), gridText(original));
    EXPECT_EQ(savedText(restored), savedText(original));
    EXPECT_EQ(restored->getBlockCount(), 11);
    EXPECT_EQ(restored->getGoldCount(), 1);
    EXPECT_EQ(restored->getSelectedCount(), 1);
    ASSERT_EQ(restored->getNewRow().size(), 2u);
    EXPECT_EQ(restored->getNewRowBlock(0)->getMultiplier(), 3);
    EXPECT_EQ(restored->getNewRowBlock(1)->getType(), BlockTypeHammer);
}

TEST_F(LevelGridTest, DamagedSavedEntriesAreSkipped)
{
    struct Case {
        const char* name;
        const char* entry;
        bool taken;
    };
    const Case cases[] = {
        {"a plain block", "x='1' y='1' type='1' color='2' multiplier='2' state='0'", true},
        {"state 1 is kept", "x='1' y='1' type='1' color='2' multiplier='1' state='1'", true},
        {"empty cell", "x='1' y='1' type='0'", false},
        {"a block being removed", "x='1' y='1' type='1' color='2' multiplier='1' state='3'", false},
        {"unknown state", "x='1' y='1' type='1' color='2' multiplier='1' state='9'", false},
        {"negative state", "x='1' y='1' type='1' color='2' multiplier='1' state='-1'", false},
        {"unknown type", "x='1' y='1' type='13' color='2' multiplier='1' state='0'", false},
        {"negative type", "x='1' y='1' type='-4' color='2' multiplier='1' state='0'", false},
        {"colour out of range", "x='1' y='1' type='1' color='5' multiplier='1' state='0'", false},
        {"negative colour", "x='1' y='1' type='6' color='-1' multiplier='1' state='0'", false},
        {"treasure id in range", "x='1' y='1' type='4' color='23' multiplier='1' state='0'", true},
        {"treasure id out of range", "x='1' y='1' type='4' color='24' multiplier='1' state='0'", false},
        {"cell right of the grid", "x='2' y='1' type='1' color='0' multiplier='1' state='0'", false},
        {"cell below the grid", "x='0' y='2' type='1' color='0' multiplier='1' state='0'", false},
        {"cell far outside", "x='-2147483648' y='2147483647' type='1' color='0' multiplier='1' state='0'", false},
        {"no type at all", "x='1' y='1' color='0'", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        document.Parse((std::string("<SaveGame><BlockList><BlockDescription ") + c.entry +
                        "/></BlockList></SaveGame>")
                           .c_str());
        Level* level = levelFromGrid("..\n..");
        level->loadState(document.RootElement());
        EXPECT_EQ(level->getBlockCount(), c.taken ? 1 : 0);
        EXPECT_EQ(level->getBlock(1, 1) != nullptr, c.taken);
    }
}

TEST_F(LevelGridTest, DamagedWaitingRowEntriesAndMultipliersAreMended)
{
    TiXmlDocument document;
    document.Parse("<SaveGame>"
                   "<BlockList><Cell x='0' y='1' type='1' color='1' multiplier='0' state='0'/></BlockList>"
                   "<NewRow>"
                   "<BlockDescription x='2' y='1' type='1' color='3' multiplier='-7' state='0'/>"
                   "<BlockDescription x='3' y='1' type='1' color='3' multiplier='1' state='0'/>"
                   "<BlockDescription x='100000000' y='1' type='1' color='3' multiplier='1' state='0'/>"
                   "<BlockDescription x='-1' y='1' type='1' color='3' multiplier='1' state='0'/>"
                   "</NewRow></SaveGame>");
    Level* level = levelFromGrid("...\n...");
    level->loadState(document.RootElement());
    ASSERT_NE(level->getBlock(0, 1), nullptr);
    EXPECT_EQ(level->getBlock(0, 1)->getMultiplier(), 1);
    ASSERT_EQ(level->getNewRow().size(), 3u);
    EXPECT_EQ(level->getNewRowBlock(0), nullptr);
    EXPECT_EQ(level->getNewRowBlock(1), nullptr);
    ASSERT_NE(level->getNewRowBlock(2), nullptr);
    EXPECT_EQ(level->getNewRowBlock(2)->getMultiplier(), 1);
}

TEST_F(LevelGridTest, SavedStateWithoutItsListsLeavesThemEmpty)
{
    TiXmlDocument document;
    document.Parse("<SaveGame><Other/>text</SaveGame>");
    Level* level = levelFromGrid("..\n..");
    level->loadState(document.RootElement());
    level->loadState(nullptr);
    EXPECT_EQ(level->getBlockCount(), 0);
    EXPECT_TRUE(level->getNewRow().empty());
}

TEST_F(LevelGridTest, MakeNextBlockFillsTheWaitingRowFromTheRightAndCountsDownTreasure)
{
    ClassicLevel* level = levelFromXml("<classiclevel width='3' height='4' blockwidth='16' blockheight='16'>"
                                       "<level color1ratio='1' nroflines='50'/></classiclevel>");
    level->setLevelNumber(2);
    level->startLevel();
    StatsManager::instance().treasureCountdown = 10;
    Block* first = level->makeNextBlock();
    Block* second = level->makeNextBlock();
    EXPECT_EQ(StatsManager::instance().treasureCountdown, 8);
    EXPECT_EQ(first->getColumn(), 2);
    EXPECT_EQ(second->getColumn(), 1);
    EXPECT_EQ(first->getRow(), 3);
    EXPECT_EQ(level->getNewRowBlock(1), second);
    EXPECT_EQ(level->getNewRowBlock(2), nullptr);
    EXPECT_TRUE(level->isNewRowSettled());
}

TEST_F(LevelGridTest, ABlockThatOutlivesItsLevelSeesItGone)
{
    Level* level = levelFromGrid("R");
    Block* block = level->getBlock(0, 0);
    block->addRef();
    LevelToken* token = level->getToken();
    EXPECT_TRUE(token->alive);
    levels.erase(std::find(levels.begin(), levels.end(), level));
    removers.clear();
    level->release();
    EXPECT_FALSE(block->isLevelAlive());
    block->release();
}

} // namespace
