#include "Screen.h"

#include "compat/host/dialog/NativePresenter.h"
#include "frontend/app/LockStep.h"

#include "support/PictureCompare.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace playthrough {

std::string outputFolder()
{
    const char* folder = std::getenv("QUARRYTIDE_SCREENSHOTS");
    return folder != nullptr && *folder != '\0' ? folder : std::filesystem::temp_directory_path().string();
}

namespace {

using testsupport::channelDistance;


std::string goldenPath(const std::string& name)
{
    return ((std::filesystem::path(QUARRY_TESTS_DIR) / "frontend/playthrough") / "golden" / (name + ".png")).string();
}


bool updating() { return updatingGoldens(); }

// The test's end of the game's lock-step socket, -1 while no game plays.
int gameSocket = -1;
long played = 0;

// A frame of the game takes little time whatever the load; a game that answers nothing for this long
// hangs, and the play-through fails instead of waiting for ever.
constexpr int kHangMs = 180000;

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

bool updatingGoldens()
{
    const char* update = std::getenv("QUARRYTIDE_UPDATE_GOLDEN");
    return update != nullptr && *update != '\0' && *update != '0';
}

int framesOf(double seconds) { return std::max(1, static_cast<int>(seconds * kFramesPerSecond + 0.5)); }

bool runFrames(int count)
{
    if (gameSocket < 0 || count <= 0)
        return false;
    const std::uint32_t asked = static_cast<std::uint32_t>(count);
    std::uint32_t frame = 0;
    if (!LockStep::sendWhole(gameSocket, &asked, sizeof asked) ||
        !LockStep::receiveWhole(gameSocket, &frame, sizeof frame, kHangMs))
        return false;
    played += count;
    return true;
}

long framesPlayed() { return played; }

SteppedGame::SteppedGame(const std::string& path, const testsupport::TempDir& home, std::vector<std::string> settings)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    // The game's end is inherited by the program, and only by it.
    ::fcntl(ends[1], F_SETFD, 0);
    settings.push_back("QUARRYTIDE_TEST_LOCKSTEP=" + std::to_string(ends[1]));
    program = std::make_unique<testsupport::RunningProgram>(path, home, settings);
    ::close(ends[1]);
    socket = ends[0];
    gameSocket = socket;
}

SteppedGame::~SteppedGame()
{
    program.reset();
    if (gameSocket == socket)
        gameSocket = -1;
    if (socket >= 0)
        ::close(socket);
}

bool SteppedGame::started() const { return program && program->started; }

int SteppedGame::close(const std::string& title)
{
    if (!program || !compat::testing::closeDesktopWindowTitled(title))
        return -1;
    // The close is taken before the next frame; the game then saves and ends, which closes the socket.
    for (int frames = 0; frames < 30 * kFramesPerSecond && runFrames(1); ++frames) {
    }
    return program->waitForExit(30);
}

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

namespace {

void pressButtonAt(int x, int y, unsigned button)
{
    compat::testing::moveDesktopPointer(x, y);
    runFrames(1);
    compat::testing::pressDesktopButton(button, true);
    runFrames(3);
    compat::testing::pressDesktopButton(button, false);
}

} // namespace

void click(int x, int y)
{
    pressButtonAt(x, y, 1);
    pause(0.1);
}

void rightClick(int x, int y)
{
    pressButtonAt(x, y, 3);
    pause(0.04);
}

void movePointer(int x, int y)
{
    compat::testing::moveDesktopPointer(x, y);
}

void type(const std::string& text)
{
    for (const char ch : text) {
        compat::testing::typeDesktopText(std::string(1, ch));
        runFrames(2);
    }
    pause(0.1);
}

void pressKey(const char* keysymName)
{
    compat::testing::pressDesktopKey(keysymName, false);
    pause(0.1);
}

void pause(double seconds)
{
    runFrames(framesOf(seconds));
}

bool expectScreen(const std::string& name, const std::vector<Area>& ignored, double seconds, double settle)
{
    // The screen is given the time a person would wait for it. A new golden picture is what it shows
    // then; a comparison looks then and, should it differ, a while longer. With the golden pictures of
    // the current data set, both run the game for the very same frames and so play the same game.
    pause(settle);
    if (updating()) {
        std::filesystem::create_directories(std::filesystem::path(goldenPath(name)).parent_path());
        return compat::host::writePng(capture(), goldenPath(name));
    }
    Picture golden;
    if (!compat::host::readPng(goldenPath(name), golden))
        return false;
    // A small share of pixels may differ: a golden picture taken before a small change of the data set.
    constexpr double tolerance = 0.02;
    const long end = framesPlayed() + framesOf(seconds);
    Picture now;
    do {
        now = capture();
        if (differingShare(now, golden, ignored) <= tolerance)
            return true;
    } while (framesPlayed() < end && runFrames(framesOf(0.1)));
    compat::host::writePng(now, outputFolder() + "/playthrough-" + name + "-actual.png");
    compat::host::writePng(differencePicture(now, golden, ignored), outputFolder() + "/playthrough-" + name + "-diff.png");
    return false;
}

bool showsGolden(const std::string& name, const std::vector<Area>& ignored)
{
    Picture golden;
    return compat::host::readPng(goldenPath(name), golden) && differingShare(capture(), golden, ignored) <= 0.02;
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
    const long end = framesPlayed() + framesOf(seconds);
    do {
        if (differingShare(capture(), golden, outside) <= 0.02)
            return true;
    } while (framesPlayed() < end && runFrames(framesOf(0.1)));
    return false;
}

} // namespace playthrough
