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
