// The SDL host in a real window (run under a virtual X server by CTest): what the window shows is the
// back buffer, SDL input reaches the input manager in client coordinates through the game's window
// procedure, and the switch to full screen and back works. Skipped where the host shows no window.
#include "frontend/app/GameMain.h"
#include "support/PictureCompare.h"
#include "support/AppTestSupport.h"

#include "compat/host/window/SdlHost.h"
#include "compat/host/testing.h"
#include "compat/win32/window/messages.h"
#include "platform/app/InputManager.h"
#include "platform/surface/PixelFormat.h"

#include <cstdlib>
#include <string>

namespace apptest {
namespace {

using testsupport::channelDistance;


// Draws a picture whose every pixel differs from its neighbours: red follows x, green y.
class PatternScene : public RecordingScene {
public:
    using RecordingScene::RecordingScene;
    void draw(Surface* target, const FrameTime&) override
    {
        if (target == nullptr || FAILED(target->lock()))
            return;
        const SurfaceDesc& desc = target->getDesc();
        auto* base = static_cast<std::uint8_t*>(target->pixels());
        for (std::uint32_t y = 0; y < desc.height; ++y)
            for (std::uint32_t x = 0; x < desc.width; ++x) {
                const std::uint32_t colour = ((x * 2) & 0xFF) << 16 | ((y * 2) & 0xFF) << 8 | ((x + y) & 0xFF);
                const std::uint32_t native = desc.format.packPixel(&colour);
                std::uint8_t* p = base + static_cast<std::ptrdiff_t>(y) * desc.pitch + x * (desc.format.bitsPerPixel / 8);
                if (desc.format.bitsPerPixel == 16)
                    *reinterpret_cast<std::uint16_t*>(p) = static_cast<std::uint16_t>(native);
                else
                    *reinterpret_cast<std::uint32_t*>(p) = native;
            }
        target->unlock();
    }
};

struct Clicks : InputListener {
    void keyPressed(int key) override { keys.push_back(key); }
    void mousePressed(int x, int y, int buttons, int doubleClick) override
    {
        presses.push_back({x, y, buttons, doubleClick});
    }
    std::vector<int> keys;
    struct Press {
        int x, y, buttons, doubleClick;
    };
    std::vector<Press> presses;
};

// The back buffer as 0xRRGGBB.
compat::host::Picture backBufferPicture(Screen* screen)
{
    compat::host::Picture picture;
    Surface* back = screen->getBackBuffer()->getSurface();
    if (back == nullptr || FAILED(back->lock()))
        return picture;
    const SurfaceDesc& desc = back->getDesc();
    compat::host::Frame frame{back->pixels(), desc.pitch, static_cast<int>(desc.width),
                              static_cast<int>(desc.height), static_cast<int>(desc.format.bitsPerPixel)};
    picture = compat::host::toPicture(frame);
    back->unlock();
    return picture;
}

class SdlWindow : public AppTest {
protected:
    void SetUp() override
    {
        bool window = false;
        try {
            window = compat::host::current().capabilities().window;
        } catch (const std::exception& failure) {
            FAIL() << failure.what(); // asked for a window host that cannot start
        }
        if (!window)
            GTEST_SKIP() << "no window system here (" << compat::host::selectionReport() << ")";
        AppTest::SetUp();
        windowProcedure = WndProc;
        compat::testing::setDesktopSize(0, 0); // the real desktop
        compat::testing::useVirtualClock(false);
    }

    // Compares what the window shows with the back buffer, through the frame's place in the window.
    void expectWindowShowsBackBuffer(int tolerance, const char* screenshot)
    {
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        ASSERT_TRUE(compat::testing::readWindowPixels(width, height, pixels));
        compat::host::Picture shown{width, height, pixels};
        if (const char* dir = std::getenv("QUARRYTIDE_SCREENSHOTS"))
            compat::host::writePng(shown, std::string(dir) + "/" + screenshot);
        const compat::host::Picture back = backBufferPicture(app->getScreen());
        ASSERT_EQ(back.width, 640);
        // The frame fills the window's height or width, centred, same shape.
        int dw = width, dh = width * 480 / 640;
        if (dh > height) {
            dh = height;
            dw = height * 640 / 480;
        }
        const int ox = (width - dw) / 2, oy = (height - dh) / 2;
        int worst = 0, compared = 0;
        for (int y = 0; y < 480; y += 7)
            for (int x = 0; x < 640; x += 5) {
                // The centre of the window pixels that show this frame pixel.
                const int wx = ox + (2 * x + 1) * dw / 1280, wy = oy + (2 * y + 1) * dh / 960;
                worst = std::max(worst, channelDistance(shown.at(wx, wy), back.at(x, y)));
                ++compared;
            }
        EXPECT_GT(compared, 1000);
        EXPECT_LE(worst, tolerance) << screenshot;
    }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            pumpAndTick(*app);
    }
};

TEST_F(SdlWindow, ShowsTheBackBufferTakesInputAndSwitchesToFullScreenAndBack)
{
    start(true);
    auto* scene = new PatternScene(app, "SCENE_PATTERN", &log);
    app->addScene(scene);
    app->switchScene(scene);
    Clicks clicks;
    app->getInputManager()->addListener(&clicks);
    frames(6);

    // Windowed: X8R8G8B8, shown pixel for pixel.
    ASSERT_TRUE(app->getScreen()->isWindowed());
    EXPECT_EQ(app->getSystemInfo().pixelFormatText, "R8G8B8");
    expectWindowShowsBackBuffer(0, "windowed.png");

    compat::testing::pushSdlKey('A', true);
    compat::testing::pushSdlMouseButton(100, 50, 1, true, 1);
    compat::testing::pushSdlMouseButton(100, 50, 1, false, 1);
    compat::testing::pushSdlKey('A', false);
    frames(2);
    ASSERT_EQ(clicks.keys, (std::vector<int>{'A'}));
    ASSERT_EQ(clicks.presses.size(), 1u);
    EXPECT_EQ(clicks.presses[0].x, 100);
    EXPECT_EQ(clicks.presses[0].y, 50);
    EXPECT_EQ(clicks.presses[0].buttons, static_cast<int>(MK_LBUTTON));
    EXPECT_EQ(clicks.presses[0].doubleClick, 0);

    // Full screen: R5G6B5, scaled to the desktop; clicks map back to the game's coordinates.
    app->onResourcesLoaded();
    app->postEvent(new AppEvent(AppEvent::ToggleFullScreen));
    frames(6);
    ASSERT_FALSE(app->getScreen()->isWindowed());
    EXPECT_EQ(app->getSystemInfo().pixelFormatText, "R5G6B5");
    expectWindowShowsBackBuffer(8, "fullscreen.png");
    app->getInputManager()->addListener(&clicks); // the input manager lives on; the listener stays
    compat::testing::pushSdlMouseButton(320, 240, 1, true, 2);
    frames(2);
    ASSERT_EQ(clicks.presses.size(), 2u);
    EXPECT_NEAR(clicks.presses[1].x, 320, 1);
    EXPECT_NEAR(clicks.presses[1].y, 240, 1);
    EXPECT_EQ(clicks.presses[1].doubleClick, 1);

    app->postEvent(new AppEvent(AppEvent::ToggleFullScreen));
    frames(6);
    ASSERT_TRUE(app->getScreen()->isWindowed());
    expectWindowShowsBackBuffer(0, "windowed-again.png");
    EXPECT_FALSE(app->isQuitting());
    app->getInputManager()->removeListener(&clicks);
}

TEST_F(SdlWindow, AResizedWindowShowsTheUnchangedFrameAgain)
{
    start(true);
    auto* scene = new PatternScene(app, "SCENE_PATTERN", &log);
    app->addScene(scene);
    app->switchScene(scene);
    frames(6);
    expectWindowShowsBackBuffer(0, "before-resize.png");

    // The scene draws the same picture every frame, so nothing new is presented: the window must
    // paint itself again from what it showed.
    compat::testing::resizeSdlWindow(800, 700);
    frames(10);
    expectWindowShowsBackBuffer(8, "resized.png");
}

} // namespace
} // namespace apptest
