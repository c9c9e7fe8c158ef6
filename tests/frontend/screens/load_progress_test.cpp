// The load screen's pace: the wait before loading, one catalogue step every other frame while each step
// moves the percentage, the bar's width, and the end at 100 %.
#include "frontend/screens/LoadProgress.h"

#include <gtest/gtest.h>

namespace {

// A catalogue of `total` entries; each step loads one.
class FakeCatalogue : public LoadSource {
public:
    explicit FakeCatalogue(int total) : total(total) {}
    float progress() override { return total == 0 ? 100.0f : 100.0f * static_cast<float>(loaded) / static_cast<float>(total); }
    bool isDone() override { return loaded >= total; }
    void step() override { ++loaded; ++steps; }

    int total;
    int loaded = 0;
    int steps = 0;
};

using Frame = LoadProgress::Frame;

TEST(LoadProgress, WaitsThenStepsEveryOtherFrameTo100)
{
    const int entries = 4;
    FakeCatalogue catalogue(entries);
    LoadProgress progress(0.1f);
    // In a window loading waits 0.1 s: three frames of 40 ms, then the started frame.
    int frames = 0;
    while (progress.update(0.04f, catalogue) == Frame::Waiting)
        ++frames;
    EXPECT_EQ(frames, 3);
    EXPECT_TRUE(progress.isStarted());
    EXPECT_EQ(catalogue.steps, 0);

    int after = 0;
    Frame frame = Frame::Idle;
    while (!progress.isDone()) {
        frame = progress.update(1.0f / 60.0f, catalogue);
        ++after;
        // Every step is followed by a frame that only moves the bar.
        if (frame == Frame::Stepped) {
            EXPECT_EQ(catalogue.loaded, (after + 1) / 2);
        }
        ASSERT_LT(after, 100);
    }
    EXPECT_EQ(frame, Frame::Finished);
    EXPECT_EQ(after, 2 * entries);
    EXPECT_EQ(catalogue.steps, entries);
    EXPECT_FLOAT_EQ(progress.getShown(), 100.0f);
    EXPECT_EQ(progress.update(1.0f / 60.0f, catalogue), Frame::Idle);
}

TEST(LoadProgress, BarUncoversTheImageFromTheLeft)
{
    FakeCatalogue catalogue(2);
    LoadProgress progress(0.0f);
    EXPECT_EQ(progress.barWidth(300), 0);
    progress.update(0.0f, catalogue); // started
    progress.update(0.0f, catalogue); // step
    progress.update(0.0f, catalogue); // bar moves to 50 %
    EXPECT_EQ(progress.barWidth(300), 150);
    while (!progress.isDone())
        progress.update(0.0f, catalogue);
    EXPECT_EQ(progress.barWidth(300), 300);
}

TEST(LoadProgress, EndsWhenTheCatalogueIsDoneShortOf100)
{
    // A catalogue that stops below 100 % (an entry it skipped) must not hold the screen for ever.
    class Stuck : public FakeCatalogue {
    public:
        Stuck() : FakeCatalogue(3) {}
        float progress() override { return loaded >= total ? 99.0f : FakeCatalogue::progress(); }
    } catalogue;
    LoadProgress progress(0.0f);
    for (int i = 0; i < 20 && !progress.isDone(); ++i)
        progress.update(0.0f, catalogue);
    EXPECT_TRUE(progress.isDone());
    EXPECT_FLOAT_EQ(progress.getShown(), 100.0f);
}

} // namespace
