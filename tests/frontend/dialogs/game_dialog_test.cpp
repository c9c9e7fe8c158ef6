#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/GameDialog.h"
#include "frontend/dialogs/play/StopGameDialog.h"
#include "frontend/dialogs/title/NameEntryDialog.h"
#include "frontend/dialogs/title/StartGameDialog.h"
#include "frontend/dialogs/treasure/BonusDialog.h"
#include "game/field/GameSettings.h"
#include "game/stats/StatsManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/widget/PixelFontButton.h"
#include "toolkit/widget/PixelFontInputLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center" wrapstyle="word"/>
  <pixelfontinputlabel id="LABEL_NAME_ENTRY" font="FONT_TEST"/>
  <buttonblit id="BUTTON_OK" width="96" height="32"/>
  <buttonblit id="BUTTON_YES" width="96" height="32" tooltip="template yes"/>
  <buttonblit id="BUTTON_NO" width="80" height="32"/>
  <buttonblit id="BUTTON_CANCEL" width="90" height="32"/>
  <pixelfontbutton id="BUTTON_STOP_GAME_KEEP" name="BUTTON_YES" width="78" height="32" font="FONT_TEST"/>
  <pixelfontbutton id="BUTTON_STOP_GAME_GIVE_UP" name="BUTTON_NO" width="78" height="32" font="FONT_TEST"/>
  <pixelfontbutton id="BUTTON_STOP_GAME_BACK" name="BUTTON_CANCEL" width="78" height="32" font="FONT_TEST"/>
  <pixelfontlabel id="LABEL_TOGGLE" font="FONT_TEST"/>
  <buttonblit id="TOGGLE_EASY" width="20" height="20" toggle="true"/>
  <buttonblit id="TOGGLE_NORMAL" width="20" height="20" toggle="true"/>
  <buttonblit id="TOGGLE_HARD" width="20" height="20" toggle="true"/>
  <buttonblit id="TOGGLE_THREE" width="20" height="20" toggle="true" tooltip="three"/>
  <buttonblit id="TOGGLE_FOUR" width="20" height="20" toggle="true" tooltip="four"/>
  <buttonblit id="BUTTON_PREV" width="30" height="30"/>
  <buttonblit id="BUTTON_NEXT" width="30" height="30"/>
  <StringVector id="LIST_DIFFICULTY_NAMES"><Item>EASY</Item><Item>NORMAL</Item><Item>HARD</Item></StringVector>
  <IntegerVector id="VECTOR_TREASURE_UNLOCK_AMOUNT">
    <Item>0</Item><Item>0</Item><Item>0</Item><Item>99</Item><Item>99</Item><Item>0</Item>
  </IntegerVector>
  <StringVector id="STRINGS_BONUS_ITEMS"><Item>b0</Item><Item>b1</Item><Item>b2</Item><Item>b3</Item><Item>b4</Item></StringVector>
  <StringVector id="STRINGS_BONUS_TOOLTIPS"><Item>t0</Item><Item>t1</Item><Item>t2</Item><Item>t3</Item><Item>t4</Item><Item>t5</Item></StringVector>
  <String id="STRING_BONUS_FOUND">found</String>
  <String id="STRING_BONUS_NOT_FOUND">not yet</String>
  <String id="STRING_TREASURE_1_MORE_TO_GO">one more</String>
  <String id="STRING_TREASURE_N_MORE_TO_GO">%d more, not %s</String>
  <String id="MESSAGE_STOP_GAME_QUESTION">stop the game</String>
  <String id="STRING_PLEASE_ENTER_YOUR_NAME">your name</String>
  <String id="TOOLTIP_QUIT_GAME_YES">yes tip</String>
  <String id="TOOLTIP_QUIT_GAME_NO">no tip</String>
  <String id="TOOLTIP_QUIT_GAME_CANCEL">cancel tip</String>
  <String id="STRING_STOP_GAME_KEEP">keep</String>
  <String id="STRING_STOP_GAME_GIVE_UP">give up</String>
  <String id="STRING_STOP_GAME_BACK">back</String>
  <String id="STRING_NAME_ENTRY_EMPTY">name first</String>
</Layout>)xml";

// The test font, 300 pixel headers, the frame parts and the dialogs' layout elements and texts.
class GameDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        for (auto [id, w, h] :
             {std::tuple{"IMAGE_DIALOG_STOP_GAME", 300, 60}, std::tuple{"IMAGE_DIALOG_NAME", 300, 60},
              std::tuple{"IMAGE_DIALOG_SIDE_LEFT", 16, 16}, std::tuple{"IMAGE_DIALOG_SIDE_RIGHT", 16, 16},
              std::tuple{"IMAGE_DIALOG_INSIDE", 16, 16}, std::tuple{"IMAGE_DIALOG_BOTTOM_SMALL", 300, 30},
              std::tuple{"IMAGE_DIALOG_BOTTOM_BIG", 300, 60}, std::tuple{"IMAGE_INPUT_LABEL", 160, 30},
              std::tuple{"IMAGE_DIALOG_DIG_FOR_GOLD", 300, 60}, std::tuple{"IMAGE_DIALOG_DEEPER_AND_DEEPER", 250, 60},
              std::tuple{"IMAGE_DIALOG_BOTTOM_MIDDLE", 300, 40}, std::tuple{"IMAGE_BLOCK_FRAME", 100, 40},
              std::tuple{"IMAGE_BLOCKS_PREVIEW", 90, 90}, std::tuple{"IMAGE_BLOCKS_UNAVAILABLE_PREVIEW", 90, 90},
              std::tuple{"IMAGE_DIALOG_BONUS", 300, 60}, std::tuple{"IMAGE_BULLIT", 12, 12}})
            catalogue->storeImage(id, picture(w, h));
        loadLayout(kLayout);
    }

    static std::vector<ButtonBlit*> buttons(SpriteContainer* dialog)
    {
        std::vector<ButtonBlit*> found;
        std::function<void(Sprite*)> walk = [&](Sprite* sprite) {
            if (sprite->isKindOf(&ButtonBlit::classRecord))
                found.push_back(static_cast<ButtonBlit*>(sprite));
            else if (auto* row = dynamic_cast<SpriteContainer*>(sprite))
                for (Sprite* child : row->getChildren())
                    walk(child);
        };
        for (Sprite* child : dialog->getChildren())
            walk(child);
        return found;
    }
    // A dialog lets go of its parts when it leaves a canvas: each one built is shown and taken down.
    template <class T> struct Shown {
        Shown(GameDialogTest* test, T* dialog) : test(test), p(dialog) { p->addRef(); }
        ~Shown()
        {
            const std::vector<Sprite*>& listed = test->canvas->getSprites();
            if (std::find(listed.begin(), listed.end(), p) == listed.end())
                test->canvas->addSprite(p);
            test->canvas->removeSprite(p);
            test->canvas->removeObsolete();
            p->release();
        }
        T* get() const { return p; }
        T* operator->() const { return p; }
        GameDialogTest* test;
        T* p;
    };

    bool onCanvas(Sprite* sprite) const
    {
        const std::vector<Sprite*>& shown = canvas->getSprites();
        return !sprite->isObsolete() && std::find(shown.begin(), shown.end(), sprite) != shown.end();
    }

    RecordingListener listener;
};

TEST_F(GameDialogTest, StopGameAnswersByNameAndStaysWhileItsOwnerDecides)
{
    // Each answer carries the question's own words; the menu reads it by its name.
    struct Answer {
        std::string first, second, caption;
    };
    const std::vector<Answer> expected = {
        {"BUTTON_YES", "yes tip", "keep"}, {"BUTTON_NO", "no tip", "give up"}, {"BUTTON_CANCEL", "cancel tip", "back"}};
    for (std::size_t pressed = 0; pressed < expected.size(); ++pressed) {
        Shown<Dialog> dialog(this, openStopGameDialog());
        EXPECT_EQ(dialog->getName(), "DIALOG_STOP_GAME");
        EXPECT_EQ(dialog->getWidth(), 300);
        EXPECT_TRUE(dialog->isDraggable());
        std::vector<ButtonBlit*> row = buttons(dialog.get());
        ASSERT_EQ(row.size(), expected.size());
        for (std::size_t i = 0; i < row.size(); ++i) {
            EXPECT_EQ(row[i]->getName(), expected[i].first);
            EXPECT_EQ(row[i]->getTooltip(), expected[i].second) << "the question's tooltip replaces the template's";
            auto* caption = dynamic_cast<PixelFontButton*>(row[i]);
            ASSERT_NE(caption, nullptr);
            EXPECT_EQ(caption->getText(), expected[i].caption);
        }
        // Three buttons are wider than the frame's inside: Yes and No side by side, Cancel below, and
        // every one between the frame's sides.
        EXPECT_LT(row[0]->getAbsoluteX(), row[1]->getAbsoluteX());
        EXPECT_EQ(row[0]->getAbsoluteY(), row[1]->getAbsoluteY());
        EXPECT_GT(row[2]->getAbsoluteY(), row[1]->getAbsoluteY());
        for (ButtonBlit* button : row) {
            EXPECT_GE(button->getAbsoluteX(), dialog->getAbsoluteX() + kGameDialogFrameInset) << button->getName();
            EXPECT_LE(button->getAbsoluteX() + button->getWidth(),
                      dialog->getAbsoluteX() + dialog->getWidth() - kGameDialogFrameInset)
                << button->getName();
        }

        dialog->setListener(&listener);
        dialog->setCloseOnButton(false);
        canvas->addSprite(dialog.get());
        listener.results.clear();
        click(row[pressed]);
        EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_STOP_GAME:" + expected[pressed].first});
        EXPECT_TRUE(onCanvas(dialog.get())) << "the menu that opened it decides when it goes";
        canvas->removeSprite(dialog.get());
    }
}

TEST_F(GameDialogTest, RequiredNameEntryOffersOkOnlyWhileANameIsTyped)
{
    Shown<Dialog> held(this, openNameEntryDialog(true));
    auto* dialog = static_cast<NameEntryDialog*>(held.get());
    EXPECT_EQ(dialog->getName(), "DIALOG_NAME_ENTRY");
    std::vector<ButtonBlit*> row = buttons(dialog);
    ASSERT_EQ(row.size(), 1u) << "no way out without a name";
    EXPECT_EQ(row[0]->getName(), "BUTTON_OK");
    EXPECT_EQ(dialog->getInput()->getText(), "");
    EXPECT_EQ(dialog->getInput()->getHeight(), 5) << "one line of the font high";

    dialog->setListener(&listener);
    canvas->addSprite(dialog);
    dialog->tick();
    click(row[0]);
    EXPECT_TRUE(listener.results.empty()) << "OK ignores clicks while the input is empty";

    dialog->getInput()->setText("ann");
    dialog->tick();
    dialog->getInput()->setText("");
    dialog->tick();
    EXPECT_FALSE(row[0]->isUsable()) << "erasing the name takes OK away again";

    dialog->getInput()->setText("ann");
    dialog->tick();
    click(row[0]);
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_NAME_ENTRY:BUTTON_OK"});
    EXPECT_EQ(dialog->getEnteredName(), "ann");
    EXPECT_FALSE(onCanvas(dialog)) << "the answer closes it";
}

// Enter takes the focus off the field; the dialog answers it as OK while a name is typed, and with
// nothing typed it stays, says why and gives the field the keyboard back.
TEST_F(GameDialogTest, EnterAnswersTheNameEntryAsOkOnlyWithANameTyped)
{
    for (const bool required : {true, false}) {
        SCOPED_TRACE(required);
        Shown<Dialog> held(this, openNameEntryDialog(required));
        auto* dialog = static_cast<NameEntryDialog*>(held.get());
        dialog->setListener(&listener);
        canvas->addSprite(dialog);
        listener.results.clear();
        dialog->tick();
        auto label = [&](const std::string& text) {
            for (Sprite* child : dialog->getChildren())
                if (auto* shown = dynamic_cast<PixelFontLabel*>(child); shown && shown->getText() == text)
                    return true;
            return false;
        };
        EXPECT_TRUE(label("your name"));

        canvas->keyPressed(PixelFontInputLabel::KeyEnter);
        canvas->keyReleased(PixelFontInputLabel::KeyEnter);
        EXPECT_TRUE(listener.results.empty()) << "an empty name is refused";
        EXPECT_TRUE(onCanvas(dialog));
        EXPECT_TRUE(label("name first")) << "the reason is shown";
        EXPECT_TRUE(dialog->getInput()->isFocused()) << "typing goes on into the field";

        for (char c : std::string("Bo"))
            canvas->keyTyped(c);
        dialog->tick();
        canvas->keyPressed(PixelFontInputLabel::KeyEnter);
        canvas->keyReleased(PixelFontInputLabel::KeyEnter);
        EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_NAME_ENTRY:BUTTON_OK"});
        EXPECT_EQ(dialog->getEnteredName(), "Bo");
        EXPECT_FALSE(onCanvas(dialog));
    }
}

TEST_F(GameDialogTest, OptionalNameEntryAcceptsAnEmptyNameOrCancel)
{
    for (const std::string pressed : {"BUTTON_OK", "BUTTON_CANCEL"}) {
        Shown<Dialog> held(this, openNameEntryDialog(false));
        std::vector<ButtonBlit*> row = buttons(held.get());
        ASSERT_EQ(row.size(), 2u);
        EXPECT_EQ(row[0]->getName(), "BUTTON_OK");
        EXPECT_EQ(row[1]->getName(), "BUTTON_CANCEL");
        held->setListener(&listener);
        canvas->addSprite(held.get());
        held->tick();
        listener.results.clear();
        click(pressed == "BUTTON_OK" ? row[0] : row[1]);
        EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_NAME_ENTRY:" + pressed});
        EXPECT_FALSE(onCanvas(held.get()));
    }
}

TEST_F(GameDialogTest, MissingHeaderGivesNoWidthButTheHeightStillFollowsTheChildren)
{
    catalogue->storeImage("IMAGE_DIALOG_STOP_GAME", nullptr);
    Shown<Dialog> dialog(this, openStopGameDialog());
    EXPECT_EQ(dialog->getWidth(), 0);
    EXPECT_GT(dialog->getHeight(), 75 + 65) << "margins plus the question and its buttons";
    EXPECT_NE(dialog->getHeight(), 350);
}

// A dialog that opened a child over itself is usable again once the child has answered.
TEST_F(GameDialogTest, ClosingAChildReenablesItsParent)
{
    struct Parent : GameDialog {
        Parent() : GameDialog({"DIALOG_PARENT", "IMAGE_DIALOG_NAME", "IMAGE_DIALOG_BOTTOM_SMALL", 0, 0, 450, false})
        {
            finish();
        }
        void open(Dialog* child) { openChild(child); }
    };
    Shown<Parent> parent(this, new Parent);
    canvas->addSprite(parent.get());
    Dialog* child = openStopGameDialog();
    child->addRef();
    parent->open(child);
    EXPECT_FALSE(parent->isEnabled());
    EXPECT_TRUE(onCanvas(child));
    click(buttons(child)[2]);
    EXPECT_TRUE(parent->isEnabled());
    EXPECT_FALSE(onCanvas(child));
    canvas->removeObsolete();
    child->release();
    canvas->removeSprite(parent.get());
}

// The test's unlock list, with no treasure owned: the second block set, hard and the group size are
// open, the third block set is locked.
TEST_F(GameDialogTest, StartGameOpensWithTheModesLastChoices)
{
    struct Case {
        const char* mode;
        bool stored;
        GameSettings previous;
        int difficulty, blockSet, groupSize;
    };
    const Case cases[] = {
        {"CLASSIC", true, {0, "CLASSIC", "NORMAL", 0, false}, 1, 0, 3},
        {"ENDLESS", false, {}, 0, 0, 3},
        {"CLASSIC", true, {0, "CLASSIC", "HARD", 2, true}, 2, 2, 4},
        {"CLASSIC", true, {0, "CLASSIC", "NORMAL", 7, false}, 1, 0, 3},
    };
    for (const Case& c : cases) {
        StatsManager::instance().prevSettings.clear();
        if (c.stored)
            StatsManager::instance().prevSettings[c.mode] = c.previous;
        Shown<Dialog> held(this, openStartGameDialog(c.mode));
        auto* dialog = static_cast<StartGameDialog*>(held.get());
        EXPECT_EQ(dialog->getName(), "DIALOG_START_GAME");
        EXPECT_EQ(dialog->getWidth(), 300) << "as wide as the classic header in every mode";
        EXPECT_EQ(dialog->getDifficulty(), c.difficulty) << c.previous.difficulty;
        EXPECT_EQ(dialog->getBlockSet(), c.blockSet) << c.previous.blockset;
        EXPECT_EQ(dialog->getGroupSize(), c.groupSize) << c.previous.quattro;
        const bool locked = c.blockSet == 2;
        EXPECT_EQ(dialog->getBlocksPreview()->isVisible(), !locked);
        EXPECT_EQ(dialog->getUnavailablePreview()->isVisible(), locked);
    }
}

// Hard was chosen last, but the treasures that opened it are gone (the statistics were reset): no hard
// toggle, and normal is chosen instead.
TEST_F(GameDialogTest, StartGameWithoutTheHardToggleFallsBackToNormal)
{
    std::ofstream(dir.file("lang.xml")) << R"xml(<Layout>
  <IntegerVector id="VECTOR_TREASURE_UNLOCK_AMOUNT"><Item>0</Item><Item>0</Item><Item>99</Item></IntegerVector>
</Layout>)xml";
    ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kLanguage, dir.file("lang.xml")));
    StatsManager::instance().prevSettings.clear();
    StatsManager::instance().prevSettings["CLASSIC"] = {0, "CLASSIC", "HARD", 0, true};
    Shown<Dialog> held(this, openStartGameDialog("CLASSIC"));
    auto* dialog = static_cast<StartGameDialog*>(held.get());
    EXPECT_EQ(dialog->getHardToggle(), nullptr);
    EXPECT_EQ(dialog->getThreeToggle(), nullptr);
    EXPECT_EQ(dialog->getDifficulty(), 1);
    EXPECT_EQ(dialog->getGroupSize(), 3) << "without the group-size choice a group is three";
}

TEST_F(GameDialogTest, StartGameChoicesFollowClicks)
{
    StatsManager::instance().prevSettings.clear();
    Shown<Dialog> held(this, openStartGameDialog("ENDLESS"));
    auto* dialog = static_cast<StartGameDialog*>(held.get());
    dialog->setListener(&listener);
    dialog->setCloseOnButton(false);
    canvas->addSprite(dialog);
    auto find = [&](const std::string& name) {
        for (ButtonBlit* button : buttons(dialog))
            if (button->getName() == name)
                return button;
        ADD_FAILURE() << name;
        return static_cast<ButtonBlit*>(nullptr);
    };

    click(find("BUTTON_PREV"));
    EXPECT_EQ(dialog->getBlockSet(), 2) << "stepping back from the first set wraps to the last";
    EXPECT_FALSE(dialog->getBlocksPreview()->isVisible()) << "a locked set is shown as unavailable";
    click(find("BUTTON_NEXT"));
    EXPECT_EQ(dialog->getBlockSet(), 0);

    click(find("TOGGLE_HARD"));
    EXPECT_EQ(dialog->getDifficulty(), 2);
    EXPECT_FALSE(find("TOGGLE_HARD")->isEnabled()) << "the chosen toggle cannot be clicked off";
    EXPECT_TRUE(find("TOGGLE_EASY")->isEnabled());
    click(find("TOGGLE_HARD"));
    EXPECT_EQ(dialog->getDifficulty(), 2);

    click(find("TOGGLE_FOUR"));
    EXPECT_EQ(dialog->getGroupSize(), 4);
    click(find("TOGGLE_THREE"));
    EXPECT_EQ(dialog->getGroupSize(), 3);

    EXPECT_TRUE(listener.results.empty()) << "choosing answers nothing";
    click(find("BUTTON_OK"));
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_START_GAME:BUTTON_OK"});
    canvas->removeSprite(dialog);
}

// With the test's unlock list and no treasure owned, bonuses 0, 1 and 4 are found and the next one
// needs 99 treasures. The list of names is one short: the last row still gets a text.
TEST_F(GameDialogTest, BonusRowsTellWhatIsFoundAndWhatTheNextNeeds)
{
    Shown<Dialog> dialog(this, openBonusDialog());
    EXPECT_EQ(dialog->getName(), "DIALOG_BONUS");
    std::vector<std::string> tips;
    for (Sprite* child : dialog->getChildren())
        if (child->isKindOf(&SpriteContainer::classRecord) && !child->isKindOf(&ButtonBlit::classRecord))
            tips.push_back(static_cast<SpriteContainer*>(child)->getTooltip());
    const std::string toGo = "99 more, not %s";
    EXPECT_EQ(tips, (std::vector<std::string>{"t0", "t1", toGo, toGo, "t4", toGo}));
    EXPECT_EQ(buttons(dialog.get()).size(), 1u);
    EXPECT_EQ(treasuresToGoText(1), "one more");
}

} // namespace
