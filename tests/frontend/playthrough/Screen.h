// The play-through's eyes and hands: pictures of the virtual display, real pointer and key events, and
// pictures compared with the golden ones kept beside the test.
#pragma once

#include "compat/host/testing.h"

#include "support/RunningProgram.h"
#include "support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace playthrough {

using compat::host::Picture;

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// What the display shows now (the game's window sits at the top left of a screen of its size): the
// picture of the frames run so far, for the game waits while the player looks.
Picture capture();

// The share of pixels, outside the ignored areas, whose colour differs by more than `threshold` in a
// channel; 1 when the sizes differ.
double differingShare(const Picture& a, const Picture& b, const std::vector<Area>& ignored, int threshold = 40);

// The game runs in lock-step with its player (QUARRYTIDE_TEST_LOCKSTEP): its clock moves one frame
// period per frame, and it runs frames only when the player asks, so the same clicks on the same
// pictures give the same game on any machine at any load. Time on this side is counted in its frames.
constexpr int kFramesPerSecond = 50;
int framesOf(double seconds);
// Runs that many frames of the game now playing and waits until they have run; false when the game has
// ended (or hangs).
bool runFrames(int count);
// Frames run since the test began: the player's clock, which every wait of the play-through reads.
long framesPlayed();

// The program started in lock-step in a home of its own, with the settings (NAME=value) given.
class SteppedGame {
public:
    SteppedGame(const std::string& program, const testsupport::TempDir& home, std::vector<std::string> settings);
    ~SteppedGame();
    SteppedGame(const SteppedGame&) = delete;
    SteppedGame& operator=(const SteppedGame&) = delete;

    bool started() const;
    // Closes the window as its close box does and runs frames until the program has ended; its exit
    // status, or -1 when it did not end.
    int close(const std::string& title);

private:
    int socket = -1;
    std::unique_ptr<testsupport::RunningProgram> program;
};

// Each input goes to the game in frames of its own, as a player's hand would: the pointer moves, the
// button goes down, and some frames later up again. pause runs the game for that long.
void click(int x, int y);
void rightClick(int x, int y);
void movePointer(int x, int y);
void type(const std::string& text);
void pressKey(const char* keysymName);
void pause(double seconds);
// Whether QUARRYTIDE_UPDATE_GOLDEN asks for new golden pictures (and scores).
bool updatingGoldens();
// Where pictures of a failed comparison go: $QUARRYTIDE_SCREENSHOTS, else the temporary folder.
std::string outputFolder();

// Runs the game `settle` seconds (the time a person would give the screen) and then until the display
// shows the golden picture `name` outside the ignored areas; says whether it did within `seconds` more
// (of the game). With QUARRYTIDE_UPDATE_GOLDEN set, keeps what the display shows after `settle` as the
// new golden picture instead (to be looked at before it is committed): with the golden pictures of the
// current data set, both run the game for the same frames and so play the same game. A mismatch leaves
// the last picture and a difference picture in the screenshot folder for a person to look at.
bool expectScreen(const std::string& name, const std::vector<Area>& ignored, double seconds, double settle = 2.0);

// Whether the display shows the golden picture `name` now, outside the ignored areas.
bool showsGolden(const std::string& name, const std::vector<Area>& ignored);

// Runs the game until the area shows what the golden picture `name` shows there.
bool waitForArea(const std::string& name, const Area& area, double seconds);

} // namespace playthrough
