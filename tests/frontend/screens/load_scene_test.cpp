// The load screen run by the game's own application on the staged data set, as the program starts it,
// on the virtual clock: whatever happened to the back buffer, a frame that has to show the load screen
// again leaves it whole there.
#include "compat/win32/registry/registry.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/GameMain.h"
#include "frontend/screens/LoadScene.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "toolkit/component/Label.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "support/AppTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

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
        app = new GameApp();
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

    testsupport::TempDir home, registry;
    std::filesystem::path previous;
    GameApp* app = nullptr;
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
