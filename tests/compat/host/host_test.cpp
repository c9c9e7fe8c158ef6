#include "compat/host/Host.h"
#include "compat/host/testing.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

class HostChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* value = std::getenv("QUARRYTIDE_HOST");
        saved = value != nullptr ? value : "";
        hadValue = value != nullptr;
    }
    void TearDown() override
    {
        if (hadValue)
            setenv("QUARRYTIDE_HOST", saved.c_str(), 1);
        else
            unsetenv("QUARRYTIDE_HOST");
        compat::testing::resetHost();
    }
    std::string saved;
    bool hadValue = false;
};

TEST_F(HostChoice, TheEnvironmentChoosesAndAnUnknownNameIsAnError)
{
    setenv("QUARRYTIDE_HOST", "headless", 1);
    compat::testing::resetHost();
    EXPECT_FALSE(compat::host::current().capabilities().window);
    EXPECT_TRUE(compat::host::current().capabilities().keepsLastFrame);
    EXPECT_EQ(compat::host::selectionReport(), "headless: started");

    setenv("QUARRYTIDE_HOST", "vga", 1);
    compat::testing::resetHost();
    try {
        compat::host::current();
        ADD_FAILURE() << "an unknown host was accepted";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("vga"), std::string::npos);
        EXPECT_NE(std::string(failure.what()).find("headless, sdl"), std::string::npos);
    }
}

// A host that cannot start, with nothing to catch the failure: the handler that ends the program asks
// for the host again on the same thread (its message box does) and must get the failure, not wait for
// itself forever.
TEST_F(HostChoice, AHostThatCannotStartCanBeAskedForAgainByTheHandlerThatEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("QUARRYTIDE_HOST", "vga", 1);
    compat::testing::resetHost();
    EXPECT_EXIT(
        {
            std::set_terminate([] {
                try {
                    compat::host::current();
                } catch (const std::runtime_error&) {
                    std::_Exit(3);
                }
                std::_Exit(4);
            });
            std::thread([] { compat::host::current(); }).join();
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(HostChoice, WithoutADisplayTheChoiceFallsBackToHeadlessAndSaysWhy)
{
    if (std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr)
        GTEST_SKIP() << "a display is open here";
    unsetenv("QUARRYTIDE_HOST");
    compat::testing::resetHost();
    EXPECT_FALSE(compat::host::current().capabilities().window);
    const std::string report = compat::host::selectionReport();
    EXPECT_EQ(report.rfind("sdl: ", 0), 0u) << report;
    EXPECT_NE(report.find("headless: started"), std::string::npos) << report;

    setenv("QUARRYTIDE_HOST", "sdl", 1);
    compat::testing::resetHost();
    EXPECT_THROW(compat::host::current(), std::runtime_error); // asked for explicitly: no quiet fallback
}

TEST(HeadlessHost, KeepsTheLastFrameWideningSixteenBits)
{
    const std::uint16_t pixels[2 * 2] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    compat::host::Frame frame{pixels, 4, 2, 2, 16};
    compat::host::Picture picture = compat::host::toPicture(frame);
    EXPECT_EQ(picture.at(0, 0), 0xFF0000u);
    EXPECT_EQ(picture.at(1, 0), 0x00FF00u);
    EXPECT_EQ(picture.at(0, 1), 0x0000FFu);
    EXPECT_EQ(picture.at(1, 1), 0xFFFFFFu);

    // 32-bit rows may be padded; the unused top byte is dropped.
    const std::uint32_t wide[] = {0xAA123456, 0x00654321, 0xDEAD, 0x00ABCDEF, 0x00FEDCBA, 0xBEEF};
    compat::host::Picture fromWide = compat::host::toPicture({wide, 12, 2, 2, 32});
    EXPECT_EQ(fromWide.at(0, 0), 0x123456u);
    EXPECT_EQ(fromWide.at(1, 1), 0xFEDCBAu);
}

TEST(HeadlessHost, PicturesSurviveAPngRoundTrip)
{
    testsupport::TempDir dir;
    compat::host::Picture picture;
    picture.width = 3;
    picture.height = 2;
    picture.pixels = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF};
    const std::string path = (dir.path() / "frame.png").string();
    ASSERT_TRUE(compat::host::writePng(picture, path));
    compat::host::Picture back;
    ASSERT_TRUE(compat::host::readPng(path, back));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, picture.pixels);

    EXPECT_FALSE(compat::host::readPng((dir.path() / "missing.png").string(), back));
    EXPECT_FALSE(compat::host::writePng(compat::host::Picture{}, (dir.path() / "empty.png").string()));
}

} // namespace
