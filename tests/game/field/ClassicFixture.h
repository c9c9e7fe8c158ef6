// The classic field on the field fixture's canvas and clock: a small classic level (6 x 5 cells of 16
// pixels, two start rows of two colours, a new block every 100 ms), the classic score values in the
// property store, and the layout entries of the pipe, the cart's gold and the line bonus.
#pragma once

#include "FieldFixture.h"

#include "game/block/TempBlock.h"
#include "game/field/ClassicPlayScene.h"
#include "game/level/ClassicLevel.h"

#include <string>

namespace classictest {

constexpr int kBlockTime = 100;
constexpr int kScorePerClear = 500;
constexpr int kScorePerClearLine = 40;
constexpr int kFastBlockTime = 20;

inline std::string classicLevelElement(const std::string& id)
{
    return "<classiclevel id=\"" + id +
           "\" width=\"6\" height=\"5\" blockwidth=\"16\" blockheight=\"16\" nrofinitlines=\"2\">"
           "<level blocktime=\"" +
           std::to_string(kBlockTime) +
           "\" nroflines=\"20\" goldspacing=\"1000\" specialspacing=\"1000\" multiplierratio=\"0\""
           " color1ratio=\"1\" color2ratio=\"1\"/>"
           "<level blocktime=\"" +
           std::to_string(kBlockTime) +
           "\" nroflines=\"20\" goldspacing=\"1000\" specialspacing=\"1000\" multiplierratio=\"0\""
           " color1ratio=\"1\" color2ratio=\"1\"/></classiclevel>";
}

inline std::string classicLayout(bool withLevel = true, bool withMenuButton = true)
{
    std::string text = fieldtest::fieldLayout();
    const auto replaceLine = [&text](const std::string& start, const std::string& with) {
        const std::size_t at = text.find(start);
        const std::size_t end = text.find('\n', at);
        text.replace(at, end - at, with);
    };
    replaceLine("  <classiclevel id=\"LEVEL_EASY_CLASSIC\"",
                withLevel ? "  " + classicLevelElement("LEVEL_EASY_CLASSIC") : std::string());
    if (!withMenuButton)
        replaceLine("  <buttonblit id=\"BUTTON_GAME_MENU_CLASSIC\"", "");
    text.erase(text.rfind("</Layout>"));
    return text + R"xml(
  <Rectangle id="RECT_LEVEL_BLOCKS_CLIP_RECT_CLASSIC" x="40" y="24" width="96" height="100"/>
  <Integer id="INT_MUSIC_START_DELAY">1000</Integer>
  <Float id="INT_LEVEL_RESUME_FADE_SPEED_CLASSIC">0.5</Float>
  <Integer id="INT_HOURGLASS_TOOL_DURATION">1000</Integer>
  <Integer id="INT_HOURGLASS_BLINK_START_TIME">600</Integer>
  <Integer id="INT_TREASURE_BLINK_TIME">200</Integer>
  <IntegerVector id="INT_MINE_CART_GOLD_XOFFSET_CLASSIC"><i>4</i><i>8</i></IntegerVector>
  <IntegerVector id="INT_MINE_CART_GOLD_YOFFSET_ENDLESS"><i>2</i><i>3</i></IntegerVector>
  <Point id="POINT_MINE_CART_GOLD_COLLECT_MIDDLE_POS" x="200" y="60"/>
  <Integer id="INT_MINE_CART_GOLD_COLLECT_SPEED_CLASSIC">20</Integer>
  <Integer id="INT_TOOL_ICON_REMOVE_MOVES_PER_FRAME">1</Integer>
  <Point id="POINT_JACK_HAPPY_SPARKLE_POS_CLASSIC" x="10" y="10"/>
  <Integer id="INT_MINE_CART_SOUND_STOP_X">-1000</Integer>
</Layout>)xml";
}

inline std::string classicProperties()
{
    return std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
           PropertyManager::kSchemaLocation +
           "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n"
           "<Integer id=\"INT_SCORE_PER_CLEAR\">" +
           std::to_string(kScorePerClear) +
           "</Integer>\n"
           "<Integer id=\"INT_SCORE_PER_CLEAR_LINE\">" +
           std::to_string(kScorePerClearLine) +
           "</Integer>\n"
           "<Integer id=\"INT_FAST_BLOCK_TIME\">" +
           std::to_string(kFastBlockTime) + "</Integer>\n</Properties>\n";
}

// Reaches into the classic field's state.
class ClassicProbe : public ClassicPlayScene {
public:
    using ClassicPlayScene::ClassicPlayScene;
    using PlayScene::gameoverTimer;
    using PlayScene::pendingSprites;
    // Holds the pipe back so a test's grid keeps its rows.
    void holdPipe() { static_cast<ClassicLevel*>(level)->setBlockTime(1 << 30); }
    using PlayScene::hourglassTimer;
    using PlayScene::speedUpActive;
    using PlayScene::speedUpUsed;
};

class ClassicFixture : public fieldtest::FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ASSERT_EQ(app->getPropertyManager()->parse(classicProperties().c_str()), 1);
        loadLayout(classicLayout());
    }

    void TearDown() override
    {
        dropField(classic);
        // The hand-over state is program-wide; a level end leaves it set.
        scorePending = false;
        uploadScore = 0;
        FieldFixture::TearDown();
    }

    // The classic field, shown and run until it plays (phase 4).
    ClassicProbe* playingClassic()
    {
        return showField(classic, [&] { return classic->getPhase() == PlayPhase::Playing; });
    }

    // Replaces the field's grid (not the pipe) with the grid text's blocks, shown on the canvas.
    void setGrid(const std::string& text)
    {
        Level* level = classic->getLevel();
        const std::vector<std::string> lines = leveltest::splitLines(text);
        for (int y = 0; y < level->getRows(); ++y)
            for (int x = 0; x < level->getColumns(); ++x) {
                if (Block* old = level->getBlock(x, y))
                    canvas->removeSprite(old);
                const char code = y < static_cast<int>(lines.size()) &&
                                          x < static_cast<int>(lines[static_cast<std::size_t>(y)].size())
                                      ? lines[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]
                                      : '.';
                Block* block = nullptr;
                if (leveltest::typeOfCode(code) != BlockTypeNone)
                    block = new Block(level, x, y, leveltest::typeOfCode(code), leveltest::colourOfCode(code), 1,
                                      true);
                level->setBlock(x, y, block);
                if (block)
                    block->addToCanvas(canvas);
            }
    }

    Block* cell(int x, int y) const { return classic->getLevel()->getBlock(x, y); }
    int rowsHeld() const
    {
        int rows = 0;
        for (int y = 0; y < classic->getLevel()->getRows(); ++y)
            for (int x = 0; x < classic->getLevel()->getColumns(); ++x)
                if (cell(x, y)) {
                    ++rows;
                    break;
                }
        return rows;
    }

    ClassicProbe* classic = nullptr;
};

} // namespace classictest
