#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/play/GameOverStatsDialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_HEADER" font="FONT_TEST" alignh="center"/>
  <pixelfontlabel id="LABEL_DESCRIPTION" font="FONT_TEST" alignh="left"/>
  <pixelfontlabel id="LABEL_VALUE" font="FONT_TEST" alignh="right"/>
  <buttonblit id="BUTTON_CONTINUE" width="96" height="32"/>
</Layout>)xml";

// The test font (5 pixels a character) and the panel's layout elements; a 640 x 480 canvas.
class GameOverStatsDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        loadLayout(kLayout);
    }
};

TEST_F(GameOverStatsDialogTest, RowsPairTheirValuesAndThePanelStaysCentredOnTheField)
{
    const int fieldY = 40;
    const int fieldHeight = 400;
    Built<GameOverStatsDialog> empty(new GameOverStatsDialog(20, fieldY, 300, fieldHeight, "level done", {}, {}));
    ASSERT_EQ(empty->getChildren().size(), 2u) << "header and continue button only";
    EXPECT_EQ(empty->getChildren()[0], empty->getHeader());
    EXPECT_EQ(empty->getHeader()->getText(), "level done");
    EXPECT_EQ(empty->getChildren()[1]->getName(), "BUTTON_CONTINUE");

    Built<GameOverStatsDialog> full(new GameOverStatsDialog(20, fieldY, 300, fieldHeight, "game over",
                                                           {"gold", "lines", "time"}, {"120", "7", "3.5"}));
    const auto& children = full->getChildren();
    ASSERT_EQ(children.size(), 8u);
    for (int row = 0; row < 3; ++row) {
        Sprite* description = children[1 + 2 * row];
        Sprite* value = children[2 + 2 * row];
        EXPECT_EQ(value->getY(), description->getY()) << "row " << row << ": the value is on the same line";
        EXPECT_EQ(value->getX(), description->getX()) << "row " << row;
        if (row > 0) {
            EXPECT_EQ(description->getY(), children[2 * row - 1]->getY() + children[2 * row - 1]->getHeight() + 3)
                << "rows are 3 pixels apart";
        }
    }
    EXPECT_EQ(static_cast<PixelFontLabel*>(children[6])->getText(), "3.5");
    EXPECT_EQ(full->getGapV(), 10) << "the row gap is put back";

    EXPECT_GT(full->getHeight(), empty->getHeight());
    for (GameOverStatsDialog* panel : {empty.get(), full.get()}) {
        EXPECT_EQ(panel->getX(), 20);
        EXPECT_EQ(panel->getWidth(), 300);
        EXPECT_EQ(panel->getY(), fieldY + fieldHeight / 2 - panel->getHeight() / 2);
    }
}

TEST_F(GameOverStatsDialogTest, ContinueAnswersTheListenerAndClosesThePanel)
{
    RecordingListener listener;
    GameOverStatsDialog* panel = new GameOverStatsDialog(20, 40, 300, 400, "level done", {"gold"}, {"10"});
    panel->setListener(&listener);
    canvas->addSprite(panel);
    click(panel->getChildren().back());
    EXPECT_EQ(listener.results, std::vector<std::string>{"BUTTON_CONTINUE"});
    EXPECT_TRUE(panel->isObsolete());
}

TEST_F(GameOverStatsDialogTest, FewerValuesThanTextsIsRefusedAndAMissingButtonStillContinues)
{
    EXPECT_THROW(Built<GameOverStatsDialog>(new GameOverStatsDialog(0, 0, 300, 400, "x", {"a", "b"}, {"1"})),
                 std::out_of_range);

    LayoutDocument::unloadAll();
    Built<GameOverStatsDialog> panel(new GameOverStatsDialog(0, 0, 300, 400, "x", {}, {}));
    Sprite* button = panel->getChildren().back();
    EXPECT_EQ(button->getName(), "BUTTON_CONTINUE");
    EXPECT_GT(button->getWidth(), 0);
}

} // namespace
