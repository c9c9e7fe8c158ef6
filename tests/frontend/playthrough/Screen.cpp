#include "Screen.h"

#include "compat/host/NativePresenter.h"

#include "support/PictureCompare.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace playthrough {

namespace {

using testsupport::channelDistance;


std::string goldenPath(const std::string& name)
{
    return ((std::filesystem::path(QUARRY_TESTS_DIR) / "frontend/playthrough") / "golden" / (name + ".png")).string();
}

std::string outputFolder()
{
    const char* folder = std::getenv("QUARRYTIDE_SCREENSHOTS");
    return folder != nullptr && *folder != '\0' ? folder : std::filesystem::temp_directory_path().string();
}

bool updating()
{
    const char* update = std::getenv("QUARRYTIDE_UPDATE_GOLDEN");
    return update != nullptr && *update != '\0' && *update != '0';
}

bool ignoredAt(const std::vector<Area>& ignored, int x, int y)
{
    return std::any_of(ignored.begin(), ignored.end(), [&](const Area& area) { return area.contains(x, y); });
}

Picture differencePicture(const Picture& a, const Picture& b, const std::vector<Area>& ignored)
{
    Picture out = a;
    for (int y = 0; y < std::min(a.height, b.height); ++y)
        for (int x = 0; x < std::min(a.width, b.width); ++x) {
            const std::uint32_t grey = (a.at(x, y) >> 2) & 0x3F3F3F;
            const bool off = !ignoredAt(ignored, x, y) && channelDistance(a.at(x, y), b.at(x, y)) > 40;
            out.pixels[static_cast<std::size_t>(y) * a.width + x] = off ? 0xFF00FFu : grey;
        }
    return out;
}

} // namespace

Picture capture()
{
    Picture picture;
    if (!compat::testing::captureDesktop(picture.width, picture.height, picture.pixels))
        picture = Picture{};
    return picture;
}

double differingShare(const Picture& a, const Picture& b, const std::vector<Area>& ignored, int threshold)
{
    if (a.width != b.width || a.height != b.height || a.width == 0)
        return 1.0;
    long counted = 0, off = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            if (ignoredAt(ignored, x, y))
                continue;
            ++counted;
            if (channelDistance(a.at(x, y), b.at(x, y)) > threshold)
                ++off;
        }
    return counted == 0 ? 0.0 : static_cast<double>(off) / static_cast<double>(counted);
}

void click(int x, int y)
{
    compat::testing::clickDesktopAt(x, y);
    pause(0.15);
}

void rightClick(int x, int y)
{
    compat::testing::rightClickDesktopAt(x, y);
    pause(0.1);
}

void movePointer(int x, int y)
{
    compat::testing::moveDesktopPointer(x, y);
}

void type(const std::string& text)
{
    compat::testing::typeDesktopText(text);
    pause(0.1);
}

void pressKey(const char* keysymName)
{
    compat::testing::pressDesktopKey(keysymName, false);
    pause(0.1);
}

void pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool expectScreen(const std::string& name, const std::vector<Area>& ignored, double seconds, double settle)
{
    // A small share of pixels may differ: sparkles and idle animations are random in time.
    constexpr double tolerance = 0.02;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    if (updating()) {
        // The screen is given the time a person would wait for it; then a picture that holds still
        // for a second becomes the golden one.
        pause(settle);
        Picture before = capture();
        int stillLooks = 0;
        while (std::chrono::steady_clock::now() < end + std::chrono::duration<double>(settle)) {
            pause(0.25);
            Picture now = capture();
            stillLooks = differingShare(before, now, ignored) < 0.0005 ? stillLooks + 1 : 0;
            if (stillLooks >= 4) {
                std::filesystem::create_directories(std::filesystem::path(goldenPath(name)).parent_path());
                return compat::host::writePng(now, goldenPath(name));
            }
            before = std::move(now);
        }
        return false;
    }
    Picture golden;
    if (!compat::host::readPng(goldenPath(name), golden))
        return false;
    Picture now;
    do {
        now = capture();
        if (differingShare(now, golden, ignored) <= tolerance)
            return true;
        pause(0.1);
    } while (std::chrono::steady_clock::now() < end);
    compat::host::writePng(now, outputFolder() + "/playthrough-" + name + "-actual.png");
    compat::host::writePng(differencePicture(now, golden, ignored), outputFolder() + "/playthrough-" + name + "-diff.png");
    return false;
}

bool waitForArea(const std::string& name, const Area& area, double seconds)
{
    Picture golden;
    if (!compat::host::readPng(goldenPath(name), golden))
        return false;
    const std::vector<Area> outside = {{0, 0, golden.width, area.y},
                                       {0, area.y + area.height, golden.width, golden.height},
                                       {0, area.y, area.x, area.height},
                                       {area.x + area.width, area.y, golden.width, area.height}};
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (differingShare(capture(), golden, outside) <= 0.02)
            return true;
        pause(0.1);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

} // namespace playthrough
