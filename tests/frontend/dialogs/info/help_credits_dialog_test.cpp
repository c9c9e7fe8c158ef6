#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/info/CreditsDialog.h"
#include "frontend/dialogs/info/HelpDialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

const char* const kCommon = R"xml(
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center" wrapstyle="word"/>
  <pixelfontlabel id="LABEL_ABOUT_HEADER" font="FONT_TEST" alignh="center"/>
  <pixelfontlabel id="LABEL_HELP_CHAPTER" font="FONT_TEST" alignh="center" width="100"/>
  <pixelfontlabel id="LABEL_HELP_TEXT" font="FONT_TEST" wrapstyle="word"/>
  <pixelfontlabel id="LABEL_HELP_PAGE_NR" font="FONT_TEST" alignh="right"/>
  <buttonblit id="BUTTON_OK" width="96" height="32"/>
  <buttonblit id="BUTTON_PREV" width="30" height="30"/>
  <buttonblit id="BUTTON_NEXT" width="30" height="30"/>
  <String id="ABOUT_VERSION">version %s</String>
  <String id="ABOUT_CREDITS_HEADER">made by</String>
  <String id="ABOUT_CREDITS_TEXT">the team</String>
  <String id="ABOUT_MUSIC_HEADER">music</String>
  <String id="ABOUT_MUSIC_TEXT">the workshop and a much longer line of text that wraps over several lines</String>
)xml";

// The test font (5 pixels a character), 300 pixel headers, the frame parts, and the layout of the
// help and credits dialogs with the help pages given by each test.
class HelpCreditsTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        storeImages({"IMAGE_DIALOG_HELP", "IMAGE_DIALOG_QUARRYTIDE"}, 300, 60);
        storeImages({"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                     "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_DIALOG_BOTTOM_BIG"},
                    16, 16);
    }
    // The layout with these pages and chapter titles (a list the layout omits is left out).
    void loadLayout(const std::vector<std::string>& texts, const std::vector<std::string>& chapters)
    {
        std::string xml = std::string("<Layout>") + kCommon;
        auto list = [&](const char* id, const std::vector<std::string>& items) {
            xml += std::string("<StringVector id=\"") + id + "\">";
            for (const std::string& item : items)
                xml += "<Item>" + item + "</Item>";
            xml += "</StringVector>";
        };
        list("HELP_TEXTS", texts);
        list("HELP_CHAPTERS", chapters);
        xml += "</Layout>";
        DialogTest::loadLayout(xml);
    }
};

TEST_F(HelpCreditsTest, HelpPagesTurnWithWrapAroundAndOkAnswers)
{
    loadLayout({"one", "two two two two two two two two two two two two two two two two two", "three", "four",
                "five"},
               {"c1", "c2", "c3", "c4", "c5"});
    RecordingListener listener;
    auto* help = static_cast<HelpDialog*>(openHelpDialog());
    help->setListener(&listener);
    canvas->addSprite(help);
    EXPECT_EQ(help->getName(), "DIALOG_HELP");
    ASSERT_EQ(help->getPageCount(), 5);
    const int height = help->getHeight();

    struct Step {
        const char* button;
        int page;
        const char* number;
        const char* chapter;
    };
    const Step steps[] = {
        {"BUTTON_PREV", 4, "5/5", "c5"}, {"BUTTON_NEXT", 0, "1/5", "c1"}, {"BUTTON_NEXT", 1, "2/5", "c2"},
        {"BUTTON_PREV", 0, "1/5", "c1"},
    };
    for (const Step& step : steps) {
        click(find(help, step.button));
        EXPECT_EQ(help->getCurrentPage(), step.page) << step.button;
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(find(help, "LABEL_HELP_TEXT" + std::to_string(i))->isVisible(), i == step.page)
                << "page " << i << " after " << step.button << " to " << step.page;
        EXPECT_EQ(help->getHeight(), height) << "turning pages never resizes the dialog";
    }
    const std::vector<Sprite*>& children = help->getChildren();
    bool numberShown = false;
    bool chapterShown = false;
    auto walk = [&](auto&& self, SpriteContainer* container) -> void {
        for (Sprite* child : container->getChildren()) {
            if (auto* label = dynamic_cast<PixelFontLabel*>(child)) {
                numberShown |= label->getText() == "1/5";
                chapterShown |= label->getText() == "c1";
            }
            if (auto* inner = dynamic_cast<SpriteContainer*>(child))
                self(self, inner);
        }
    };
    walk(walk, help);
    EXPECT_TRUE(numberShown && chapterShown) << children.size();
    // The tallest page sets the room: the OK button is below the long second page wherever it is.
    Sprite* longPage = find(help, "LABEL_HELP_TEXT1");
    EXPECT_GE(find(help, "BUTTON_OK")->getY(), longPage->getY() + longPage->getHeight());

    EXPECT_TRUE(listener.results.empty()) << "PREV and NEXT do not answer the dialog";
    click(find(help, "BUTTON_OK"));
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_HELP:BUTTON_OK"});
    EXPECT_TRUE(help->isObsolete());
}

TEST_F(HelpCreditsTest, HelpWithOnePageOrShortChapterListStaysSafe)
{
    loadLayout({"only"}, {});
    Built<HelpDialog> one(static_cast<HelpDialog*>(openHelpDialog()));
    one->showPage(-1);
    EXPECT_EQ(one->getCurrentPage(), 0);
    one->showPage(1);
    EXPECT_EQ(one->getCurrentPage(), 0);
    EXPECT_TRUE(find(one.get(), "LABEL_HELP_TEXT0")->isVisible());

    LayoutDocument::unloadAll();
    loadLayout({}, {});
    Built<HelpDialog> none(static_cast<HelpDialog*>(openHelpDialog()));
    none->showPage(3);
    EXPECT_EQ(none->getCurrentPage(), 0);
    EXPECT_EQ(none->getPageCount(), 0);
}

TEST_F(HelpCreditsTest, CreditsFillTheInsideAndOkCloses)
{
    loadLayout({"x"}, {"x"});
    RecordingListener listener;
    Dialog* credits = openCreditsDialog();
    credits->setListener(&listener);
    canvas->addSprite(credits);
    EXPECT_EQ(credits->getName(), "DIALOG_CREDITS");
    EXPECT_TRUE(credits->isDraggable());
    const std::vector<Sprite*>& children = credits->getChildren();
    ASSERT_EQ(children.size(), 6u);
    EXPECT_EQ(text(children[0]), "version 1.1.0");
    EXPECT_EQ(text(children[1]), "made by");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(children[static_cast<std::size_t>(i)]->getWidth(), 300 - 120) << "label " << i;
    EXPECT_LT(credits->getHeight(), 450) << "fitted to the texts, not the frame's first height";
    EXPECT_EQ(children[5]->getName(), "BUTTON_OK");
    click(children[5]);
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_CREDITS:BUTTON_OK"});
}

} // namespace
