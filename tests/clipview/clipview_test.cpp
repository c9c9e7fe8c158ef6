#include "clipview/Clipview.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>
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
        {"empty path", anInstance(), 1, 1, "", -3},
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

namespace {

std::vector<std::string> logLines(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(all.substr(start, end - start));
    EXPECT_EQ(start, all.size()) << "every line ends in CR LF";
    return lines;
}

TEST(Clipview, LogsEachShowAndAMoveWhenAWindowIsUp)
{
    testsupport::TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::ofstream("ad.swf") << "movie";
    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 0, 0, 0, 240, "ad.swf", 11045, 11044), -2);
    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 0, 0, 320, 240, "gone.swf", 11045, 11044), -5);
    EXPECT_FALSE(std::filesystem::exists("Clipview.log")) << "refused calls log nothing";

    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 0, 0, 320, 240, "ad.swf", 11045, 11044), 0);
    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 5, 5, 410, 184, "ad.swf", 11045, 11044), 0);
    EXPECT_EQ(HideIEWindow(), 0);
    EXPECT_EQ(ShowIEWindow(anInstance(), nullptr, 0, 0, 320, 240, "ad.swf", 11045, 11044), 0);
    EXPECT_EQ(HideIEWindow(), 0);

    const std::vector<std::string> lines = logLines("Clipview.log");
    std::filesystem::current_path(previous);
    // The class is registered once per process: an earlier test in this program may have done it.
    std::vector<std::string> expected = {"showIEWindow begin", "ad.swf", "Create FlashWindow"};
    std::size_t at = 3;
    if (lines.size() > at && lines[at] == "Register") {
        expected.push_back("Register");
        ++at;
    }
    for (const char* line : {"Play", "SetPos", "Update", "showIEWindow end", "showIEWindow begin", "ad.swf",
                             "hideIEWindow begin", "Move FlashWindow", "hideIEWindow end", "showIEWindow end",
                             "showIEWindow begin", "ad.swf", "Create FlashWindow", "Play", "SetPos", "Update",
                             "showIEWindow end"})
        expected.push_back(line);
    EXPECT_EQ(lines, expected);
}

} // namespace
