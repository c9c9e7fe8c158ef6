#include "compat/win32/path.h"
#include "frontend/app/GameApp.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/title/NameEntryDialog.h"
#include "frontend/dialogs/title/NameSelectDialog.h"
#include "runtime/properties/Properties.h"
#include "toolkit/widget/ListBoxComponent.h"
#include "toolkit/widget/PixelFontInputLabel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center" wrapstyle="word"/>
  <pixelfontinputlabel id="LABEL_NAME_ENTRY" font="FONT_TEST" maxlength="16"/>
  <listboxcomponent id="LISTBOX_NAME_SELECT" width="200" height="140" bordertop="5" borderleft="5"
                    borderright="5" itemheight="20" itemspacing="4"/>
  <listboxitem id="LISTBOX_ITEM" font="FONT_TEST"/>
  <buttonblit id="BUTTON_ADD" width="60" height="30"/>
  <buttonblit id="BUTTON_CLEAR" width="60" height="30"/>
  <buttonblit id="BUTTON_OK" width="60" height="30"/>
  <buttonblit id="BUTTON_CANCEL" width="60" height="30"/>
  <buttonblit id="BUTTON_YES" width="60" height="30"/>
  <buttonblit id="BUTTON_NO" width="60" height="30"/>
  <String id="STRING_SELECT_YOUR_NAME">pick</String>
  <String id="STRING_REMOVE_NAME_TEXT">remove %s now</String>
</Layout>)xml";

// Players in a fresh configuration, the user data folder in a temporary directory, and the dialog's
// layout with plain clickable buttons.
class NameSelectTest : public DialogTest {
protected:
    void SetUp() override
    {
        previousDataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
        DialogTest::SetUp();
        GameApp::setConfig(new Properties());
        catalogue->storeImage("IMAGE_DIALOG_NAME", picture(300, 60));
        catalogue->storeImage("IMAGE_LISTBOX", picture(220, 150));
        storeImages({"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                     "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_INPUT_LABEL"},
                    16, 16);
        loadLayout(kLayout);
    }
    void TearDown() override
    {
        clearCanvas();
        DialogTest::TearDown();
        GameApp::deleteConfig();
        if (previousDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", previousDataHome.c_str(), 1);
    }

    void givenPlayers(const std::vector<std::string>& names, const std::string& current)
    {
        for (const std::string& name : names)
            GameApp::getPlayers()->defineChild(name);
        GameApp::getConfig().setString("currentplayer", current);
    }
    NameSelectDialog* open()
    {
        auto* dialog = static_cast<NameSelectDialog*>(openNameSelectDialog());
        dialog->setListener(&listener);
        canvas->addSprite(dialog);
        return dialog;
    }
    Dialog* shown(const std::string& name) { return dynamic_cast<Dialog*>(canvas->findSprite(name)); }
    // Adds a name through the ADD button and the name-entry dialog's OK.
    void enterName(NameSelectDialog* dialog, const std::string& name)
    {
        click(dialog->getAddButton());
        auto* entry = dynamic_cast<NameEntryDialog*>(shown("DIALOG_NAME_ENTRY"));
        ASSERT_NE(entry, nullptr);
        entry->getInput()->setText(name);
        click(find(entry, "BUTTON_OK"));
        frame();
    }
    static std::vector<std::string> names(const NameSelectDialog* dialog)
    {
        std::vector<std::string> out;
        for (int i = 0; i < dialog->getNameList()->getItemCount(); ++i)
            out.push_back(dialog->getNameList()->getItem(i)->getText());
        return out;
    }

    std::string previousDataHome;
    RecordingListener listener;
};

TEST_F(NameSelectTest, ListsThePlayersWithTheCurrentOneSelectedAndOkAnswers)
{
    givenPlayers({"bob", "ann", "cid"}, "bob");
    NameSelectDialog* dialog = open();
    EXPECT_EQ(dialog->getName(), "DIALOG_NAME_SELECT");
    EXPECT_EQ(names(dialog), (std::vector<std::string>{"ann", "bob", "cid"}));
    EXPECT_EQ(dialog->getSelectedName(), "bob");
    click(dialog->getNameList()->getItem(2));
    EXPECT_EQ(dialog->getSelectedName(), "cid");
    click(dialog->getOkButton());
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_NAME_SELECT:BUTTON_OK"});
}

TEST_F(NameSelectTest, AddingFollowsTheLimitAndTheExactName)
{
    givenPlayers({"ann"}, "ann");
    NameSelectDialog* dialog = open();
    EXPECT_TRUE(dialog->getAddButton()->isUsable());
    EXPECT_FALSE(dialog->getClearButton()->isUsable()) << "the last name cannot go";

    enterName(dialog, "");
    EXPECT_EQ(names(dialog), std::vector<std::string>{"ann"}) << "an empty name adds nothing";
    enterName(dialog, "ann");
    EXPECT_EQ(names(dialog), std::vector<std::string>{"ann"}) << "a listed name is only selected";
    enterName(dialog, "Ann");
    EXPECT_EQ(dialog->getSelectedName(), "Ann") << "letter case makes another name";
    EXPECT_NE(GameApp::getPlayers()->getChild("Ann"), nullptr);
    EXPECT_TRUE(dialog->getClearButton()->isUsable());

    enterName(dialog, "bo");
    enterName(dialog, "cy");
    EXPECT_TRUE(dialog->getAddButton()->isUsable());
    enterName(dialog, "di");
    EXPECT_EQ(dialog->getNameList()->getItemCount(), 5);
    EXPECT_FALSE(dialog->getAddButton()->isUsable()) << "five names fill the list";
    click(dialog->getAddButton());
    EXPECT_EQ(shown("DIALOG_NAME_ENTRY"), nullptr) << "a full list opens no name entry";
    EXPECT_TRUE(listener.results.empty());
}

TEST_F(NameSelectTest, DeletingAskesFirstAndTakesTheFilesAlong)
{
    givenPlayers({"ann", "bob", "cid"}, "bob");
    const std::string stats = compat::hostPath(GameApp::getPlayerFilePath("bob", "data"));
    std::ofstream(stats) << "stats";
    std::ofstream(stats + ".!") << "pending";
    const std::string kept = compat::hostPath(GameApp::getPlayerFilePath("cid", "data"));
    std::ofstream(kept) << "stats";

    NameSelectDialog* dialog = open();
    click(dialog->getClearButton());
    Dialog* question = shown("DIALOG_DELETE_NAME");
    ASSERT_NE(question, nullptr);
    click(find(question, "BUTTON_NO"));
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(names(dialog).size(), 3u) << "no keeps the name";
    EXPECT_TRUE(std::ifstream(stats).good());

    click(dialog->getClearButton());
    click(find(shown("DIALOG_DELETE_NAME"), "BUTTON_YES"));
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(names(dialog), (std::vector<std::string>{"ann", "cid"}));
    EXPECT_EQ(dialog->getSelectedName(), "cid") << "the selection moves to the next name";
    EXPECT_EQ(GameApp::getPlayers()->getChild("bob"), nullptr);
    EXPECT_FALSE(std::ifstream(stats).good());
    EXPECT_FALSE(std::ifstream(stats + ".!").good());
    EXPECT_TRUE(std::ifstream(kept).good());
    EXPECT_EQ(GameApp::getCurrentPlayer(), "") << "the deleted player is no longer current";
    EXPECT_TRUE(listener.results.empty());
}

// The current player missing from the players must not leave OK and CLEAR acting on nothing.
TEST_F(NameSelectTest, AMissingCurrentPlayerSelectsTheFirstName)
{
    givenPlayers({"ann", "bob"}, "zed");
    NameSelectDialog* dialog = open();
    EXPECT_EQ(dialog->getSelectedName(), "ann");
    EXPECT_TRUE(dialog->getOkButton()->isUsable());
    click(dialog->getOkButton());
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_NAME_SELECT:BUTTON_OK"});
}

} // namespace
