// The classic level: reading its definitions, levels past the last one, and the blocks its generator
// makes with a seeded Random. Expected blocks are worked out with a second generator of the same seed
// following the drawing rules step by step.
#include "LevelTestSupport.h"

#include "game/level/BlockDesc.h"
#include "game/stats/StatsManager.h"
#include "runtime/ObjectFactory.h"
#include "runtime/Random.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

using leveltest::LevelFixture;

namespace {

class ClassicLevelTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        setMaxGoldForTools(100);
        StatsManager::instance().distinctOwned = 0;
    }

    void setMaxGoldForTools(int n)
    {
        loadLayout("<Layout><Integer id=\"INT_LEVEL_MAX_GOLD_NEW_TOOL\">" + std::to_string(n) +
                   "</Integer><IntegerVector id=\"VECTOR_TREASURE_UNLOCK_AMOUNT\"><Item>0</Item><Item>1</Item>"
                   "<Item>2</Item><Item>3</Item><Item>4</Item><Item>5</Item><Item>6</Item></IntegerVector></Layout>");
    }

    // Seeds the program-wide generator and gives a twin that draws the numbers the level will draw.
    static Random seededTwin(std::int64_t seed)
    {
        Random::global().setSeed(seed);
        Random twin;
        twin.setSeed(seed);
        return twin;
    }

    // A level whose definition holds `levels` copies of the level element, started at `number`.
    ClassicLevel* started(const std::string& root, const std::string& levelElement, int levels, int number)
    {
        std::string xml = "<classiclevel " + root + ">";
        for (int i = 0; i < levels; ++i)
            xml += levelElement;
        ClassicLevel* level = levelFromXml(xml + "</classiclevel>");
        level->setLevelNumber(number);
        level->startLevel();
        return level;
    }

    // Made and released at once: the kind only.
    static int kindOf(Block* block)
    {
        block->addRef();
        const int kind = block->getType() == BlockTypeColour ? block->getColour() : 100 + block->getType();
        block->release();
        return kind;
    }
};

constexpr int kColour0 = 0;
constexpr int kHammer = 100 + BlockTypeHammer;
constexpr int kBlocker = 100 + BlockTypeBlocker;
constexpr int kGold = 100 + BlockTypeGold;

TEST_F(ClassicLevelTest, FirstLevelStartRowsHoldOnlyColourBlocksThenToolsMayCome)
{
    // Bag: colour 0, colour 1, hammer. The hammer is refused in the start rows and drawn again.
    ClassicLevel* level = started("width='4' height='6' blockwidth='16' blockheight='16' nrofinitlines='2'",
                                  "<level nroflines='100' color1ratio='1' color2ratio='1' hammerratio='1'/>", 1, 1);
    Random twin = seededTwin(7);

    level->createInitialLines();
    std::string expected = "....\n....\n....\n....\n";
    for (int cell = 0; cell < 8; ++cell) {
        int index;
        do
            index = twin.nextInt(3);
        while (index == 2);
        expected += "RG"[index];
        if (cell == 3)
            expected += '\n';
    }
    EXPECT_EQ(gridText(level), expected);
    EXPECT_EQ(level->getRowsAdded(), 2);
    EXPECT_EQ(level->getBlockCounter(), 8);

    // Past the start rows every entry of the bag can come, the last one too.
    std::vector<int> made, want;
    for (int i = 0; i < 40; ++i) {
        made.push_back(kindOf(level->createNextBlock(0, 5)));
        const int index = twin.nextInt(3);
        want.push_back(index == 2 ? kHammer : index);
    }
    EXPECT_EQ(made, want);
}

TEST_F(ClassicLevelTest, EveryEntryOfTheBagIsDrawnTheLastOneToo)
{
    ClassicLevel* level = started("width='4' height='6'",
                                  "<level nroflines='100' color1ratio='1' hammerratio='1'/>", 2, 2);
    ASSERT_EQ(level->getTypeRatio(BlockTypeHammer), 1) << "no growth: level 2 is defined";
    Random twin = seededTwin(99);
    std::vector<int> made, want;
    for (int i = 0; i < 30; ++i) {
        made.push_back(kindOf(level->createNextBlock(0, 5)));
        want.push_back(twin.nextInt(2) == 1 ? kHammer : kColour0);
    }
    EXPECT_EQ(made, want);
    EXPECT_NE(std::count(made.begin(), made.end(), kHammer), 0);
}

TEST_F(ClassicLevelTest, LevelPastTheLastDefinitionGetsMoreBlockers)
{
    // One definition, level 2: grown by 2 (more lines, 4 blockers, tools below zero add nothing).
    ClassicLevel* level = started("width='4' height='6'",
                                  "<level nroflines='100' color1ratio='1' hammerratio='1' bombratio='3'/>", 1, 2);
    EXPECT_EQ(level->getNrOfLines(), 102);
    EXPECT_EQ(level->getTypeRatio(BlockTypeBlocker), 4);
    EXPECT_EQ(level->getTypeRatio(BlockTypeHammer), -1);
    EXPECT_EQ(level->getTypeRatio(BlockTypeBomb), 1);

    Random twin = seededTwin(3);
    // Bag: colour 0, four blockers, one bomb.
    std::vector<int> made, want;
    for (int i = 0; i < 30; ++i) {
        made.push_back(kindOf(level->createNextBlock(0, 5)));
        const int index = twin.nextInt(6);
        want.push_back(index == 0 ? kColour0 : index == 5 ? 100 + BlockTypeBomb : kBlocker);
    }
    EXPECT_EQ(made, want);
}

TEST_F(ClassicLevelTest, GoldComesAfterTheStartLinesAndItsSpacingWithAGrowingChance)
{
    // Width 2 x 1 line: no gold roll up to block 2; then at least 4 blocks between golds. Before the
    // first gold the bag holds colour 0 and a hammer; the bag emptied at that gold refills without it.
    ClassicLevel* level = started("width='2' height='6' blocktime='190'",
                                  "<level nroflines='1' goldspacing='3' color1ratio='1' hammerratio='1'/>", 2, 2);
    Random twin = seededTwin(2024);

    int counter = 0, lastGold = 0, chance = 3, golds = 0, bagSize = 0;
    bool hammerAfterGold = false;
    for (int i = 0; i < 600; ++i) {
        const int kind = kindOf(level->createNextBlock(0, 5));
        ++counter;
        int want = -1;
        if (counter > 2 && counter - lastGold > 3) {
            const int roll = twin.nextInt(100);
            if (roll < chance++) {
                if (lastGold == 0)
                    bagSize = 0;
                lastGold = counter;
                chance = 3;
                ++golds;
                want = kGold;
            }
        }
        if (want < 0) {
            if (bagSize == 0)
                bagSize = lastGold == 0 ? 2 : 1;
            want = twin.nextInt(bagSize) == 1 ? kHammer : kColour0;
        }
        ASSERT_EQ(kind, want) << "block " << counter;
        if (kind == kGold) {
            EXPECT_EQ(level->getGoldChance(), 3);
        }
        if (lastGold != 0 && kind == kHammer)
            hammerAfterGold = true;
    }
    ASSERT_GE(golds, 4);
    EXPECT_FALSE(hammerAfterGold);
    EXPECT_EQ(level->getGoldGenerated(), golds);
    // 30 ms faster per gold, never below 100.
    EXPECT_EQ(level->getBlockTime(), 100);
    for (const BlockDesc* entry : level->getBag())
        EXPECT_EQ(entry->type, BlockTypeColour);
}

TEST_F(ClassicLevelTest, BlockTimeFallsBy30PerGoldDownTo100)
{
    ClassicLevel* level = started("width='1' height='6' blocktime='190'",
                                  "<level nroflines='0' goldspacing='0' color1ratio='1'/>", 2, 2);
    Random::global().setSeed(1);
    std::vector<int> times;
    while (times.size() < 4) {
        if (kindOf(level->createNextBlock(0, 5)) == kGold)
            times.push_back(level->getBlockTime());
    }
    EXPECT_EQ(times, (std::vector<int>{160, 130, 100, 100}));
}

TEST_F(ClassicLevelTest, PastTheGoldLimitForToolsOnlyColourBlocksCome)
{
    setMaxGoldForTools(0);
    ClassicLevel* level = started("width='1' height='6'",
                                  "<level nroflines='0' goldspacing='0' color1ratio='1' colorbombratio='3'/>", 2, 2);
    Random::global().setSeed(5);
    int afterGold = 0;
    for (int i = 0; i < 400; ++i) {
        const int kind = kindOf(level->createNextBlock(0, 5));
        if (level->getGoldGenerated() > 0 && kind != kGold) {
            EXPECT_EQ(kind, kColour0);
            ++afterGold;
        }
    }
    EXPECT_GT(afterGold, 0);
}

TEST_F(ClassicLevelTest, MultipliersAreCappedPerColour)
{
    // One colour entry whose multiplier ends at 4; the cap (16) lets two of them into the field.
    ClassicLevel* level = started("width='4' height='2'",
                                  "<level nroflines='100' color1ratio='1' multiplierratio='10'/>", 2, 2);
    Random::global().setSeed(11);
    std::vector<int> multipliers;
    for (int x = 0; x < 4; ++x) {
        Block* block = level->createNextBlock(x, 1);
        level->setBlock(x, 1, block);
        multipliers.push_back(block->getMultiplier());
    }
    EXPECT_EQ(multipliers, (std::vector<int>{4, 4, 1, 1}));
    EXPECT_EQ(level->getMultiplierProduct(0), 16);
}

TEST_F(ClassicLevelTest, LevelsWithoutColourRatiosStillMakeColourBlocks)
{
    // Only specials in the definition: the bag gets one entry of each colour, so the colour searches
    // and the draws end.
    ClassicLevel* level = started("width='4' height='6'",
                                  "<level nroflines='100' colorbombratio='2' bucketratio='2'/>", 2, 2);
    Random::global().setSeed(8);
    std::set<int> colours, types;
    for (int i = 0; i < 200; ++i) {
        Block* block = level->createNextBlock(0, 5);
        block->addRef();
        types.insert(block->getType());
        EXPECT_GE(block->getColour(), 0);
        EXPECT_LT(block->getColour(), 5);
        if (block->getType() == BlockTypeColour)
            colours.insert(block->getColour());
        block->release();
    }
    EXPECT_EQ(types, (std::set<int>{BlockTypeColour, BlockTypeColorBomb, BlockTypeBucket}));
    EXPECT_EQ(colours.size(), 5u);

    // First level start rows refuse every special: they fill with colour blocks.
    ClassicLevel* first = started("width='4' height='3' nrofinitlines='3'", "<level nroflines='100' hammerratio='20'/>", 1, 1);
    first->createInitialLines();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(first->getBlock(x, y)->getType(), BlockTypeColour);
}

TEST_F(ClassicLevelTest, RainbowAndTntWaitForTheirUnlocks)
{
    const std::string definition = "<level nroflines='100' color1ratio='1' rainbowratio='50' tntratio='50'/>";
    auto kindsMade = [&](int owned) {
        StatsManager::instance().distinctOwned = owned;
        ClassicLevel* level = started("width='4' height='6'", definition, 2, 2);
        Random::global().setSeed(4);
        std::set<int> types;
        for (int i = 0; i < 100; ++i)
            types.insert(kindOf(level->createNextBlock(0, 5)));
        return types;
    };
    EXPECT_EQ(kindsMade(3), (std::set<int>{kColour0}));
    EXPECT_EQ(kindsMade(4), (std::set<int>{kColour0, 100 + BlockTypeRainbow}));
    EXPECT_EQ(kindsMade(6), (std::set<int>{kColour0, 100 + BlockTypeRainbow, 100 + BlockTypeTnt}));
}

TEST_F(ClassicLevelTest, ReadsTheGeometryOnceAndTheFirstLevel)
{
    ClassicLevel* level = levelFromXml(
        "<classiclevel x='40' y='24' width='6' height='5' blockwidth='16' blockheight='12' nrofinitlines='3'"
        " blocktime='900'>"
        "<level goldspacing='7' specialspacing='2' nroflines='4' multiplierratio='5' blockerratio='1' bombratio='2'"
        " colorbombratio='3' linebombratio='4' hammerratio='5' bucketratio='6' hourglassratio='7'"
        " rainbowratio='8' tntratio='9' goldratio='10' invalidratio='11' color1ratio='1' color2ratio='2'"
        " color3ratio='3' color4ratio='4' color5ratio='#10'/>"
        "<other goldspacing='99'/></classiclevel>");
    EXPECT_EQ(level->getX(), 40);
    EXPECT_EQ(level->getY(), 24);
    EXPECT_EQ(level->getColumns(), 6);
    EXPECT_EQ(level->getRows(), 5);
    EXPECT_EQ(level->getGrid().getWidth(), 6);
    EXPECT_EQ(level->getGrid().getHeight(), 5);
    EXPECT_EQ(level->getBlockWidth(), 16);
    EXPECT_EQ(level->getBlockHeight(), 12);
    EXPECT_EQ(level->getNrOfInitLines(), 3);
    EXPECT_EQ(level->getLevelCount(), 2);
    EXPECT_EQ(level->getBlockTime(), 900);
    EXPECT_EQ(level->getGoldSpacing(), 7);
    EXPECT_EQ(level->getSpecialSpacing(), 2);
    EXPECT_EQ(level->getNrOfLines(), 4);
    EXPECT_EQ(level->getMultiplierRatio(), 5);
    const int types[] = {11, 11, 10, 1, 11, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int type = 0; type < Level::TypeCount; ++type)
        EXPECT_EQ(level->getTypeRatio(type), types[type]) << type;
    const int colours[] = {1, 2, 3, 4, 16};
    for (int colour = 0; colour < Level::ColourCount; ++colour)
        EXPECT_EQ(level->getColourRatio(colour), colours[colour]) << colour;
    EXPECT_TRUE(level->contains(5, 4));
    EXPECT_FALSE(level->contains(6, 0));
    EXPECT_FALSE(level->contains(0, -1));
}

TEST_F(ClassicLevelTest, StartLevelReadsItsDefinitionAndGrowsPastTheLast)
{
    std::string xml = "<classiclevel width='4' height='4'>";
    for (int i = 1; i <= 10; ++i)
        xml += "<level goldspacing='" + std::to_string(i) + "' nroflines='" + std::to_string(10 * i) +
               "' blockerratio='" + std::to_string(i) + "' hammerratio='5'/>";
    ClassicLevel* level = levelFromXml(xml + "</classiclevel>");

    level->setLevelNumber(3);
    level->startLevel();
    EXPECT_EQ(level->getGoldSpacing(), 3);
    EXPECT_EQ(level->getNrOfLines(), 30);
    EXPECT_EQ(level->getTypeRatio(BlockTypeHammer), 5);

    level->setLevelNumber(12); // the tenth definition, grown by 12 - 10 + 1
    level->startLevel();
    EXPECT_EQ(level->getGoldSpacing(), 10);
    EXPECT_EQ(level->getNrOfLines(), 103);
    EXPECT_EQ(level->getTypeRatio(BlockTypeBlocker), 16);
    EXPECT_EQ(level->getTypeRatio(BlockTypeHammer), 2);
    EXPECT_EQ(level->getGoldChance(), 3);
    EXPECT_EQ(level->getBlockCounter(), 0);

    level->extendLevel(0);
    level->extendLevel(-3);
    EXPECT_EQ(level->getNrOfLines(), 103);
    EXPECT_EQ(level->getTypeRatio(BlockTypeHammer), 2);
}

TEST_F(ClassicLevelTest, MissingAttributesKeepTheValuesReadBefore)
{
    ClassicLevel* level = levelFromXml("<classiclevel width='4' height='4' blocktime='500'>"
                                       "<a goldspacing='5' blocktime='300'/><b nroflines='2'/></classiclevel>");
    EXPECT_EQ(level->getBlockTime(), 500);
    level->startLevel();
    EXPECT_EQ(level->getGoldSpacing(), 5);
    EXPECT_EQ(level->getBlockTime(), 300);
    level->setLevelNumber(2);
    level->startLevel();
    EXPECT_EQ(level->getGoldSpacing(), 5);
    EXPECT_EQ(level->getNrOfLines(), 2);
    EXPECT_EQ(level->getBlockTime(), 300);
}

TEST_F(ClassicLevelTest, ADefinitionWithoutLevelsOrWithWildGeometryIsSurvived)
{
    ClassicLevel* empty = levelFromXml("<classiclevel width='3' height='2' nrofinitlines='9'/>");
    EXPECT_EQ(empty->getLevelCount(), 0);
    empty->startLevel();
    empty->createInitialLines(); // more start lines than rows: the whole field
    EXPECT_EQ(empty->getBlockCount(), 6);

    ClassicLevel* wild = levelFromXml("<classiclevel width='-5' height='100000'><level/></classiclevel>");
    EXPECT_EQ(wild->getColumns(), 0);
    EXPECT_LE(wild->getRows(), 1024);
    wild->startLevel();
    wild->applyGravity();
    EXPECT_EQ(wild->getTopBlock(), nullptr);
}

TEST_F(ClassicLevelTest, TheFactoryBuildsItFromItsTag)
{
    EXPECT_EQ(ObjectFactory::findCreator("classiclevel"), &ClassicLevel::create);
    TiXmlDocument document;
    document.Parse("<classiclevel width='5' height='3' blocktime='700'><level/></classiclevel>");
    auto* made = static_cast<RefObject*>(ObjectFactory::createFromXml(document.RootElement()));
    auto* level = dynamic_cast<ClassicLevel*>(made);
    ASSERT_NE(level, nullptr);
    level->addRef();
    EXPECT_EQ(level->getColumns(), 5);
    EXPECT_EQ(level->getBlockTime(), 700);
    level->release();
}

TEST_F(ClassicLevelTest, BlockDescReportsItsOwnRecord)
{
    BlockDesc entry(BlockTypeBucket, 3, 1);
    EXPECT_STREQ(entry.getClass()->name, "BlockDesc");
    EXPECT_EQ(entry.getClass()->parent, nullptr);
}

} // namespace
