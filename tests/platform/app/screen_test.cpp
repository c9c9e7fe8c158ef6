#include "support/AppTestSupport.h"

#include "platform/surface/PixelFormat.h"
#include "runtime/GameException.h"

namespace apptest {
namespace {

TEST(PixelFormatText, NamesTheChannelsFromTheTopDown)
{
    const struct {
        std::uint32_t r, g, b;
        const char* text;
    } cases[] = {
        {0xF800, 0x07E0, 0x001F, "R5G6B5"},
        {0x7C00, 0x03E0, 0x001F, "R5G5B5"},
        {0xFF0000, 0x00FF00, 0x0000FF, "R8G8B8"},
        {0x0000FF, 0x00FF00, 0xFF0000, "B8G8R8"},
        {0xFF00, 0xFF00, 0x00FF, "??B8"},
    };
    for (const auto& c : cases) {
        PixelFormat format;
        format.set(0, c.r, c.g, c.b, 16);
        std::string text = "old";
        describePixelFormat(text, format);
        EXPECT_EQ(text, c.text);
    }
}

TEST(DisplayPixelFormat, PositionsAndLossesOfEveryChannel)
{
    setDisplayPixelFormat(0xF800, 0x07E0, 0x001F, 0);
    EXPECT_EQ(displayChannel(0).position, 11);
    EXPECT_EQ(displayChannel(0).loss, 3);
    EXPECT_EQ(displayChannel(1).position, 5);
    EXPECT_EQ(displayChannel(1).loss, 2);
    EXPECT_EQ(displayChannel(2).position, 0);
    EXPECT_EQ(displayChannel(3).position, 0);
    EXPECT_EQ(displayChannel(3).loss, 8);
}

TEST_F(AppTest, WindowedScreenCentresAcrossAndAThirdDown)
{
    start();
    Screen* screen = app->getScreen();
    RECT client, frame;
    GetClientRect(window(), &client);
    GetWindowRect(window(), &frame);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    RECT adjusted = {0, 0, 640, 480};
    AdjustWindowRectEx(&adjusted, static_cast<DWORD>(GetWindowLongA(window(), GWL_STYLE)) & ~WS_VISIBLE, FALSE, 0);
    // Across by the adjusted rectangle, with a third of the free height above.
    EXPECT_EQ(frame.left, (1024 - adjusted.right - adjusted.left) / 2);
    EXPECT_EQ(frame.top, (768 - adjusted.bottom - adjusted.top) / 3);
    POINT origin = {0, 0};
    ClientToScreen(window(), &origin);
    EXPECT_EQ(screen->getTargetRect().left, origin.x);
    EXPECT_EQ(screen->getTargetRect().bottom, origin.y + 480);
    EXPECT_EQ(getGameWindow(), window());
    EXPECT_STREQ(screen->getBackBuffer()->getSurface()->getName().c_str(), "BackBuffer");
    EXPECT_STREQ(screen->getPrimary()->getSurface()->getName().c_str(), "PrimaryBuffer");
    EXPECT_EQ(app->getSystemInfo().fullScreen, 0);
    // The headless host shows the client area where the window has it.
    const compat::host::HeadlessState host = compat::testing::headlessState();
    EXPECT_EQ(host.x, origin.x);
    EXPECT_EQ(host.width, 640);
    EXPECT_EQ(host.title, "Quarrytide Test");

    // A reopen in a window changes nothing.
    const HWND before = window();
    EXPECT_EQ(screen->reopen(), 0);
    EXPECT_EQ(window(), before);
}

TEST_F(AppTest, FullScreenIsSixteenBitsWithASeparateBackBuffer)
{
    start(false);
    Screen* screen = app->getScreen();
    EXPECT_FALSE(screen->isWindowed());
    EXPECT_EQ(screen->usesBlitPresent(), 1);
    EXPECT_EQ(screen->getBackBuffer()->getSurface()->getDesc().format.bitsPerPixel, 16u);
    EXPECT_EQ(screen->getTargetRect().right, 640);
    EXPECT_EQ(screen->present(), DD_OK);
    // A reopen in full screen makes a new window and display.
    const HWND before = window();
    EXPECT_EQ(screen->reopen(), 0);
    EXPECT_NE(window(), before);
}

TEST_F(AppTest, NoVideoMemoryFallsBackToSystemMemory)
{
    compat::testing::failNextCreateSurface(DDERR_OUTOFVIDEOMEMORY);
    start();
    EXPECT_EQ(app->getScreen()->usesBlitPresent(), 1);
    EXPECT_EQ(app->getScreen()->present(), DD_OK);
}

TEST_F(AppTest, SurfaceFailuresEndInTheGameTextExceptions)
{
    const struct {
        HRESULT code;
        std::string text;
    } cases[] = {
        {E_OUTOFMEMORY, "ERROR - There is not enough memory to continue the game!\n"},
        {DDERR_NOCOOPERATIVELEVELSET, "ERROR - Could not initialize DirectDraw: Error code: " +
                                          std::to_string(DDERR_NOCOOPERATIVELEVELSET) +
                                          "\nError message: DDERR_NOCOOPERATIVELEVELSET\n\n"},
    };
    for (const auto& c : cases) {
        Screen screen(1);
        compat::testing::failNextCreateSurface(c.code);
        try {
            screen.create(nullptr, plainWindowProcedure, "Failing", 640, 480, 1);
            ADD_FAILURE() << "no exception";
        } catch (const GameTextException& failure) {
            EXPECT_EQ(failure.getText(), c.text);
        }
        screen.destroyWindow();
    }
}

} // namespace
} // namespace apptest
