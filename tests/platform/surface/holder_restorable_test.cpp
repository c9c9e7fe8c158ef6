#include "platform/surface/FrameCounter.h"
#include "platform/surface/Restorable.h"

#include <gtest/gtest.h>

namespace {

struct CountingRestorable : Restorable {
    void restoreLost() override { ++restores; }
    int restores = 0;
};

} // namespace

TEST(Restorable, RestoresAtMostOncePerFrame)
{
    frame::set(0);
    CountingRestorable object;
    object.check();
    EXPECT_EQ(object.restores, 0) << "made in frame 0, it counts as restored in frame 0";

    frame::advance();
    object.check();
    object.check();
    EXPECT_EQ(object.restores, 1);

    frame::advance();
    object.check();
    EXPECT_EQ(object.restores, 2);
}

TEST(Restorable, RestoresAgainForADisplayMadeAnewWithinTheFrame)
{
    // Two switches between window and full screen in one frame: what the first restored belongs to a
    // display that the second took away again.
    frame::set(0);
    CountingRestorable object;
    frame::advance();
    object.check();
    frame::newDisplay();
    object.check();
    object.check();
    EXPECT_EQ(object.restores, 2);

    CountingRestorable madeForTheNewDisplay;
    madeForTheNewDisplay.check();
    EXPECT_EQ(madeForTheNewDisplay.restores, 1) << "last restored in frame 0, checked in frame 1";
    frame::set(0);
}
