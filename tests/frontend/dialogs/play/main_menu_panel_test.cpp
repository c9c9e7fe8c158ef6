#include "compat/win32/system/process/shell.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/play/MainMenuPanel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center" wrapstyle="word"/>
  <buttonblit id="BUTTON_MAINMENU_HELP" width="100" height="20"/>
  <buttonblit id="BUTTON_MAINMENU_OPTIONS" width="100" height="20"/>
  <buttonblit id="BUTTON_MAINMENU_HIGHSCORE" width="100" height="20"/>
  <buttonblit id="BUTTON_MAINMENU_TREASURE" width="100" height="20"/>
  <buttonblit id="BUTTON_MAINMENU_STOP" width="100" height="20"/>
  <buttonblit id="BUTTON_MAINMENU_RESUME" width="100" height="20"/>
  <buttonblit id="BUTTON_YES" width="60" height="30"/>
  <buttonblit id="BUTTON_NO" width="60" height="30"/>
  <buttonblit id="BUTTON_CANCEL" width="60" height="30"/>
  <Integer id="INT_MAINMENU_BUTTONS_YOFFSET">10</Integer>
</Layout>)xml";

// A 200 x 200 menu board over a play area at (100, 50), shown the way the play field shows it.
class MainMenuTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        catalogue->storeImage("IMAGE_GAME_MENU_CLASSIC", picture(200, 200));
        catalogue->storeImage("IMAGE_DIALOG_STOP_GAME", picture(300, 60));
        storeImages({"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                     "IMAGE_DIALOG_BOTTOM_BIG"},
                    16, 16);
        loadLayout(kLayout);
        panel = static_cast<MainMenuPanel*>(openMainMenu("IMAGE_GAME_MENU_CLASSIC", 0, 7, 100, 50, 200, 200));
        panel->setName("DIALOG_INGAME_MENU");
        panel->setListener(&field);
        panel->setPosition(100, 50);
        canvas->addSprite(panel);
    }
    void TearDown() override
    {
        clearCanvas();
        DialogTest::TearDown();
    }
    Sprite* button(const std::string& id) const
    {
        for (Sprite* child : panel->getButtonColumn()->getChildren())
            if (child->getName() == id)
                return child;
        return nullptr;
    }
    bool onCanvas(Sprite* sprite) const
    {
        for (Sprite* s : canvas->getSprites())
            if (s == sprite)
                return !s->isObsolete();
        return false;
    }

    MainMenuPanel* panel = nullptr;
    // Stands in for the play field: records each notification with the panel's result button.
    RecordingListener field;
};

TEST_F(MainMenuTest, SixButtonsInAColumnCentredOnTheBoardAndClippedToThePlayArea)
{
    EXPECT_EQ(panel->getWidth(), 200);
    EXPECT_EQ(panel->getHeight(), 200);
    int previousY = -1;
    for (const char* id : MainMenuPanel::kButtonIds) {
        Sprite* b = button(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_GT(b->getAbsoluteY(), previousY) << id;
        previousY = b->getAbsoluteY();
        EXPECT_EQ(b->getAbsoluteX(), 100 + 50) << id;
        ASSERT_NE(b->getClipRect(), nullptr);
        EXPECT_EQ(b->getClipRect()->x, 100);
        EXPECT_EQ(b->getClipRect()->height, 200);
    }
    SpriteContainer* column = panel->getButtonColumn();
    EXPECT_EQ(column->getY(), 100 - column->getHeight() / 2 + 10);
}

TEST_F(MainMenuTest, StopGameCancelKeepsTheMenuAndYesOrNoTellsTheField)
{
    click(button("BUTTON_MAINMENU_STOP"));
    auto* stop = dynamic_cast<Dialog*>(canvas->findSprite("DIALOG_STOP_GAME"));
    ASSERT_NE(stop, nullptr);
    EXPECT_FALSE(stop->getCloseOnButton());
    click(find(stop, "BUTTON_CANCEL"));
    frame();
    EXPECT_FALSE(onCanvas(stop));
    EXPECT_TRUE(onCanvas(panel));
    EXPECT_TRUE(field.results.empty()) << "cancel leaves the menu open";

    click(button("BUTTON_MAINMENU_STOP"));
    stop = dynamic_cast<Dialog*>(canvas->findSprite("DIALOG_STOP_GAME"));
    ASSERT_NE(stop, nullptr);
    click(find(stop, "BUTTON_NO"));
    EXPECT_EQ(field.results, std::vector<std::string>{"DIALOG_INGAME_MENU:BUTTON_NO"});
    EXPECT_TRUE(onCanvas(stop)) << "the field decides what follows";
    // The field takes the panel down: one more notification with the same answer.
    panel->setObsolete(true);
    frame();
    EXPECT_EQ(field.results,
              (std::vector<std::string>{"DIALOG_INGAME_MENU:BUTTON_NO", "DIALOG_INGAME_MENU:BUTTON_NO"}));
}

TEST_F(MainMenuTest, ResumeSlidesThePanelUpAndOutThenTellsTheField)
{
    click(button("BUTTON_MAINMENU_RESUME"));
    for (int i = 0; i < 100 && onCanvas(panel); ++i) {
        EXPECT_EQ(panel->getX(), 100) << "only the height moves";
        EXPECT_TRUE(field.results.empty());
        frame();
    }
    EXPECT_FALSE(onCanvas(panel));
    EXPECT_EQ(field.results, std::vector<std::string>{"DIALOG_INGAME_MENU:BUTTON_MAINMENU_RESUME"});
}

TEST_F(MainMenuTest, ASlidingOutMenuTakesNoFurtherButtonAndStillReportsResume)
{
    panel->onClick(static_cast<ButtonBlit*>(button("BUTTON_MAINMENU_RESUME")));
    frame();
    // Pressed while the menu slides away: it would leave the field in its menu with no menu shown.
    panel->onClick(static_cast<ButtonBlit*>(button("BUTTON_MAINMENU_STOP")));
    EXPECT_EQ(canvas->findSprite("DIALOG_STOP_GAME"), nullptr);
    for (int i = 0; i < 100 && onCanvas(panel); ++i)
        frame();
    EXPECT_FALSE(onCanvas(panel));
    EXPECT_EQ(field.results, std::vector<std::string>{"DIALOG_INGAME_MENU:BUTTON_MAINMENU_RESUME"});
}

TEST_F(MainMenuTest, ADialogOpenedFromTheMenuGoesWithIt)
{
    click(button("BUTTON_MAINMENU_STOP"));
    auto* stop = dynamic_cast<Dialog*>(canvas->findSprite("DIALOG_STOP_GAME"));
    ASSERT_NE(stop, nullptr);
    stop->addRef();
    // The menu slides away while the question is still open.
    panel->onClick(static_cast<ButtonBlit*>(button("BUTTON_MAINMENU_RESUME")));
    for (int i = 0; i < 100 && onCanvas(panel); ++i)
        frame();
    frame();
    EXPECT_FALSE(onCanvas(panel));
    EXPECT_FALSE(onCanvas(stop));
    EXPECT_EQ(stop->getListener(), nullptr);
    // An answer that still reaches the question tells nobody (the panel is gone).
    stop->onClick(static_cast<ButtonBlit*>(find(stop, "BUTTON_NO")));
    EXPECT_EQ(field.results, std::vector<std::string>{"DIALOG_INGAME_MENU:BUTTON_MAINMENU_RESUME"});
    stop->release();
}

TEST_F(MainMenuTest, OnlineScoresOpenInTheBrowserWithTheNameEncoded)
{
    const std::string base = std::string(MainMenuPanel::kScoreListServer) + "/interface/ScoreList.jsp?id=tbnq&type=0";
    EXPECT_EQ(scoreListAddress(false, "ann"), base);
    EXPECT_EQ(scoreListAddress(true, "a b&type=9#x"), base + "&name=a+b%26type%3D9%23x");

    struct Case {
        std::vector<std::string> arguments;
        bool signedIn;
        const char* user;
    };
    const Case cases[] = {
        {{"quarrytide"}, false, ""},
        {{"quarrytide", "/123", "/x", "/0", "/ann"}, false, ""},
        {{"quarrytide", "/123", "/x", "/1", "/ann lee"}, true, "ann lee"},
        {{"quarrytide", "/123", "/x", "/1", "/" + std::string(200, 'z')}, true, nullptr},
    };
    for (const Case& c : cases) {
        std::string user;
        EXPECT_EQ(signedInUser(c.arguments, user), c.signedIn) << c.arguments.size();
        if (c.user)
            EXPECT_EQ(user, c.user);
        else
            EXPECT_EQ(user.size(), 127u) << "the name keeps at most 127 characters";
    }

    app->getArguments() = {"quarrytide", "/1", "/x", "/1", "/ann&lee"};
    compat::testing::recordShellOpens(true);
    click(button("BUTTON_MAINMENU_HIGHSCORE"));
    const std::vector<std::vector<std::string>> opened = compat::testing::recordedShellOpens();
    compat::testing::recordShellOpens(false);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].back(), base + "&name=ann%26lee");
    EXPECT_TRUE(field.results.empty());
}

} // namespace
