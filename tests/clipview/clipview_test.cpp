#include "clipview/Clipview.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

HINSTANCE anInstance() { return reinterpret_cast<HINSTANCE>(0x400000); }

TEST(Clipview, ShowChecksItsArgumentsInOrder)
{
    testsupport::TempDir dir;
    std::string movie = dir.file("ad.swf");
    std::ofstream(movie) << "movie";
    std::string missing = dir.file("none.swf");
    std::string folder = dir.path().string();

    struct Case {
        const char* what;
        HINSTANCE instance;
        int width, height;
        const char* path;
        int result;
    };
    const Case cases[] = {
        {"everything in order", anInstance(), 410, 184, movie.c_str(), 0},
        {"no instance, before anything else", nullptr, 0, 0, nullptr, -1},
        {"zero width", anInstance(), 0, 184, movie.c_str(), -2},
        {"negative height", anInstance(), 410, -1, movie.c_str(), -2},
        {"size checked before the path", anInstance(), 410, 0, nullptr, -2},
        {"no path", anInstance(), 410, 184, nullptr, -3},
        {"file missing", anInstance(), 410, 184, missing.c_str(), -5},
        {"empty path cannot be opened", anInstance(), 1, 1, "", -5},
        {"a directory is no movie file", anInstance(), 1, 1, folder.c_str(), -5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShowIEWindow(c.instance, nullptr, 115, 258, c.width, c.height, c.path, 11045, 11044), c.result)
            << c.what;
    }
    EXPECT_EQ(HideIEWindow(), 0);
}

TEST(Clipview, ShowTakesBackslashPathsAndHideAlwaysAnswersZero)
{
    testsupport::TempDir dir;
    std::ofstream(dir.file("ad.swf")) << "movie";
    std::string gamePath = dir.path().string() + "\\ad.swf";
    EXPECT_EQ(HideIEWindow(), 0) << "nothing up";
    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 0, 0, 320, 240, gamePath.c_str(), 11045, 11044), 0);
    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 0, 0, 320, 240, gamePath.c_str(), 11045, 11044), 0)
        << "a second movie replaces the first";
    EXPECT_EQ(HideIEWindow(), 0);
    EXPECT_EQ(HideIEWindow(), 0);
}

} // namespace
