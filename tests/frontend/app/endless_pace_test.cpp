// The pace of a first endless game with the data set as shipped: a new player who starts it and only
// watches (reading the tips, not clicking) keeps it for a minute and a half on Easy, noticeably less on
// Normal and less again on Hard. Time is the virtual clock's, so the figures are the game's own and not
// the machine's. The seconds each difficulty lasted are printed for the record.
#include "support/WholeGameHeadless.h"

#include "compat/win32/system/machine/timer.h"
#include "game/stats/StatsManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr double kEasyAtLeast = 90.0;
// "Noticeably" less: a tenth of the easier difficulty's time at the least.
constexpr double kNoticeably = 0.9;

class EndlessPace : public testsupport::WholeGameHeadless {
protected:
    // Seconds from the first playing frame to the end of the game, with no input at all.
    double watchedSeconds(const char* toggle)
    {
        startGame("ENDLESS", toggle);
        PlayScene* play = field();
        if (play == nullptr || play->getPhase() != PlayPhase::Playing) {
            ADD_FAILURE() << "no endless game in play";
            return 0.0;
        }
        const DWORD began = timeGetTime();
        // Ten minutes of frames at the most.
        if (!runUntil([&] { return play->getPhase() != PlayPhase::Playing; }, 10 * 60 * 50)) {
            ADD_FAILURE() << "the watched game never ended";
            return 600.0;
        }
        return static_cast<double>(timeGetTime() - began) / 1000.0;
    }
};

TEST_F(EndlessPace, AWatchedFirstGameLastsLongestOnEasyAndShorterOnEachHarderDifficulty)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    double seconds[3] = {};
    const char* const toggles[] = {"TOGGLE_EASY", "TOGGLE_NORMAL", "TOGGLE_HARD"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(toggles[i]);
        if (i == 2) {
            // The hard difficulty is offered once enough treasures are owned.
            StatsManager& stats = StatsManager::instance();
            for (int treasure = 0; treasure < 24 && !stats.isUnlocked(2); ++treasure) {
                stats.currentTreasure = treasure;
                stats.acquireTreasure();
            }
            ASSERT_TRUE(stats.isUnlocked(2));
        }
        seconds[i] = watchedSeconds(toggles[i]);
        std::printf("[ pace     ] %s: a watched endless game ends after %.1f s\n", toggles[i], seconds[i]);
        // Back to the title screen for the next game.
        app->setPendingScene(app->findScene("SCENE_TITLE"));
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1500));
        frames(testsupport::kSettleFrames);
    }
    EXPECT_GE(seconds[0], kEasyAtLeast);
    EXPECT_LE(seconds[1], seconds[0] * kNoticeably);
    EXPECT_LE(seconds[2], seconds[1] * kNoticeably);
}

} // namespace
