// The whole game as a player meets it: the real program on the SDL host in a virtual X display, played
// through real pointer and key events from a fresh data directory with a fixed seed, each screen held
// against a golden picture. CTest starts it under xvfb-run as WholeGamePlayThrough.
#include "FieldModel.h"
#include "Screen.h"

#include "compat/host/dialog/NativePresenter.h"

#include "runtime/properties/Properties.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "support/PictureCompare.h"
#include "support/RunningProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace playthrough {
namespace {

// The final score of each game the player plays. The game runs in lock-step with the player, so the
// same seed and the same clicks give the same game and these scores on every machine at any load; a
// change of the data set (the pace, the rules, a layout the player clicks) changes them. To take new
// ones, run the test with QUARRYTIDE_PRINT_SCORES=1 (or QUARRYTIDE_UPDATE_GOLDEN=1, which also takes new
// pictures) and copy the lines it prints here.
struct Scores {
    int classic = 0; // the classic game played to its end, from the local high-score table
    int endless = 0; // the endless game, from the local high-score table
    int left = 0;    // the classic game left in progress, from its saved game
};
const Scores kScores = {1212, -1, 143};

// Runs the game until the condition holds, looking every few frames; false when the time ran out.
template <class Condition> bool waitFor(Condition condition, double seconds)
{
    const long end = framesPlayed() + framesOf(seconds);
    while (!condition()) {
        if (framesPlayed() >= end || !runFrames(framesOf(0.1)))
            return false;
    }
    return true;
}

// The classic and endless grids: 12 x 11 cells of 32 pixels at (64, 64).
constexpr int kFieldLeft = 64, kFieldTop = 64, kCell = 32, kColumns = 12, kRows = 11;
constexpr int kMinimumGroup = 3;

// Parts of the screen that move by themselves: the title's waving miner and glowing chest.
const std::vector<Area> kTitleAnimations = {{200, 300, 140, 160}, {460, 280, 180, 150}};
// The play screen's miner and cart, which move by themselves; the field, the shaft of waiting blocks,
// the score and the hints are compared, for in lock-step the same play gives them on every run.
const std::vector<Area> kPlayAnimations = {{470, 120, 110, 160}, {500, 290, 140, 110}};
// Everything but the field and the shaft of waiting blocks beside it, less the tip box that may stand
// over the field's top rows for a while (a tip is no part of a saved game) and the miner's corner.
const std::vector<Area> kNotTheFieldNorTheShaft = {{0, 0, 640, kFieldTop},
                                                  {140, 56, 232, 72},
                                                  {0, kFieldTop + kRows * kCell, 640, 480},
                                                  {0, 0, kFieldLeft, 480},
                                                  {kFieldLeft + kColumns * kCell, 0, 460 - kFieldLeft - kColumns * kCell, 480},
                                                  {510, 0, 130, 480},
                                                  {476, 130, 34, 145}};

// The load screen's bar, which fills as the game loads.
const std::vector<Area> kLoadBar = {{100, 400, 440, 60}};

void press(int x, int y);

// Runs the game past its load screen. Once loaded, a load screen may wait for the player: every ten
// seconds it still shows, the player clicks (which a load screen that goes on by itself ignores).
void leaveLoadScreen(double seconds)
{
    const long end = framesPlayed() + framesOf(seconds);
    for (int looks = 1; framesPlayed() < end && showsGolden("load", kLoadBar); ++looks) {
        runFrames(framesOf(0.5));
        if (looks % 20 == 0)
            press(620, 470);
    }
}

bool printingScores()
{
    const char* print = std::getenv("QUARRYTIDE_PRINT_SCORES");
    return updatingGoldens() || (print != nullptr && *print != '\0' && *print != '0');
}

// The player's best score in a mode's local high-score table of the configuration file; -1 when the
// player has no line there.
int tableScore(const std::string& configFile, const std::string& mode)
{
    Properties config;
    try {
        DataReaderFacade reader(1);
        reader.open(configFile);
        config.read(reader);
        reader.close();
    } catch (...) {
        return -1;
    }
    const Properties* tables = config.getChild("highscores");
    const Properties* table = tables != nullptr ? tables->getChild(mode) : nullptr;
    const Properties* group = table != nullptr ? table->getChild("TRIPLE") : nullptr;
    int best = -1;
    for (unsigned rank = 1; group != nullptr && rank <= group->size(); ++rank)
        if (const Properties* line = group->getChild(std::to_string(rank)))
            if (line->getString("name") == "Mia Stone")
                best = std::max(best, line->getInt("score"));
    return best;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// SDL tells a double click by the wall clock; the player never means one, so no press is taken for the
// second of a pair however quickly the game runs.
std::vector<std::string> gameSettings()
{
    return {"QUARRYTIDE_HOST=sdl", "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy", "QUARRYTIDE_TEST_SEED=20261211",
            "SDL_MOUSE_DOUBLE_CLICK_TIME=0"};
}

FieldModel seeField()
{
    return readField(capture(), kFieldLeft, kFieldTop, kCell, kColumns, kRows);
}

// The field once it holds still: two looks a moment apart agree.
FieldModel settledField()
{
    FieldModel before = seeField();
    for (int tries = 0; tries < 20; ++tries) {
        pause(0.15);
        FieldModel now = seeField();
        if (now == before)
            return now;
        before = now;
    }
    return before;
}

void clickCell(const Cell& cell)
{
    click(kFieldLeft + cell.x * kCell + kCell / 2, kFieldTop + cell.y * kCell + kCell / 2);
    // Off the field again, so no selection colours the next look.
    movePointer(620, 470);
}

bool continueShownAt(int x, int y);
bool yellowStrip(int left, int right, int y);

// A click, then the pointer away to a corner, so no highlight colours the next look.
void press(int x, int y)
{
    click(x, y);
    movePointer(620, 470);
}

// A treasure dug out during play shows its dialog (and its button may have opened the chest): the player
// closes them and plays on. True when something was closed.
bool closeTreasureDialogs()
{
    if (yellowStrip(532, 545, 21)) { // the chest's back button
        press(572, 21);
        pause(1.0);
        return true;
    }
    if (yellowStrip(275, 285, 313) && yellowStrip(254, 262, 277)) { // treasure found: OK under the chest button
        press(320, 313);
        pause(1.0);
        return true;
    }
    return false;
}

// Plays the classic field until a gold group of three is taken and the level's statistics show their
// continue button. Asks for rows while the field is low, so gold comes sooner.
bool playUntilLevelEnd(int continueX, int continueY, double seconds)
{
    const long end = framesPlayed() + framesOf(seconds);
    // Cells that looked like gold but did not end the level when clicked.
    std::vector<Cell> notGold;
    while (framesPlayed() < end) {
        if (continueShownAt(continueX, continueY))
            return true;
        if (closeTreasureDialogs())
            continue;
        FieldModel field = settledField();
        for (const Cell& cell : notGold)
            if (field.at(cell.x, cell.y) == Gold)
                field.set(cell.x, cell.y, Other);
        const std::optional<Cell> next = chooseClick(field, kMinimumGroup);
        if (next && field.at(next->x, next->y) == Gold) {
            const std::vector<Cell> group = field.groupAt(next->x, next->y);
            clickCell(*next);
            // Taken gold leaves the field at once; then the level ends with the gold flying into the
            // cart and the field cleared row by row, and no click may land on the dialog that follows.
            pause(2.5);
            const FieldModel after = seeField();
            if (after.at(next->x, next->y) == Gold && after.groupAt(next->x, next->y).size() >= group.size()) {
                notGold.insert(notGold.end(), group.begin(), group.end());
                continue;
            }
            if (waitFor([&] { return continueShownAt(continueX, continueY); }, 60))
                return true;
            continue;
        }
        if (field.fillHeight() < 7) {
            rightClick(kFieldLeft + 6 * kCell, kFieldTop + kCell);
            movePointer(620, 470);
        }
        if (next)
            clickCell(*next);
        else
            pause(0.3);
    }
    return false;
}

// Whether a strip of pixels (from left to right, three rows above and below y) shows a dialog button's
// yellow face. The strips sit on a button's face clear of its caption.
bool yellowStrip(int left, int right, int y)
{
    const Picture screen = capture();
    if (screen.width <= right || screen.height <= y + 3 || left < 0 || y < 3)
        return false;
    int yellow = 0, all = 0;
    for (int py = y - 3; py <= y + 3; ++py)
        for (int px = left; px <= right; ++px, ++all) {
            const std::uint32_t c = screen.at(px, py);
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            yellow += r > 200 && g > 150 && b < 110;
        }
    return yellow * 4 > all * 3;
}

// The continue button of the statistics dialogs (level end and game over), left of its caption.
bool continueShownAt(int x, int y)
{
    return yellowStrip(x - 55, x - 45, y);
}

// Asks for rows until the field is full and the game is over: its dialog's continue button shows.
bool fillUntilGameOver(int continueX, int continueY, double seconds)
{
    const long end = framesPlayed() + framesOf(seconds);
    while (framesPlayed() < end) {
        if (continueShownAt(continueX, continueY))
            return true;
        if (closeTreasureDialogs())
            continue;
        rightClick(kFieldLeft + 6 * kCell, kFieldTop + 5 * kCell);
        movePointer(620, 470);
        pause(0.2);
    }
    return false;
}

// A few groups cleared, for a game that is then left in progress; clicks before play begins do nothing,
// so it keeps at it until the field has lost that many groups.
bool playAFewGroups(int groups, double seconds)
{
    const long end = framesPlayed() + framesOf(seconds);
    int removed = 0;
    while (removed < groups && framesPlayed() < end) {
        if (closeTreasureDialogs())
            continue;
        const FieldModel before = settledField();
        const std::optional<Cell> next = chooseClick(before, kMinimumGroup);
        if (!next) {
            pause(0.3);
            continue;
        }
        clickCell(*next);
        pause(0.8);
        if (settledField().occupied() < before.occupied())
            ++removed;
    }
    return removed == groups;
}

TEST(WholeGamePlayThrough, APlayerPlaysEveryScreen)
{
    // Minutes of real play in a window: only where CTest starts it under a virtual display.
    if (std::getenv("QUARRYTIDE_PLAYTHROUGH") == nullptr || std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "runs as WholeGamePlayThrough under xvfb-run";
    testsupport::TempDir home;
    Picture leftInProgress;
    {
        SteppedGame game(QUARRY_PROGRAM, home, gameSettings());
        ASSERT_TRUE(game.started());
        movePointer(620, 470);

        // Start-up: the load screen fills its bar, then the title asks the first player's name.
        EXPECT_TRUE(expectScreen("load", kLoadBar, 60, 3));
        leaveLoadScreen(120);
        ASSERT_TRUE(expectScreen("name-entry", kTitleAnimations, 120, 40));
        type("Mia Stone");
        EXPECT_TRUE(expectScreen("name-typed", kTitleAnimations, 30));
        press(320, 277);
        ASSERT_TRUE(expectScreen("title", kTitleAnimations, 30));

        // A classic game on the easy difficulty.
        press(155, 94);
        ASSERT_TRUE(expectScreen("start-classic", kTitleAnimations, 30));
        click(247, 191);
        press(266, 318);
        ASSERT_TRUE(expectScreen("classic-start", kPlayAnimations, 45, 4));

        // Level 1 to its end: gold into the cart, the line bonus, the level's statistics.
        ASSERT_TRUE(playUntilLevelEnd(255, 304, 480));
        ASSERT_TRUE(expectScreen("level-statistics", kPlayAnimations, 30));
        press(255, 304);
        // Nobody signed in: the score is only shown, with a word on where it could have gone.
        ASSERT_TRUE(expectScreen("score-single-player", kPlayAnimations, 30));
        press(320, 157);

        // Level 2 until the field is full: the countdown, the rock fall and the game-over figures.
        ASSERT_TRUE(expectScreen("level-2", kPlayAnimations, 30, 6));
        ASSERT_TRUE(fillUntilGameOver(255, 316, 180));
        ASSERT_TRUE(expectScreen("game-over", kPlayAnimations, 30));
        press(255, 316);
        ASSERT_TRUE(expectScreen("game-over-single-player", kPlayAnimations, 30));
        press(320, 157);
        // The result entered the local tables: they show it marked, over the title.
        ASSERT_TRUE(expectScreen("highscores-after-classic", kTitleAnimations, 45, 6));
        press(266, 400);

        // An endless game until a row meets the top.
        press(155, 134);
        ASSERT_TRUE(expectScreen("start-endless", kTitleAnimations, 30));
        click(247, 191);
        press(266, 318);
        ASSERT_TRUE(expectScreen("endless-start", kPlayAnimations, 45, 4));
        ASSERT_TRUE(fillUntilGameOver(255, 316, 240));
        ASSERT_TRUE(expectScreen("endless-game-over", kPlayAnimations, 30));
        press(255, 316);
        ASSERT_TRUE(expectScreen("endless-single-player", kPlayAnimations, 30));
        press(320, 157);
        ASSERT_TRUE(expectScreen("after-endless", kTitleAnimations, 45, 6));

        // The treasure screen, its bonus list and its second page.
        press(545, 370);
        ASSERT_TRUE(expectScreen("treasures", {}, 45, 4));
        press(468, 21);
        ASSERT_TRUE(expectScreen("bonuses", {}, 30));
        click(320, 326);
        press(269, 23);
        ASSERT_TRUE(expectScreen("treasures-antiquities", {}, 30));
        press(572, 21);
        ASSERT_TRUE(expectScreen("title-again", kTitleAnimations, 45, 4));

        // Options: the music volume and full screen, then kept.
        press(108, 209);
        ASSERT_TRUE(expectScreen("options", kTitleAnimations, 30));
        click(260, 229);
        // A window is refused on a screen no larger than the game: the player is told and it stays full.
        press(266, 257);
        ASSERT_TRUE(expectScreen("options-window-refused", kTitleAnimations, 30));
        press(320, 286);
        ASSERT_TRUE(expectScreen("options-changed", kTitleAnimations, 30));
        press(266, 356);

        // The help pages, forward through all seven and back to the first.
        press(108, 175);
        for (int page = 1; page <= 7; ++page) {
            EXPECT_TRUE(expectScreen("help-" + std::to_string(page), kTitleAnimations, 30, 1)) << page;
            press(436, 148);
        }
        ASSERT_TRUE(expectScreen("help-1", kTitleAnimations, 30, 1));
        click(320, 342);

        // A classic game left in progress: the window's close saves it and the program ends well.
        click(155, 94);
        click(247, 191);
        press(266, 318);
        ASSERT_TRUE(expectScreen("classic-again", kPlayAnimations, 45, 4));
        ASSERT_TRUE(playAFewGroups(3, 60));
        // The field as the player leaves it: the close is taken before the next frame runs.
        settledField();
        leftInProgress = capture();
        EXPECT_EQ(0, game.close("Quarrytide"));
    }
    {
        // Started again: no name asked, and the saved game goes on where it was left.
        SteppedGame game(QUARRY_PROGRAM, home, gameSettings());
        ASSERT_TRUE(game.started());
        movePointer(620, 470);
        ASSERT_TRUE(expectScreen("title-saved-game", kTitleAnimations, 120, 40));
        press(155, 94);
        ASSERT_TRUE(expectScreen("start-with-saved-game", kTitleAnimations, 30));
        press(267, 276);
        // The field comes back cell by cell as it was left, with the blocks waiting in the shaft, in the
        // frame its fade-in has ended: the first frame after the blocks show that the next one repeats.
        Picture shown = capture();
        bool faded = false;
        for (int frame = 0; frame < framesOf(20) && !faded; ++frame) {
            ASSERT_TRUE(runFrames(1));
            Picture next = capture();
            faded = readField(shown, kFieldLeft, kFieldTop, kCell, kColumns, kRows).occupied() > 0 &&
                    differingShare(shown, next, kNotTheFieldNorTheShaft, 0) == 0;
            if (!faded)
                shown = std::move(next);
        }
        ASSERT_TRUE(faded);
        EXPECT_TRUE(readField(shown, kFieldLeft, kFieldTop, kCell, kColumns, kRows) ==
                    readField(leftInProgress, kFieldLeft, kFieldTop, kCell, kColumns, kRows));
        if (differingShare(shown, leftInProgress, kNotTheFieldNorTheShaft) >= 0.01) {
            ADD_FAILURE() << "the continued field does not look as it was left: see playthrough-continued-*.png";
            compat::host::writePng(shown, outputFolder() + "/playthrough-continued-shown.png");
            compat::host::writePng(leftInProgress, outputFolder() + "/playthrough-continued-left.png");
        }
        ASSERT_TRUE(expectScreen("classic-continued", kPlayAnimations, 45, 4));
        EXPECT_EQ(0, game.close("Quarrytide"));
    }
    EXPECT_EQ("", readFile(home.file("stderr")));

    // What was played is in the player's files, and each of them reads back.
    const std::string folder = home.path().string() + "/quarrytide/";
    const std::string config = readFile(folder + "Quarrytide.cfg");
    EXPECT_NE(std::string::npos, config.find("Mia Stone"));
    EXPECT_NE(std::string::npos, config.find("highscores"));

    TiXmlDocument stats;
    ASSERT_TRUE(loadXMLDocument(stats, folder + "data/Mia_Stone.cfg", "%s", false));
    int classicStarts = 0, classicLosses = 0, endlessStarts = 0, endlessLosses = 0;
    for (const TiXmlElement* mode = stats.RootElement() ? stats.RootElement()->FirstChildElement("GameModeStats") : nullptr;
         mode != nullptr; mode = mode->NextSiblingElement("GameModeStats")) {
        const bool classic = std::string(mode->Attribute("gamemode") ? mode->Attribute("gamemode") : "") == "CLASSIC";
        for (const TiXmlElement* entry = mode->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
            int starts = 0, losses = 0;
            entry->QueryIntAttribute("startcount", &starts);
            entry->QueryIntAttribute("gameovercount", &losses);
            (classic ? classicStarts : endlessStarts) += starts;
            (classic ? classicLosses : endlessLosses) += losses;
        }
    }
    EXPECT_GE(classicStarts, 2);
    EXPECT_EQ(1, classicLosses);
    EXPECT_EQ(1, endlessStarts);
    EXPECT_EQ(1, endlessLosses);

    TiXmlDocument saved;
    ASSERT_TRUE(loadXMLDocument(saved, folder + "savegames/Mia_Stone_CLASSIC.sav", "%s", false));
    EXPECT_FALSE(saved.Error());
    ASSERT_NE(nullptr, saved.RootElement());

    Scores played;
    played.classic = tableScore(folder + "Quarrytide.cfg", "CLASSIC");
    played.endless = tableScore(folder + "Quarrytide.cfg", "ENDLESS");
    if (const TiXmlElement* game = saved.RootElement()->FirstChildElement("SaveGame"))
        game->QueryIntAttribute("score", &played.left);
    if (printingScores()) {
        std::cout << "const Scores kScores = {" << played.classic << ", " << played.endless << ", " << played.left
                  << "};" << std::endl;
    } else {
        EXPECT_EQ(kScores.classic, played.classic) << "the classic game's score";
        EXPECT_EQ(kScores.endless, played.endless) << "the endless game's score";
        EXPECT_EQ(kScores.left, played.left) << "the score of the game left in progress";
    }
}

} // namespace
} // namespace playthrough
