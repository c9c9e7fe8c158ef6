#include "frontend/app/GameApp.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/title/HighscoreDialog.h"
#include "frontend/scores/Highscores.h"
#include "game/stats/StatsManager.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/properties/Properties.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

class ScoreApp : public Application {
public:
    explicit ScoreApp(PropertyManager* store) : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000)
    {
        store->addRef();
        propertyManager = store;
    }
};

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center" wrapstyle="word"/>
  <pixelfontlabel id="LABEL_HIGHSCORE_HEADER" font="FONT_TEST" alignh="center" width="120"/>
  <pixelfontlabel id="LABEL_HIGHSCORE_COLUMN" font="FONT_TEST" alignh="left" lineheight="1.0"/>
  <buttonblit id="BUTTON_OK" width="60" height="20"/>
  <buttonblit id="BUTTON_CLEAR" width="60" height="20"/>
  <buttonblit id="BUTTON_YES" width="60" height="20"/>
  <buttonblit id="BUTTON_NO" width="60" height="20"/>
  <buttonblit id="BUTTON_PREV" width="20" height="20"/>
  <buttonblit id="BUTTON_NEXT" width="20" height="20"/>
  <Integer id="INT_NUM_HIGHSCORES">3</Integer>
  <IntegerVector id="VECTOR_TREASURE_UNLOCK_AMOUNT"><Item>1</Item><Item>2</Item><Item>3</Item><Item>4</Item><Item>5</Item><Item>6</Item></IntegerVector>
  <StringVector id="LIST_GAMEMODE_NAMES"><Item>CLASSIC</Item><Item>ENDLESS</Item></StringVector>
  <StringVector id="LIST_HIGHSCORE_DUMMY_NAMES"><Item>Ada</Item><Item>Bo</Item></StringVector>
  <StringVector id="HIGHSCORE_HEADERS"><Item>c3</Item><Item>e3</Item><Item>c4</Item><Item>e4</Item></StringVector>
  <StringVector id="CLASSIC_HIGHSCORE_HEADER_TEXTS"><Item>#</Item><Item>Name</Item><Item>Score</Item><Item>Level</Item></StringVector>
  <StringVector id="ENDLESS_HIGHSCORE_HEADER_TEXTS"><Item>#</Item><Item>Name</Item><Item>Depth</Item><Item>Gold</Item><Item>Extra</Item></StringVector>
  <String id="STRING_GAMEOVER_DEPTH_FORMAT">%.1f m</String>
  <String id="HIGHSCORE_CONFIRM_CLEAR">Clear?</String>
</Layout>)xml";

// Classic has every list; endless has five headings but only three widths (so three columns).
const char* const kProperties = R"xml(<ArrayString id="CLASSIC_HIGHSCORE_COLUMNS">
  <String></String><String>name</String><String>score</String><String>level</String></ArrayString>
<ArrayInteger id="CLASSIC_HIGHSCORE_LABEL_WIDTHS"><Integer>20</Integer><Integer>60</Integer><Integer>50</Integer><Integer>40</Integer></ArrayInteger>
<ArrayString id="ENDLESS_HIGHSCORE_COLUMNS">
  <String></String><String>name</String><String>depth</String><String>gold</String><String>odd</String></ArrayString>
<ArrayInteger id="ENDLESS_HIGHSCORE_LABEL_WIDTHS"><Integer>20</Integer><Integer>60</Integer><Integer>50</Integer></ArrayInteger>)xml";

class HighscoreDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
        DialogTest::SetUp();
        catalogue->storeImage("IMAGE_DIALOG_HIGHSCORE", picture(300, 60));
        catalogue->storeImage("IMAGE_HIGHSCORE_HIGHLIGHT", picture(200, 10));
        storeImages({"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                     "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_DIALOG_BOTTOM_BIG", "IMAGE_DIALOG_ERASE_SCORES"},
                    16, 16);
        loadLayout(kLayout);

        GameApp::setConfig(new Properties());
        Highscores::instance().read(GameApp::getConfig());
        Highscores::Table& classic = Highscores::instance().table("CLASSIC", false);
        classic.assign(2, HighscoreEntry{});
        classic[0].name = "Kim";
        classic[0].score = 900;
        classic[0].level = 7;
        classic[1].name = "Lu";
        classic[1].score = 500;
        classic[1].level = 3;
        Highscores::Table& endless = Highscores::instance().table("ENDLESS", false);
        endless.assign(1, HighscoreEntry{});
        endless[0].name = "Mo";
        endless[0].depth = 12.25;
        endless[0].gold = 4;
        Properties& config = GameApp::getConfig();
        config.setString("lastscoregame", "CLASSIC");
        config.setInt("lastscorequattro", 0);
        config.setInt("lastscorerank", 2);
        StatsManager::instance().distinctOwned = 0;
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        GameApp::deleteConfig();
        unsetenv("XDG_DATA_HOME");
    }
    // The application with the column lists of the score table in its property store.
    std::unique_ptr<Application> makeApp() override
    {
        auto* store = new PropertyManager(nullptr);
        const std::string file = std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                                 PropertyManager::kSchemaLocation +
                                 "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" +
                                 kProperties + "\n</Properties>\n";
        EXPECT_EQ(store->parse(file.c_str()), 1);
        return std::make_unique<ScoreApp>(store);
    }
    // Comes from outside the sprite, clicks it and runs a frame.
    void click(Sprite* sprite)
    {
        canvas->mouseMoved(0, 0, 0);
        DialogTest::click(sprite);
        frame();
    }
    // The labels of the table's columns, left to right: heading, values.
    static std::vector<PixelFontLabel*> labels(SpriteContainer* table)
    {
        std::vector<PixelFontLabel*> out;
        for (Sprite* child : table->getChildren())
            if (auto* column = dynamic_cast<SpriteContainer*>(child))
                for (Sprite* label : column->getChildren())
                    out.push_back(static_cast<PixelFontLabel*>(label));
        return out;
    }
    HighscoreDialog* open()
    {
        auto* dialog = static_cast<HighscoreDialog*>(openHighscoreDialog());
        canvas->addSprite(dialog);
        return dialog;
    }

};

TEST_F(HighscoreDialogTest, OpensOnTheNewestResultWithItsLineMarkedOnce)
{
    HighscoreDialog* dialog = open();
    EXPECT_EQ(dialog->getTableName(), "CLASSIC");
    EXPECT_EQ(dialog->getHeaderLabel()->getText(), "c3");
    EXPECT_EQ(GameApp::getConfig().getInt("lastscorerank"), 0);
    Sprite* bar = find(dialog->getTable(), "IMAGE_HIGHSCORE_HIGHLIGHT");
    ASSERT_NE(bar, nullptr);
    const std::vector<PixelFontLabel*> cells = labels(dialog->getTable());
    ASSERT_EQ(cells.size(), 8u);
    EXPECT_EQ(cells[1]->getText(), "1\n2");
    EXPECT_EQ(cells[3]->getText(), "Kim\nLu");
    EXPECT_EQ(cells[7]->getText(), "7\n3");
    // Line 2 of the values: below the heading line and the first value line.
    const int line = uniform->getLineHeight();
    EXPECT_EQ(bar->getY(), 5 + 2 * line);
    EXPECT_EQ(cells[0]->getAlignH(), 0);
    EXPECT_EQ(cells[5]->getAlignH(), 1) << "columns after the second are right-aligned";
    click(find(dialog, "BUTTON_OK"));

    HighscoreDialog* again = open();
    EXPECT_EQ(find(again->getTable(), "IMAGE_HIGHSCORE_HIGHLIGHT"), nullptr);
    click(find(again, "BUTTON_OK"));
}

TEST_F(HighscoreDialogTest, PrevAndNextWrapAndSkipFoursUntilUnlocked)
{
    struct Step {
        const char* button;
        const char* table;
        const char* title;
    };
    const Step locked[] = {{"BUTTON_NEXT", "ENDLESS", "e3"},
                           {"BUTTON_NEXT", "CLASSIC", "c3"},
                           {"BUTTON_PREV", "ENDLESS", "e3"},
                           {"BUTTON_PREV", "CLASSIC", "c3"}};
    const Step unlocked[] = {{"BUTTON_NEXT", "ENDLESS", "e3"},      {"BUTTON_NEXT", "CLASSICQUATTRO", "c4"},
                             {"BUTTON_NEXT", "ENDLESSQUATTRO", "e4"}, {"BUTTON_NEXT", "CLASSIC", "c3"},
                             {"BUTTON_PREV", "ENDLESSQUATTRO", "e4"}, {"BUTTON_PREV", "CLASSICQUATTRO", "c4"}};
    for (int owned : {0, 6}) {
        StatsManager::instance().distinctOwned = owned;
        HighscoreDialog* dialog = open();
        const int x = dialog->getTable()->getX();
        const int y = dialog->getTable()->getY();
        const std::vector<Step> steps = owned ? std::vector<Step>(std::begin(unlocked), std::end(unlocked))
                                              : std::vector<Step>(std::begin(locked), std::end(locked));
        for (const Step& step : steps) {
            click(find(dialog, step.button));
            EXPECT_EQ(dialog->getTableName(), step.table) << owned << " " << step.button;
            EXPECT_EQ(dialog->getHeaderLabel()->getText(), step.title);
            EXPECT_EQ(dialog->getTable()->getX(), x);
            EXPECT_EQ(dialog->getTable()->getY(), y);
        }
        click(find(dialog, "BUTTON_OK"));
    }
}

TEST_F(HighscoreDialogTest, ColumnListsShorterThanTheirHeadingsBuildOnlyWhatAllDescribe)
{
    GameApp::getConfig().setString("lastscoregame", "ENDLESS");
    HighscoreDialog* dialog = open();
    const std::vector<PixelFontLabel*> cells = labels(dialog->getTable());
    ASSERT_EQ(cells.size(), 6u) << "three widths, three columns";
    EXPECT_EQ(cells[3]->getText(), "Mo");
    EXPECT_EQ(cells[5]->getText(), "12.2 m");
    click(find(dialog, "BUTTON_OK"));
}

TEST_F(HighscoreDialogTest, ClearAsksFirstAndAYesRefillsTheTablesWithoutAMark)
{
    HighscoreDialog* dialog = open();
    click(find(dialog, "BUTTON_CLEAR"));
    Sprite* confirm = nullptr;
    for (Sprite* s : canvas->getSprites())
        if (s->getName() == "CONFIRM_CLEAR_HIGHSCORE_DIALOG" && !s->isObsolete())
            confirm = s;
    ASSERT_NE(confirm, nullptr);
    click(find(static_cast<SpriteContainer*>(confirm), "BUTTON_NO"));
    EXPECT_EQ(Highscores::instance().table("CLASSIC", false)[0].name, "Kim");
    EXPECT_NE(find(dialog->getTable(), "IMAGE_HIGHSCORE_HIGHLIGHT"), nullptr);
    EXPECT_TRUE(dialog->isEnabled());

    click(find(dialog, "BUTTON_CLEAR"));
    confirm = nullptr;
    for (Sprite* s : canvas->getSprites())
        if (s->getName() == "CONFIRM_CLEAR_HIGHSCORE_DIALOG" && !s->isObsolete())
            confirm = s;
    ASSERT_NE(confirm, nullptr);
    click(find(static_cast<SpriteContainer*>(confirm), "BUTTON_YES"));
    const Highscores::Table& classic = Highscores::instance().table("CLASSIC", false);
    ASSERT_FALSE(classic.empty());
    EXPECT_NE(classic[0].name, "Kim");
    EXPECT_EQ(dialog->getTableName(), "CLASSIC");
    EXPECT_EQ(labels(dialog->getTable())[3]->getText().find("Kim"), std::string::npos);
    EXPECT_EQ(find(dialog->getTable(), "IMAGE_HIGHSCORE_HIGHLIGHT"), nullptr) << "no made-up line is marked";
    click(find(dialog, "BUTTON_OK"));
}

} // namespace
