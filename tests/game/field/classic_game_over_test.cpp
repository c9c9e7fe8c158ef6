// A lost classic game: the top row stays occupied under a full pipe, the countdown runs out, the rocks
// fall and the game-over dialog shows the figures of the game.
#include "ClassicFixture.h"

#include "toolkit/dialog/Dialog.h"

#include <string>
#include <vector>

using classictest::ClassicFixture;
using classictest::ClassicProbe;

namespace {

// Keeps the rows of the statistics dialogs it builds.
class FigureServices : public fieldtest::RecordingServices {
public:
    Dialog* openGameOverStatsDialog(int x, int y, int width, int height, const std::string& header,
                                    const std::vector<std::string>& texts,
                                    const std::vector<std::string>& values) override
    {
        rowTexts = texts;
        rowValues = values;
        return RecordingServices::openGameOverStatsDialog(x, y, width, height, header, texts, values);
    }
    std::vector<std::string> rowTexts;
    std::vector<std::string> rowValues;
};

class ClassicGameOverTest : public ClassicFixture {
protected:
    void SetUp() override
    {
        ClassicFixture::SetUp();
        FieldServices::install(&figures);
    }
    FigureServices figures;
};

TEST_F(ClassicGameOverTest, BlockedTopRunsTheCountdownDropsTheRocksAndShowsTheFigures)
{
    ClassicProbe* field = playingClassic();
    field->setScore(120);
    field->setShownScore(120);
    setGrid("R.....\n"
            "G.....\n"
            "R.....\n"
            "GBGBGB\n"
            "BGBGBG");

    // The pipe fills, cannot push its row in, and the countdown of a second runs out.
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::RockFall; }, 400));
    EXPECT_EQ(field->getLevel()->getNewRow().size(), 6u);
    EXPECT_NE(cell(0, 0), nullptr);

    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::GameOver; }, 400));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(cell(x, y), nullptr) << x << "," << y;
    EXPECT_EQ(figures.count("fadeMusicOut"), 1);

    ASSERT_TRUE(runUntil([&] { return field->getOpenDialog() && field->getOpenDialog()->getCanvas(); }, 300));
    EXPECT_EQ(field->getOpenDialog()->getName(), "DIALOG_HIGHSCORE_STATS");
    EXPECT_EQ(figures.rowTexts.size(), 5u);
    EXPECT_EQ(figures.rowValues, (std::vector<std::string>{"120", "1", "0", "0", "0"}));
}

} // namespace
