// The load screen run by the game's own application on the staged data set, as the program starts it,
// on the virtual clock: the bar follows the percentage, the other screens, the title's sounds and its
// music come at 100 % in their order, and whatever happened to the back buffer, a frame that has to
// show the load screen again leaves it whole there.
#include "compat/win32/registry/registry.h"
#include "compat/fmod/fmod.h"
#include "compat/fmod/testing.h"
#include "compat/ddraw/testing.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/GameMain.h"
#include "frontend/screens/LoadScene.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/sound/SoundManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/properties/PropertyManager.h"
#include "toolkit/component/AnimationComponent.h"
#include "toolkit/component/Label.h"
#include "toolkit/scene/TransitionScene.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "support/AppTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

// The game's application, noting what already stands when the load screen hands the loaded data over.
class WatchedApp : public GameApp {
public:
    void onResourcesLoaded() override
    {
        ++loadedCalls;
        screensAtLoaded = (findScene("SCENE_TITLE") != nullptr) + (findScene("SCENE_PLAY") != nullptr) +
                          (findScene("SCENE_TREASURE") != nullptr);
        soundsAtLoaded = compat::testing::playedSounds().size();
        GameApp::onResourcesLoaded();
    }

    int loadedCalls = 0;
    int screensAtLoaded = -1;
    std::size_t soundsAtLoaded = 0;
};

class LoadScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
        compat::testing::setDesktopSize(1024, 768);
        compat::testing::useVirtualClock(true, 5000);
        compat::testing::setRegistryFile(registry.file("registry"));
        setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(QUARRY_PROGRAM).parent_path());
        compat::testing::clearPlayedSounds();
        app = new WatchedApp();
        ASSERT_EQ(app->init(), 0);
        ASSERT_EQ(app->createSoundManager(), 0);
        ASSERT_EQ(app->createInputManager(), 0);
        ASSERT_EQ(app->createScreen(nullptr, WndProc, 1), 0);
        app->setDisplayState(Application::Active);
    }
    void TearDown() override
    {
        delete app;
        std::filesystem::current_path(previous);
        compat::testing::useVirtualClock(false);
        compat::testing::setDesktopSize(0, 0);
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
    }
    void tick(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            apptest::pumpAndTick(*app);
    }
    LoadScene* load() const { return dynamic_cast<LoadScene*>(app->getCurrentScene()); }
    // Ticks until the bar shows all that is loaded: the next frame only runs a step, and shows what
    // the last one showed.
    void untilTheBarIsCurrent()
    {
        for (int i = 0; i < 4 && ResourceManager::instance()->getProgress() > load()->getProgress()->getShown(); ++i)
            tick();
    }
    Surface* back() const { return app->getScreen()->getBackBuffer()->getSurface(); }
    int screens() const
    {
        return (app->findScene("SCENE_TITLE") != nullptr) + (app->findScene("SCENE_PLAY") != nullptr) +
               (app->findScene("SCENE_TREASURE") != nullptr);
    }

    testsupport::TempDir home, registry;
    std::filesystem::path previous;
    WatchedApp* app = nullptr;
};

} // namespace

TEST_F(LoadScreen, AFrameDrawnOverOrRestoredOrOverlaidShowsTheWholeLoadScreenAgain)
{
    // Past the delay, with the bar on its way.
    for (int i = 0; i < 50 && !(load() && load()->getProgress() && load()->getProgress()->getShown() > 0); ++i)
        tick();
    ASSERT_NE(load(), nullptr);
    ASSERT_GT(load()->getProgress()->getShown(), 0.0f);
    // A point of the loading picture away from the bar, the message and the statistics line.
    const int x = 600, y = 120;
    const std::uint32_t picture = peek(back(), x, y);

    struct Case {
        const char* what;
        int frames;
        std::function<void()> between;
    } cases[] = {
        {"the display was restored", 1, [&] { load()->restore(); }},
        {"the statistics are shown", 1, [&] { app->setStatisticsOverlay(1); }},
        {"the bar moved in the second of two frames", 2, [] {}},
    };
    for (const Case& c : cases) {
        untilTheBarIsCurrent();
        poke(back(), x, y, ~picture & 0xFFFFFFu);
        c.between();
        tick(c.frames);
        EXPECT_EQ(peek(back(), x, y) & 0xFFFFFFu, picture & 0xFFFFFFu) << c.what;
        app->setStatisticsOverlay(0);
        ASSERT_NE(load(), nullptr) << "still loading";
    }
}

// The loading message lies on the picture: its letters come with their rim and nothing else, so not one
// pixel of the line it takes is the pure black of an empty glyph cell (the picture there is dark brown).
TEST_F(LoadScreen, TheLoadingMessageLiesOnThePictureWithoutBlackCells)
{
    for (int i = 0; i < 50 && !(load() && load()->getProgress() && load()->getProgress()->getShown() > 0); ++i)
        tick();
    ASSERT_NE(load(), nullptr);
    const AnimatedLabel* label = load()->getLabel();
    ASSERT_NE(label, nullptr) << "the data set's LABEL_LOADING_MESSAGE makes the message";
    EXPECT_EQ(label->getText(), "Loading the game...");
    tick(2);
    BitmapFont* font = ResourceManager::getFont("FONT_SMALL");
    ASSERT_NE(font, nullptr);
    const int x0 = label->getAbsoluteX(), y0 = label->getAbsoluteY();
    const int width = font->measure(label->getText()), height = font->getLineHeight();
    int black = 0, lit = 0;
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x) {
            const std::uint32_t pixel = peek(back(), x, y) & 0xFFFFFFu;
            black += pixel == 0 ? 1 : 0;
            lit += pixel == peek(back(), x0, y0 + height / 2) ? 0 : 1;
        }
    EXPECT_EQ(black, 0) << "black pixels in the message's " << width << "x" << height << " line";
    EXPECT_GT(lit, width * height / 10) << "the letters are drawn";
}

// The bar is the image "IMAGE_LOADBAR" at "POINT_LOADINGBAR", uncovered from the left as far as the
// percentage goes: on the screen its last column is the bar's and the next one the picture's.
TEST_F(LoadScreen, TheBarUncoversItsImageFromTheLeftAsThePercentageRises)
{
    LoadScene* scene = load();
    ASSERT_NE(scene, nullptr);
    AnimationComponent* bar = scene->getLoadBar();
    ASSERT_NE(bar, nullptr);
    SurfaceHolder* barImage = ResourceManager::getImage("IMAGE_LOADBAR");
    Surface* picture = ResourceManager::getImage("IMAGE_LOADSCREEN")->getSurface();
    ASSERT_EQ(bar->getImage(), barImage);
    EXPECT_TRUE(bar->isClipped());
    const int full = static_cast<int>(barImage->getSurface()->getDesc().width);
    const int height = static_cast<int>(barImage->getSurface()->getDesc().height);
    const PointValue at = app->getPropertyManager()->getPoint("POINT_LOADINGBAR");
    EXPECT_EQ(bar->getAbsoluteX(), at.x);
    EXPECT_EQ(bar->getAbsoluteY(), at.y);
    const int row = at.y + height / 2;

    struct Case {
        const char* what;
        float atLeast; // the shown percentage the case waits for
    } cases[] = {
        {"before the first step", 0.0f}, {"a fifth", 20.0f}, {"half", 50.0f}, {"most", 85.0f}, {"all", 100.0f},
    };
    tick(); // the first frame, still waiting
    ASSERT_FALSE(scene->getProgress()->isStarted());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < 3000 && scene->getProgress()->getShown() < c.atLeast; ++i)
            tick();
        const float shown = scene->getProgress()->getShown();
        ASSERT_GE(shown, c.atLeast);
        const int width = static_cast<int>(static_cast<float>(full) / 100.0f * shown);
        // The part of the bar that shows: as much of the image as the percentage says.
        EXPECT_EQ(bar->getWidth(), c.atLeast == 0.0f ? full : width) << "the size is the image's until the first rise";
        EXPECT_EQ(std::min(bar->getWidth(), bar->getClipRect().width), width);
        EXPECT_EQ(bar->getClipRect().x, at.x);
        EXPECT_EQ(bar->getClipRect().height, height);
        if (width > 4) {
            EXPECT_NE(peek(back(), at.x + width - 2, row) & 0xFFFFFFu, peek(picture, at.x + width - 2, row) & 0xFFFFFFu)
                << "the bar covers the picture up to its edge";
        }
        if (width < full) {
            EXPECT_EQ(peek(back(), at.x + width + 1, row) & 0xFFFFFFu, peek(picture, at.x + width + 1, row) & 0xFFFFFFu)
                << "the picture shows past the bar's edge";
        }
    }
    EXPECT_EQ(bar->getWidth(), full);
    EXPECT_EQ(bar->getClipRect().width, full);
}

// At 100 %, in this order: the application reads its data, the title, play and treasure screens are
// made, the tune plays once and the mine's ambience loops, the message goes and the title is asked for,
// with the load screen as the screen it slides in over. Before 100 % none of the three exists.
TEST_F(LoadScreen, At100PercentTheOtherScreensAreMadeThenTheTitleSoundsPlayAndTheTitleFollows)
{
    LoadScene* scene = load();
    ASSERT_NE(scene, nullptr);
    for (int i = 0; i < 3000 && !scene->getProgress()->isDone(); ++i) {
        ASSERT_EQ(screens(), 0) << "frame " << i << ", " << scene->getProgress()->getShown() << " %";
        ASSERT_TRUE(compat::testing::playedSounds().empty());
        tick();
    }
    ASSERT_TRUE(scene->getProgress()->isDone());
    EXPECT_EQ(app->loadedCalls, 1);
    EXPECT_EQ(app->screensAtLoaded, 0) << "the data is read before the screens that use it are made";
    EXPECT_EQ(app->soundsAtLoaded, 0u);
    EXPECT_EQ(screens(), 3);

    const auto& played = compat::testing::playedSounds();
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].slot, ResourceManager::getSound("SOUND_VANTREL_TUNE"));
    EXPECT_NE(played[0].loopMode & FSOUND_LOOP_NORMAL, FSOUND_LOOP_NORMAL);
    EXPECT_EQ(played[1].slot, ResourceManager::getSound("SOUND_MINE_AMBIENCE"));
    EXPECT_EQ(played[1].loopMode & FSOUND_LOOP_NORMAL, FSOUND_LOOP_NORMAL);
    for (const auto& sound : played)
        EXPECT_EQ(sound.volume, 255);

    ASSERT_NE(scene->getLabel(), nullptr);
    EXPECT_FALSE(scene->getLabel()->isVisible()) << "the message goes as the title takes over";
    auto* title = dynamic_cast<TransitionScene*>(app->getCurrentScene());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->getName(), "SCENE_TITLE");
    EXPECT_EQ(title->getPreviousScene(), static_cast<SceneSnapshot*>(scene));
    EXPECT_TRUE(title->isRunning()) << "the title slides in over a picture of the load screen";

    // Once done, a key or a click asks for the title again; the screens are not made twice.
    app->setPendingScene(nullptr);
    scene->keyPressed(' ');
    tick();
    EXPECT_EQ(app->getCurrentScene(), title);
    EXPECT_EQ(screens(), 3);
    EXPECT_EQ(app->loadedCalls, 1);
}

// The title music is due 3 s after loading ends, but the title is asked for in the same frame: leaving
// the load screen starts it at once, silent, rising to full over half a second.
TEST_F(LoadScreen, LeavingTheLoadScreenStartsTheTitleMusicWithAHalfSecondFadeIn)
{
    LoadScene* scene = load();
    ASSERT_NE(scene, nullptr);
    SoundManager* sound = app->getSoundManager();
    ASSERT_NE(sound, nullptr);
    for (int i = 0; i < 3000 && !scene->getProgress()->isDone(); ++i) {
        ASSERT_EQ(scene->getMusicStartTime(), 0u);
        tick();
    }
    ASSERT_TRUE(scene->getProgress()->isDone());
    ASSERT_NE(app->getCurrentScene(), scene);
    EXPECT_EQ(scene->getMusicStartTime(), 0u) << "cleared as the music started";
    EXPECT_EQ(sound->getFadeTarget(), 1.0f);
    EXPECT_LT(sound->getFade(), 0.2f) << "the music starts (nearly) silent";
    EXPECT_NE(compat::testing::musicState().fileName.find("title.ogg"), std::string::npos)
        << "the stream of STRING_MUSIC_SELECTIONSCREEN: " << compat::testing::musicState().fileName;
    tick(10); // 0.2 s
    EXPECT_GT(sound->getFade(), 0.2f);
    EXPECT_LT(sound->getFade(), 0.8f);
    tick(20); // 0.6 s in all
    EXPECT_FLOAT_EQ(sound->getFade(), 1.0f);
}

// Another program takes the display halfway through loading: the load screen comes back whole, with its
// bar as far as it was, loading goes on, and the screens made at its end work on the display as it now is.
TEST_F(LoadScreen, ADisplayLostWhileLoadingComesBackAndLoadingGoesOnToTheTitle)
{
    LoadScene* scene = load();
    ASSERT_NE(scene, nullptr);
    for (int i = 0; i < 3000 && scene->getProgress()->getShown() < 40.0f; ++i)
        tick();
    untilTheBarIsCurrent();
    const PointValue at = app->getPropertyManager()->getPoint("POINT_LOADINGBAR");
    const int barRow = at.y + scene->getLoadBar()->getHeight() / 2;
    const int barInside = at.x + scene->getLoadBar()->getClipRect().width / 2;
    const std::uint32_t onBar = peek(back(), barInside, barRow) & 0xFFFFFFu;
    const std::uint32_t onPicture = peek(back(), 600, 120) & 0xFFFFFFu;

    compat::testing::loseAllSurfaces();
    tick(3);
    ASSERT_EQ(app->getCurrentScene(), scene);
    EXPECT_EQ(screens(), 0);
    EXPECT_EQ(peek(back(), 600, 120) & 0xFFFFFFu, onPicture) << "the loading picture is back";
    EXPECT_EQ(peek(back(), barInside, barRow) & 0xFFFFFFu, onBar) << "the bar is back";

    for (int i = 0; i < 3000 && !scene->getProgress()->isDone(); ++i)
        tick();
    ASSERT_TRUE(scene->getProgress()->isDone());
    EXPECT_EQ(screens(), 3);
    auto* title = dynamic_cast<TransitionScene*>(app->getCurrentScene());
    ASSERT_NE(title, nullptr);
    for (int i = 0; i < 200 && title->isRunning(); ++i)
        tick();
    EXPECT_FALSE(title->isRunning());
    EXPECT_NE(peek(back(), 600, 120) & 0xFFFFFFu, onPicture) << "the title is shown";
}
