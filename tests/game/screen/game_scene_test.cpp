// The play screen: the field it makes on each entry, the block set a player may use, the way back to
// the title screen with the game stored, and what the display's loss does to a game.
#include "../field/FieldFixture.h"

#include "game/screen/GameScene.h"
#include "platform/app/AppEvent.h"
#include "platform/surface/Surface.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <fstream>

namespace {

using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

int fieldsMade = 0;

PlayScene* makeTestField(GameSettings* settings)
{
    ++fieldsMade;
    return new TestPlayScene(settings);
}

PlayScene* makeNoField(GameSettings*)
{
    return nullptr;
}

// The title screen as the play screen sees it: a screen with a canvas that the play screen empties.
class TitleScreen : public TransitionScene {
public:
    explicit TitleScreen(Application* owner) : TransitionScene(owner, "SCENE_TITLE", 640, 480, 640, 480) {}
    Surface* takeSnapshot(const std::string&) override { return nullptr; }
    void onTransitionFinished() override { ++entries; }
    int entries = 0;
};

class GameSceneTest : public FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        std::string layout = fieldtest::fieldLayout();
        layout.insert(layout.rfind("</Layout>"),
                      "<IntegerVector id=\"VECTOR_TREASURE_UNLOCK_AMOUNT\"><i>0</i><i>4</i><i>8</i><i>12</i>"
                      "</IntegerVector>\n");
        loadLayout(layout);
        fieldsMade = 0;
        GameScene::setPlayFieldFactory(&makeTestField);
        title = new TitleScreen(app.get());
        play = new GameScene(app.get());
        app->addScene(title);
        app->addScene(play);
        app->switchScene(title);
        ownedBefore = stats().distinctOwned;
    }

    void TearDown() override
    {
        app->switchScene(nullptr);
        GameScene::setPlayFieldFactory(nullptr);
        stats().distinctOwned = ownedBefore;
        FieldFixture::TearDown();
    }

    // The title screen starts a game: it names itself as the screen left and switches.
    void startFromTitle()
    {
        play->setPreviousScene(title);
        app->switchScene(play);
    }

    void appFrame()
    {
        compat::testing::advanceClock(20);
        app->tick();
    }

    TitleScreen* title = nullptr;
    GameScene* play = nullptr;
    int32_t ownedBefore = 0;
};

TEST_F(GameSceneTest, ABlockSetNotYetUnlockedFallsBackToTheBestOneThatIs)
{
    // Unlocks: set 1 from 4 treasures (entry 1), set 2 from 12 (entry 3).
    struct Case {
        int owned;
        int wanted;
        int played;
    };
    const Case cases[] = {{0, 0, 0},  {3, 1, 0},  {4, 1, 1},  {3, 2, 0}, {4, 2, 1},
                          {11, 2, 1}, {12, 2, 2}, {12, 1, 1}, {30, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE("owned " + std::to_string(c.owned) + ", set " + std::to_string(c.wanted));
        stats().distinctOwned = c.owned;
        EXPECT_EQ(GameScene::allowedBlockSet(c.wanted), c.played);
    }
    stats().distinctOwned = 5;
    play->getSettings().blockset = 2;
    startFromTitle();
    EXPECT_EQ(play->getSettings().blockset, 1) << "the entry lowers the settings the field is made with";
}

TEST_F(GameSceneTest, EachEntryMakesAFieldStartsItAndEmptiesTheTitleScreen)
{
    auto* leftOver = keep(new Sprite);
    title->getCanvas()->addSprite(leftOver);
    const std::size_t logged = DebugLog::instance().getText().size();
    play->getSettings().mode = "CLASSIC";
    startFromTitle();

    auto* field = dynamic_cast<TestPlayScene*>(play->getPlayScene());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->getCanvas(), play->getCanvas());
    EXPECT_EQ(field->getSettings(), &play->getSettings());
    // The layout has no transition of this mode: the entry ends at once, with the lookup named.
    EXPECT_NE(DebugLog::instance().getText().find("TRANSITION_TITLE_TO_CLASSIC", logged), std::string::npos);
    EXPECT_EQ(field->events, std::vector<int>{PlayEvent::StepDone}) << "started";
    EXPECT_EQ(field->getPhase(), PlayPhase::Starting);
    EXPECT_TRUE(play->isRegistered());
    EXPECT_EQ(title->getCanvas()->getSpriteCount(), 0);

    // Entered from another screen: no mode transition is looked up.
    app->switchScene(title);
    EXPECT_EQ(play->getPlayScene(), nullptr);
    EXPECT_FALSE(play->isRegistered());
    const std::size_t again = DebugLog::instance().getText().size();
    play->setPreviousScene(nullptr);
    app->switchScene(play);
    EXPECT_EQ(DebugLog::instance().getText().find("TRANSITION_", again), std::string::npos);
    EXPECT_NE(play->getPlayScene(), nullptr);
    EXPECT_NE(play->getPlayScene(), field) << "a new field on every entry";
    EXPECT_EQ(fieldsMade, 2);
}

TEST_F(GameSceneTest, AFinishedFieldStoresTheGameAndReturnsToTheTitleScreen)
{
    play->getSettings().mode = "CLASSIC";
    play->getSettings().difficulty = "EASY";
    startFromTitle();
    auto* field = dynamic_cast<TestPlayScene*>(play->getPlayScene());
    ASSERT_NE(field, nullptr);
    appFrame();
    EXPECT_EQ(app->getCurrentScene(), play) << "a running field keeps the screen";

    field->setSaveState(SaveState::Playing);
    field->setPhase(PlayPhase::Leave);
    services.calls.clear();
    appFrame();
    EXPECT_EQ(app->getCurrentScene(), title);
    EXPECT_EQ(title->getPreviousScene(), play);
    EXPECT_EQ(play->getPlayScene(), nullptr);
    EXPECT_FALSE(play->isRegistered());
    EXPECT_EQ(services.calls, std::vector<std::string>{"fadeMusicOut"});
    // The game in progress was written where the field keeps its saved game.
    const std::string saved = services.getSaveGamePath("CLASSIC", "tester", "");
    EXPECT_TRUE(std::ifstream(saved).good() || std::ifstream(saved + ".!").good());
}

TEST_F(GameSceneTest, AModeWithoutAFieldGoesBackToTheTitleScreen)
{
    GameScene::setPlayFieldFactory(&makeNoField);
    const std::size_t logged = DebugLog::instance().getText().size();
    play->getSettings().mode = "SIDEWAYS";
    startFromTitle();
    EXPECT_NE(DebugLog::instance().getText().find("SIDEWAYS", logged), std::string::npos);
    appFrame();
    EXPECT_EQ(app->getCurrentScene(), title);
}

TEST_F(GameSceneTest, LosingTheDisplayPausesTheGame)
{
    play->getSettings().mode = "CLASSIC";
    startFromTitle();
    auto* field = dynamic_cast<TestPlayScene*>(play->getPlayScene());
    ASSERT_NE(field, nullptr);
    field->setPhase(PlayPhase::Playing);
    field->events.clear();
    services.calls.clear();
    play->onEvent(AppEvent(AppEvent::DisplayLost));
    EXPECT_EQ(field->events, std::vector<int>{PlayEvent::Pause});
    EXPECT_EQ(field->getPhase(), PlayPhase::Menu);
    play->onEvent(AppEvent(AppEvent::DisplayRegained));
    play->onEvent(AppEvent(AppEvent::LoadingProgress));
    EXPECT_EQ(services.count("fadeMusicOut"), 1);
    EXPECT_EQ(services.count("fadeMusicIn"), 1);
}

TEST_F(GameSceneTest, ItsPictureIsTheWholeScreenWhoeverAsks)
{
    play->getSettings().mode = "CLASSIC";
    startFromTitle();
    for (const char* caller : {"SCENE_TITLE", SceneSnapshot::SelfCaller}) {
        SCOPED_TRACE(caller);
        Surface* picture = play->takeSnapshot(caller);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->getDesc().width, 640u);
        EXPECT_EQ(picture->getDesc().height, 480u);
        picture->release();
    }
}

} // namespace
