#include "frontend/dialogs/play/GameOverStatsDialog.h"

#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "support/TempDir.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Holds a dialog built off-canvas and takes it down at the end, so the dialog and its children,
// which hold each other, are freed.
template <class T> struct Built {
    explicit Built(T* dialog) : p(dialog) { p->addRef(); }
    ~Built()
    {
        p->setObsolete(true);
        p->release();
    }
    Built(const Built&) = delete;
    Built& operator=(const Built&) = delete;
    T* operator->() const { return p; }
    T* get() const { return p; }
    T* p;
};

class StatsApp : public Application {
public:
    StatsApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class RecordingListener : public DialogListener {
public:
    void onDialogClosed(Dialog* dialog) override { results.push_back(dialog->getResult()->getName()); }
    std::vector<std::string> results;
};

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_HEADER" font="FONT_TEST" alignh="center"/>
  <pixelfontlabel id="LABEL_DESCRIPTION" font="FONT_TEST" alignh="left"/>
  <pixelfontlabel id="LABEL_VALUE" font="FONT_TEST" alignh="right"/>
  <buttonblit id="BUTTON_CONTINUE" width="96" height="32"/>
</Layout>)xml";

// The test font (5 pixels a character) and the panel's layout elements; a 640 x 480 canvas.
class GameOverStatsDialogTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        app = std::make_unique<StatsApp>();
        catalogue = new ResourceManager(0);
        catalogue->storeFont("FONT_TEST", uniform);
        std::ofstream(dir.file("base.xml")) << kLayout;
        ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml")));
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
    }
    void TearDown() override
    {
        canvas->release();
        LayoutDocument::unloadAll();
        delete catalogue;
        app.reset();
        WidgetFontTest::TearDown();
    }

    testsupport::TempDir dir;
    std::unique_ptr<StatsApp> app;
    ResourceManager* catalogue = nullptr;
    SpriteCanvas* canvas = nullptr;
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
    Sprite* button = panel->getChildren().back();
    const int x = button->getAbsoluteX() + 5;
    const int y = button->getAbsoluteY() + 5;
    canvas->mouseMoved(x, y, 0);
    canvas->leftPressed(x, y, 1, 0);
    canvas->leftReleased(x, y, 0);
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
