// A headless play field for the field tests: the game fixture's pictures, clock and canvas, a property
// store with the score values, a layout with the field's rectangle, buttons, score label and a small
// classic level, recording front-end services, and a concrete field whose mode hooks are as plain as the
// base allows.
//
// The test mode runs the classic table: its own actions only move the phase (1 to Starting, 2 to Intro,
// 14 to LevelUp, 15 to LineBonus, 16 to LevelSummary, 17 to CartLeaves, 22 to EndlessEnd; 3 counts
// speed-ups). With `autoStepFrames` above 0 its own phases (Shown, Intro, LevelUp, LineBonus, CartLeaves,
// RockFall) send StepDone once the phase timer reads more than that many frames.
#pragma once

#include "../level/LevelTestSupport.h"

#include "compat/win32/window/messages.h"
#include "compat/win32/system/machine/timer.h"
#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "game/field/ClassicPlayScene.h"
#include "game/field/FieldServices.h"
#include "game/field/PlayScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/InputManager.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/properties/Properties.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/widget/ButtonBlit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace fieldtest {

// The field's own entries, added to the game fixture's layout. The level is 6 x 5 cells of 16 pixels at
// the field's corner (40, 24).
inline std::string fieldLayout()
{
    std::string text = gamefixture::defaultLayout();
    text.erase(text.rfind("</Layout>"));
    return text + R"xml(
  <Rectangle id="RECT_CLASSIC_GAME_SIZE_AND_POSITION" x="40" y="24" width="96" height="80"/>
  <Rectangle id="RECT_ENDLESS_GAME_SIZE_AND_POSITION" x="40" y="24" width="96" height="80"/>
  <Float id="FLOAT_SCORE_MULTIPLIER_EASY">1.0</Float>
  <Float id="FLOAT_SCORE_MULTIPLIER_HARD">2.0</Float>
  <IntegerVector id="LIST_HINT_COUNTS_PER_GAME">
    <i>1</i><i>2</i><i>3</i><i>4</i><i>5</i><i>6</i><i>7</i><i>8</i>
    <i>9</i><i>10</i><i>11</i><i>12</i><i>13</i><i>14</i><i>15</i><i>16</i><i>17</i><i>18</i>
  </IntegerVector>
  <buttonblit id="BUTTON_GAME_MENU_CLASSIC" name="BUTTON_GAME_MENU" x="500" y="10" width="40" height="20"/>
  <buttonblit id="BUTTON_GAME_MENU_ENDLESS" name="BUTTON_GAME_MENU" x="500" y="10" width="40" height="20"/>
  <buttonblit id="BUTTON_NEW_ROW" name="BUTTON_NEW_ROW" x="500" y="40" width="40" height="20"/>
  <pixelfontlabel id="LABEL_SCORE_CLASSIC" font="FONT_MUL" x="300" y="4"/>
  <pixelfontlabel id="LABEL_SCORE_ENDLESS" font="FONT_MUL" x="300" y="4"/>
  <classiclevel id="LEVEL_EASY_CLASSIC" width="6" height="5" blockwidth="16" blockheight="16"><level/></classiclevel>
  <classiclevel id="LEVEL_HARD_CLASSIC" width="6" height="5" blockwidth="16" blockheight="16"><level/></classiclevel>
  <Rectangle id="RECT_CLIP_GAME_MENU_CLASSIC" x="40" y="30" width="200" height="150"/>
  <Integer id="INT_GAME_MENU_Y_OFFSET_CLASSIC">4</Integer>
  <String id="KEY_PAUSE">p</String>
  <String id="STRING_ERROR_READING_SAVEGAME_TEXT">Saved game %d%n at %s unreadable</String>
  <Integer id="INT_GAME_OVER_TIME_CLASSIC">1000</Integer>
  <Point id="POINT_TREASURE_DIALOG_TREASURE_IMAGE_OFFSET" x="10" y="12"/>
  <Float id="FLOAT_TREASURE_FLOAT_SPEED">0.1</Float>
</Layout>)xml";
}

// The score values of the data set and the star colours, in the property store of the application.
inline std::string fieldProperties()
{
    std::string entries = "<Integer id=\"INT_MAX_MULTIPLIER\">16</Integer>\n"
                          "<Integer id=\"INT_SCORE_INIT\">10</Integer>\n"
                          "<Integer id=\"INT_SCORE_PER_BLOCK\">5</Integer>\n"
                          "<Integer id=\"INT_SCORE_PER_GOLD\">25</Integer>\n"
                          "<Integer id=\"INT_SCORE_PER_TREASURE\">250</Integer>\n"
                          "<Integer id=\"INT_SCORE_PER_SPECIAL\">20</Integer>\n";
    return std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
           PropertyManager::kSchemaLocation +
           "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" + entries +
           "</Properties>\n";
}

// The front end as the field sees it: every call is noted, dialogs are plain ones the test can answer.
class RecordingServices : public FieldServices {
public:
    ~RecordingServices() override
    {
        for (Dialog* dialog : dialogs)
            dialog->release();
    }

    Properties& getConfig() override { return config; }
    std::string getCurrentPlayer() override { return "tester"; }
    bool isGuest() override { return false; }
    std::string getSaveGamePath(const std::string& mode, const std::string& player,
                                const std::string& directory) override
    {
        return saveDirectory + player + "_" + mode + ".sav";
    }
    void playMusic(const std::string& id, float) override { calls.push_back("playMusic " + id); }
    void fadeMusicIn(float) override { calls.push_back("fadeMusicIn"); }
    void fadeMusicHalf(float) override { calls.push_back("fadeMusicHalf"); }
    void fadeMusicOut(float) override { calls.push_back("fadeMusicOut"); }
    int addScore(const std::string& mode, bool quattro, const std::string& player, int levelNumber, int score,
                 int time, int gold, double depth) override
    {
        calls.push_back("addScore " + mode + " " + std::to_string(quattro) + " " + player + " " +
                        std::to_string(levelNumber) + " " + std::to_string(score) + " " + std::to_string(time) +
                        " " + std::to_string(gold) + " " + std::to_string(static_cast<int>(depth)));
        return rank;
    }
    Dialog* openMainMenu(const std::string& imageId, int yOffset, int x, int y, int width, int height,
                         const GameSettings&) override
    {
        calls.push_back("openMainMenu " + imageId + " " + std::to_string(yOffset) + " " + std::to_string(x) + " " +
                        std::to_string(y) + " " + std::to_string(width) + " " + std::to_string(height));
        return menuFails ? nullptr : made(new Dialog(0, 0, 120, 90));
    }
    Dialog* openTreasureClaimedDialog(int treasure, bool) override
    {
        calls.push_back("openTreasureClaimedDialog " + std::to_string(treasure));
        return made(new Dialog(100, 200, 160, 120));
    }
    Dialog* openGameOverStatsDialog(int, int, int, int, const std::string& header, const std::vector<std::string>&,
                                    const std::vector<std::string>&) override
    {
        calls.push_back("openGameOverStatsDialog " + header);
        return made(new Dialog(60, 100, 200, 200));
    }
    int getStatsDialogHeaderY(Dialog*) override { return 110; }
    void postGameWindowMessage(unsigned message, long, long) override
    {
        calls.push_back("post " + std::to_string(message));
    }

    // How often a call starting with `prefix` was made.
    int count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& call : calls)
            if (call.compare(0, prefix.size(), prefix) == 0)
                ++n;
        return n;
    }

    Properties config;
    std::string saveDirectory;
    std::vector<std::string> calls;
    int rank = 3;
    bool menuFails = false;

private:
    // Kept alive for the test, as a front end that shows it would.
    Dialog* made(Dialog* dialog)
    {
        dialog->addRef();
        dialogs.push_back(dialog);
        return dialog;
    }
    std::vector<Dialog*> dialogs;
};

// A cart that counts being told the game is left.
class RecordingCart : public MineCart {
public:
    void leave() override { ++leaves; }
    int leaves = 0;
};

class TestPlayScene : public PlayScene {
public:
    explicit TestPlayScene(GameSettings* settings) : PlayScene(settings)
    {
        // The classic field's own table.
        ClassicPlayScene::setActionTable(*this);
    }

    void onAddedToCanvas() override
    {
        PlayScene::onAddedToCanvas();
        registerInput();
        setPhase(PlayPhase::Shown);
    }

    void sendEvent(int event) override
    {
        events.push_back(event);
        switch (getAction(phase, event)) {
        case PlayAction::Begin: setPhase(PlayPhase::Starting); break;
        case PlayAction::StartGame: setPhase(PlayPhase::Intro); break;
        case PlayAction::SpeedUp: ++speedUps; break;
        case PlayAction::GoldDone: setPhase(PlayPhase::LevelUp); break;
        case PlayAction::LineBonus: setPhase(PlayPhase::LineBonus); break;
        case PlayAction::LevelSummary: setPhase(PlayPhase::LevelSummary); break;
        case PlayAction::CartLeaves: setPhase(PlayPhase::CartLeaves); break;
        case PlayAction::EndlessEnd: setPhase(PlayPhase::EndlessEnd); break;
        default: PlayScene::sendEvent(event); break;
        }
    }

    void updatePhase() override
    {
        switch (phase) {
        case PlayPhase::Shown:
        case PlayPhase::Intro:
        case PlayPhase::LevelUp:
        case PlayPhase::LineBonus:
        case PlayPhase::CartLeaves:
        case PlayPhase::RockFall:
            if (autoStepFrames > 0 && phaseFrames() > autoStepFrames)
                sendEvent(PlayEvent::StepDone);
            break;
        default:
            PlayScene::updatePhase();
        }
    }

    // As the endless field does: the countdown runs for a blocked top unless an hourglass runs.
    void updateGame() override
    {
        PlayScene::updateGame();
        const bool hourglass = hourglassTimer.isRunning();
        if (level)
            updateGameOverTimer(!hourglass && level->isTopReached());
    }

    void openDialog(int kind) override
    {
        if (kind != PlayDialog::GameOver)
            return PlayScene::openDialog(kind);
        Dialog* dialog = FieldServices::get().openGameOverStatsDialog(0, 0, 200, 300, "GAME OVER", {}, {});
        dialog->addRef();
        dropSprite(openDialogSprite);
        openDialogSprite = dialog;
    }

    void saveModeState(TiXmlElement*) override {}
    int clearBonusPoints() override { return 100; }
    int clearBonusFactor() override { return 2; }

    // The test reaches into the field's state.
    using PlayScene::droppedTreasure;
    using PlayScene::earthquakeChannel;
    using PlayScene::gameoverTimer;
    using PlayScene::headerSprite;
    using PlayScene::hintCounts;
    using PlayScene::hourglassSprite;
    using PlayScene::hourglassTimer;
    using PlayScene::jack;
    using PlayScene::levelTimer;
    using PlayScene::mineCart;
    using PlayScene::musicStartTime;
    using PlayScene::phase;
    using PlayScene::phaseTimer;
    using PlayScene::treasureSprite;
    using PlayScene::treasureTimer;

    using PlayScene::dropSprite;

    // Holds the sprite in the slot (one reference), as the field's own code does.
    static void hold(Sprite*& slot, Sprite* sprite)
    {
        sprite->addRef();
        dropSprite(slot);
        slot = sprite;
    }
    // The cart as a mode makes it.
    void giveCart(MineCart* cart)
    {
        cart->addRef();
        if (mineCart)
            mineCart->release();
        mineCart = cart;
    }

    std::vector<int> events;
    int speedUps = 0;
    int autoStepFrames = 0;
};

// Index of the live sprite in the canvas's drawing list, -1 when it is not there.
inline int drawIndex(const SpriteCanvas* canvas, const Sprite* sprite)
{
    const std::vector<Sprite*>& all = canvas->getSprites();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == sprite && !sprite->isObsolete())
            return static_cast<int>(i);
    return -1;
}

class FieldFixture : public leveltest::LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        // The application of the level fixture, with the field's property store and an input manager.
        // An application takes the current catalogue with it, so the pictures are made again.
        app.reset();
        auto* store = new PropertyManager(nullptr);
        ASSERT_EQ(store->parse(fieldProperties().c_str()), 1);
        app = std::make_unique<StoreApplication>(store);
        catalogue = new ResourceManager(0);
        addPictures();
        catalogue->storeFont("FONT_MUL", font);
        app->createInputManager();
        loadLayout(fieldLayout());
        services.saveDirectory = dir.file("");
        FieldServices::install(&services);
        // No treasure falls unless a test asks for one; hints stay quiet.
        stats().treasureCountdown = 1000000;
        stats().hintsEnabled = false;
        settings.mode = "CLASSIC";
        settings.difficulty = "EASY";
    }

    void TearDown() override
    {
        if (scene) {
            if (scene->getCanvas())
                canvas->removeSprite(scene);
            scene->unregisterInput();
            scene->release();
            scene = nullptr;
        }
        FieldServices::install(nullptr);
        LevelFixture::TearDown();
    }

    static StatsManager& stats() { return StatsManager::instance(); }

    // A field made with the fixture's settings; not yet on the canvas.
    TestPlayScene* makeScene()
    {
        scene = new TestPlayScene(&settings);
        scene->addRef();
        return scene;
    }

    // A field on the canvas, playing (phase 4) on the grid text (LevelTestSupport's codes).
    TestPlayScene* playingScene(const std::string& grid)
    {
        makeScene();
        fill(grid);
        canvas->addSprite(scene);
        scene->setPhase(PlayPhase::Playing);
        return scene;
    }

    // Puts the grid text's blocks into the field's level.
    void fill(const std::string& text)
    {
        Level* level = scene->getLevel();
        ASSERT_NE(level, nullptr);
        level->clear();
        const std::vector<std::string> lines = leveltest::splitLines(text);
        for (int y = 0; y < static_cast<int>(lines.size()); ++y)
            for (int x = 0; x < static_cast<int>(lines[static_cast<std::size_t>(y)].size()); ++x) {
                const char code = lines[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                if (leveltest::typeOfCode(code) != BlockTypeNone)
                    level->setBlock(x, y,
                                    new Block(level, x, y, leveltest::typeOfCode(code),
                                              leveltest::colourOfCode(code), 1, true));
            }
    }

    // A mode's field made with the fixture's settings into the slot (one reference), shown on the canvas
    // and run until `ready` holds.
    template <class Field, class Ready> Field* showField(Field*& slot, Ready ready)
    {
        slot = new Field(&settings);
        slot->addRef();
        canvas->addSprite(slot);
        EXPECT_TRUE(runUntil(ready, 50));
        return slot;
    }
    // The field in the slot off the canvas and let go.
    template <class Field> void dropField(Field*& slot)
    {
        if (!slot)
            return;
        if (slot->getCanvas())
            canvas->removeSprite(slot);
        slot->release();
        slot = nullptr;
    }

    // The field's game saved as leaving it saves it, and the field let go.
    template <class Field> void saveAndLeave(Field*& slot)
    {
        slot->saveGame();
        dropField(slot);
    }

    // A left press at the screen point, through the input manager as the window would deliver it.
    void press(int x, int y)
    {
        InputManager* input = app->getInputManager();
        const auto position = static_cast<std::intptr_t>((y << 16) | (x & 0xFFFF));
        input->handleMessage(WM_LBUTTONDOWN, 1, position);
        input->dispatch();
    }

    // The centre of cell (x, y) of the field's level on the screen.
    static int cellX(int x) { return 40 + x * 16 + 8; }
    static int cellY(int y) { return 24 + y * 16 + 8; }

    // Frames of 20 ms until the condition holds or `limit` frames have run; false when it never held.
    template <class Condition> bool runUntil(Condition condition, int limit = 500)
    {
        for (int i = 0; i < limit; ++i) {
            if (condition())
                return true;
            frame();
        }
        return condition();
    }

    // A button of the name that answers the dialog.
    void answer(Sprite* dialogSprite, const std::string& buttonName)
    {
        auto* dialog = dynamic_cast<Dialog*>(dialogSprite);
        ASSERT_NE(dialog, nullptr);
        auto* button = keep(new ButtonBlit);
        button->setName(buttonName);
        dialog->onClick(button);
    }

    GameSettings settings;
    RecordingServices services;
    TestPlayScene* scene = nullptr;
};

} // namespace fieldtest
