// The play field outside its phase machine: a new and a restored game, a layout that lacks the field's
// elements, the layers and widgets it puts on the canvas, the input it turns into events and the score
// that counts up to the earned one.
#include "FieldFixture.h"

#include "runtime/DebugLog.h"
#include "support/TempDir.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <gtest/gtest.h>

#include <string>

using fieldtest::drawIndex;
using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

namespace {

class PlaySceneTest : public FieldFixture {
protected:
    void writeSavedGame(const std::string& text)
    {
        testsupport::writeFile(services.saveDirectory + "tester_CLASSIC.sav", text);
    }
};

TEST_F(PlaySceneTest, ANewGameStartsFromNothing)
{
    for (const char* mode : {"CLASSIC", "ENDLESS"}) {
        SCOPED_TRACE(mode);
        settings.mode = mode;
        TestPlayScene* field = makeScene();
        EXPECT_EQ(field->getName(), mode);
        EXPECT_EQ(field->getBounds(), Rect(40, 24, 96, 80));
        EXPECT_EQ(field->getScore(), 0);
        EXPECT_EQ(field->getShownScore(), 0);
        EXPECT_EQ(field->getPhase(), PlayPhase::Created);
        EXPECT_TRUE(field->isClearBonusAllowed());
        // Sixteen counts from the longer list, in order.
        for (int id = 0; id < PlayScene::kHintKinds; ++id)
            EXPECT_EQ(field->getHintCount(id), id + 1);
        EXPECT_FALSE(field->getHourglassTimer().isEnabled());
        EXPECT_FALSE(field->getTreasureTimer().isEnabled());
        EXPECT_TRUE(field->getLevelTimer().isEnabled());
        EXPECT_EQ(services.config.getInt("game_x"), 40);
        EXPECT_EQ(services.config.getInt("game_y"), 24);
        EXPECT_EQ(services.config.getInt("game_width"), 96);
        EXPECT_EQ(services.config.getInt("game_height"), 80);
        ASSERT_NE(field->getMenuButton(), nullptr);
        ASSERT_NE(field->getScoreLabel(), nullptr);
        EXPECT_EQ(field->getScoreLabel()->getText(), "0");
        EXPECT_EQ(field->getScoreLabel()->getWidth(), 300);
        EXPECT_EQ(field->getNewRowButton() != nullptr, std::string(mode) == "CLASSIC");
        field->release();
        scene = nullptr;
    }
    settings.mode = "CLASSIC";
    TestPlayScene* field = makeScene();
    ASSERT_NE(field->getLevel(), nullptr);
    EXPECT_EQ(field->getLevel()->getLevelNumber(), 1);
    EXPECT_EQ(field->getLevel()->getX(), 40);
    EXPECT_EQ(field->getLevel()->getPlayField(), field);
    EXPECT_FLOAT_EQ(field->getScoreMultiplier(), 1.0f);
}

TEST_F(PlaySceneTest, AFieldWithoutItsLayoutElementsRunsOnAndNamesWhatIsMissing)
{
    // Only the game fixture's entries: no level, buttons, label or rectangles for the field.
    loadLayout(gamefixture::defaultLayout());
    const std::size_t logged = DebugLog::instance().getText().size();
    TestPlayScene* field = makeScene();
    const std::string log = DebugLog::instance().getText().substr(logged);
    for (const char* id : {"LEVEL_EASY_CLASSIC", "BUTTON_GAME_MENU_CLASSIC", "LABEL_SCORE_CLASSIC", "BUTTON_NEW_ROW"})
        EXPECT_NE(log.find(id), std::string::npos) << id;
    EXPECT_EQ(field->getLevel(), nullptr);
    EXPECT_EQ(field->getMenuButton(), nullptr);

    // Shown, started, played, paused without a menu, lost and left: nothing to trip over.
    field->autoStepFrames = 1;
    canvas->addSprite(field);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::Playing; }));
    field->onClick(nullptr);
    field->onChar(27);
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::Menu);
    services.menuFails = true;
    field->setPhase(PlayPhase::Playing);
    field->sendEvent(PlayEvent::Pause);
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing) << "no menu to show: play goes on";
    field->sendEvent(PlayEvent::GroupRemoved);
    field->sendEvent(PlayEvent::GameLost);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::GameOver; }));
    frame();
    frame();
    answer(field->getOpenDialog(), "BUTTON_CONTINUE");
    EXPECT_EQ(field->getPhase(), PlayPhase::Leave);
}

TEST_F(PlaySceneTest, ARestoredGameTakesUpItsScoreLevelAndHints)
{
    writeSavedGame(R"xml(<Root><SaveGame gamemode="CLASSIC" levelnr="3" score="4321">
  <LevelStats gold="4"/><GameStats gold="9"/>
  <HintStats><Item id="2" count="0"/><Item id="5" count="1"/><Item id="16" count="9"/><Item id="-1" count="9"/></HintStats>
</SaveGame></Root>)xml");
    settings.continueSaved = 1;
    TestPlayScene* field = makeScene();
    EXPECT_EQ(field->getScore(), 4321);
    EXPECT_EQ(field->getShownScore(), 4321) << "nothing counts up";
    EXPECT_EQ(field->getLevel()->getLevelNumber(), 3);
    EXPECT_EQ(field->getLevelStats().gold, 4);
    EXPECT_EQ(field->getGameStats().gold, 9);
    EXPECT_EQ(field->getHintCount(2), 0);
    EXPECT_EQ(field->getHintCount(5), 1);
    EXPECT_EQ(field->getHintCount(0), 0) << "counts the saved game does not list stay 0";
    EXPECT_FALSE(field->isClearBonusAllowed());

    // The first settling of an empty field after the restore gives no bonus; a later one does.
    canvas->addSprite(field);
    field->setPhase(PlayPhase::Playing);
    field->sendEvent(PlayEvent::GroupRemoved);
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
    field->sendEvent(PlayEvent::GroupRemoved);
    EXPECT_EQ(field->getPhase(), PlayPhase::FieldCleared);
}

TEST_F(PlaySceneTest, AnUnusableSavedGameStartsANewGame)
{
    const char* documents[] = {
        "",                                                // no file at all
        "<Root><SaveGame score=\"12\"",                    // cut off
        "<Root><Other score=\"12\"/></Root>",              // no SaveGame
        "<Root><SaveGame levelnr=\"2\"/></Root>",          // no score
    };
    for (const char* text : documents) {
        SCOPED_TRACE(text);
        if (*text)
            writeSavedGame(text);
        settings.continueSaved = 1;
        const std::size_t logged = DebugLog::instance().getText().size();
        TestPlayScene* field = makeScene();
        // The player is told; the message's stray conversions are only text.
        const std::string log = DebugLog::instance().getText().substr(logged);
        EXPECT_NE(log.find("Saved game %d%n at " + services.saveDirectory + "tester_CLASSIC.sav unreadable"),
                  std::string::npos)
            << log;
        EXPECT_EQ(settings.continueSaved, 0);
        EXPECT_EQ(field->getScore(), 0);
        EXPECT_TRUE(field->isClearBonusAllowed());
        EXPECT_EQ(field->getHintCount(3), 4);
        EXPECT_EQ(field->getLevel()->getLevelNumber(), 1);
        field->release();
        scene = nullptr;
    }
}

TEST_F(PlaySceneTest, TheFieldPutsItsLayersLabelAndButtonsOnTheCanvasAndTakesThemAway)
{
    TestPlayScene* field = makeScene();
    canvas->addSprite(field);
    EXPECT_EQ(field->getPhase(), PlayPhase::Shown);
    int previous = -1;
    for (const char* layer : PlayScene::kLayerNames) {
        Sprite* marker = field->getLayerMarker(layer);
        ASSERT_NE(marker, nullptr) << layer;
        EXPECT_EQ(marker->getName(), layer);
        const int index = drawIndex(canvas, marker);
        EXPECT_GT(index, previous) << layer;
        previous = index;
    }
    EXPECT_EQ(drawIndex(canvas, field->getScoreLabel()) + 1,
              drawIndex(canvas, field->getLayerMarker("LAYER_SCORELABEL")));
    EXPECT_EQ(drawIndex(canvas, field->getMenuButton()) + 1,
              drawIndex(canvas, field->getLayerMarker("LAYER_MENU_BUTTON")));
    EXPECT_EQ(drawIndex(canvas, field->getNewRowButton()) + 1, drawIndex(canvas, field->getLayerMarker("LAYER_PIPE")));
    // A sprite put at a layer lands above what the layer already holds, below the next layer.
    auto* first = keep(new Sprite(0, 0, 1, 1));
    auto* second = keep(new Sprite(0, 0, 1, 1));
    field->addSpriteAtLayer(first, "LAYER_STARS");
    field->addSpriteAtLayer(second, "LAYER_STARS");
    EXPECT_LT(drawIndex(canvas, first), drawIndex(canvas, second));
    EXPECT_EQ(drawIndex(canvas, second) + 1, drawIndex(canvas, field->getLayerMarker("LAYER_STARS")));
    EXPECT_GT(drawIndex(canvas, first), drawIndex(canvas, field->getLayerMarker("LAYER_SPECIALBLOCKS")));
    EXPECT_TRUE(field->isRegistered());

    canvas->removeSprite(field);
    frame();
    EXPECT_FALSE(field->isRegistered());
    for (const char* layer : PlayScene::kLayerNames)
        EXPECT_EQ(drawIndex(canvas, field->getLayerMarker(layer)), -1) << layer;
    EXPECT_EQ(drawIndex(canvas, field->getScoreLabel()), -1);
    EXPECT_EQ(drawIndex(canvas, field->getMenuButton()), -1);
    EXPECT_EQ(drawIndex(canvas, field->getNewRowButton()), -1);
}

TEST_F(PlaySceneTest, InputBecomesEventsOfThePhaseMachine)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    field->events.clear();
    field->onChar(' ');
    field->rightPressed(0, 0, 0, 0);
    field->onClick(field->getNewRowButton());
    EXPECT_EQ(field->speedUps, 3);
    field->setPhase(PlayPhase::ToolEffect);
    field->rightPressed(0, 0, 0, 0);
    EXPECT_EQ(field->events.size(), 3u) << "the other button speeds up only in play";
    field->onChar('p');
    EXPECT_TRUE(field->isMenuRequested());
    field->events.clear();
    field->onChar('q');
    EXPECT_TRUE(field->events.empty());
    // A left press anywhere is a click, whatever the phase.
    press(600, 400);
    EXPECT_EQ(field->events, std::vector<int>{PlayEvent::Click});
}

TEST_F(PlaySceneTest, TheShownScoreCountsUpInSteps)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    field->setPhase(PlayPhase::Created);
    field->setScore(2500);
    // One step of 1000, 13 of 100, 18 of 10 and 20 of 1 at one nominal frame each.
    for (int i = 0; i < 51; ++i)
        frame();
    EXPECT_EQ(field->getShownScore(), 2499);
    frame();
    EXPECT_EQ(field->getShownScore(), 2500);
    EXPECT_EQ(field->getScoreLabel()->getText(), "2500");
    EXPECT_EQ(uploadScore, 2500);
    // A long frame takes a longer step, but never past the score.
    field->setScore(2600);
    frame(200);
    EXPECT_EQ(field->getShownScore(), 2600);
}

} // namespace
