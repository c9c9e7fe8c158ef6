#include "game/stats/GameTimer.h"

#include "compat/win32/system/machine/timer.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

using compat::testing::advanceClock;

class GameTimerTest : public ::testing::Test {
protected:
    void SetUp() override { compat::testing::useVirtualClock(true, 10000); }
    void TearDown() override { compat::testing::useVirtualClock(false); }
};

TEST_F(GameTimerTest, PausedTimeIsLeftOutOfTheReading)
{
    GameTimer timer;
    advanceClock(1000);
    timer.setPaused(true);
    advanceClock(700);
    // A second pause request keeps the first pause's start.
    timer.setPaused(true);
    advanceClock(1300);
    EXPECT_EQ(timer.getElapsed(), 1000);
    timer.setPaused(false);
    // Resuming a running timer books nothing.
    timer.setPaused(false);
    advanceClock(500);
    EXPECT_EQ(timer.getElapsed(), 1500);
}

TEST_F(GameTimerTest, StoppingFreezesTheReadingAndClosesAnOpenPause)
{
    GameTimer timer;
    advanceClock(400);
    timer.setPaused(true);
    advanceClock(600);
    timer.stop();
    advanceClock(5000);
    EXPECT_EQ(timer.getElapsed(), 400);
    EXPECT_FALSE(timer.isEnabled());

    // On a stopped timer a pause change is only stored: the reading stays.
    timer.setPaused(false);
    advanceClock(100);
    EXPECT_EQ(timer.getElapsed(), 400);
    timer.stop();
    EXPECT_EQ(timer.getElapsed(), 400);

    timer.restart(timeGetTime());
    advanceClock(250);
    EXPECT_EQ(timer.getElapsed(), 250);
    EXPECT_TRUE(timer.isEnabled());
    EXPECT_FALSE(timer.isPaused());
}

TEST_F(GameTimerTest, ReadingsStayRightAcrossTheClockWrap)
{
    compat::testing::useVirtualClock(true, 0xFFFFF000u);
    GameTimer timer;
    advanceClock(0x800);
    timer.setPaused(true);
    // The pause spans the wrap.
    advanceClock(0x1000);
    timer.setPaused(false);
    advanceClock(0x900);
    EXPECT_EQ(timer.getElapsed(), 0x1100);

    timer.stop();
    EXPECT_EQ(timer.getElapsed(), 0x1100);
}

TEST_F(GameTimerTest, ScaledReadingIsFiftiethsTruncated)
{
    GameTimer timer;
    advanceClock(3999);
    EXPECT_EQ(timer.getElapsedScaled(50.0), 79);
    timer.restart(timeGetTime());
    advanceClock(150);
    EXPECT_EQ(timer.getElapsedScaled(50.0), 3);
    EXPECT_EQ(timer.getElapsedScaled(0.0), 0);
}

TEST_F(GameTimerTest, SavedTimersComeBackWithTheirReadings)
{
    GameTimer paused;
    advanceClock(300);
    paused.setPaused(true);
    advanceClock(700);
    paused.setPaused(false);
    advanceClock(1000);
    paused.setPaused(true);
    advanceClock(500);

    TiXmlElement element("BlockTimer");
    paused.saveXML(&element);
    EXPECT_STREQ(element.Attribute("ispaused"), "1");
    EXPECT_STREQ(element.Attribute("isenabled"), "1");
    EXPECT_STREQ(element.Attribute("elapsedtime"), "1300");
    EXPECT_STREQ(element.Attribute("elapsedpause"), "1200");

    advanceClock(99999);
    GameTimer restored;
    restored.loadXML(&element);
    EXPECT_TRUE(restored.isPaused());
    EXPECT_EQ(restored.getElapsed(), 1300);
    advanceClock(400);
    EXPECT_EQ(restored.getElapsed(), 1300);
    restored.setPaused(false);
    advanceClock(200);
    EXPECT_EQ(restored.getElapsed(), 1500);

    // A stopped timer stays frozen; a running one runs on.
    GameTimer stopped;
    advanceClock(800);
    stopped.stop();
    TiXmlElement frozen("GameoverTimer");
    stopped.saveXML(&frozen);
    GameTimer again;
    again.loadXML(&frozen);
    advanceClock(1000);
    EXPECT_FALSE(again.isEnabled());
    EXPECT_EQ(again.getElapsed(), 800);

    GameTimer running;
    advanceClock(50);
    TiXmlElement live("LevelTimer");
    running.saveXML(&live);
    GameTimer resumed;
    resumed.loadXML(&live);
    advanceClock(25);
    EXPECT_EQ(resumed.getElapsed(), 75);
}

TEST_F(GameTimerTest, IncompleteOrDamagedElementsLoadAsRunningTimers)
{
    struct Case {
        const char* name;
        const char* xml;
        int reading;
    };
    const Case cases[] = {
        {"no flags", "<T elapsedtime=\"300\" elapsedpause=\"20\"/>", 300},
        {"nothing at all", "<T/>", 0},
        {"words for numbers", "<T isenabled=\"yes\" ispaused=\"no\" elapsedtime=\"abc\" elapsedpause=\"x\"/>", 0},
        {"beyond an int", "<T elapsedtime=\"99999999999999\" elapsedpause=\"-99999999999999\"/>", 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        TiXmlDocument document;
        document.Parse(c.xml);
        GameTimer timer;
        timer.loadXML(document.RootElement());
        EXPECT_TRUE(timer.isEnabled()) << c.name;
        EXPECT_FALSE(timer.isPaused()) << c.name;
        EXPECT_EQ(timer.getElapsed(), c.reading) << c.name;
    }
}

} // namespace
