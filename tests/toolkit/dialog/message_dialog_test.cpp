#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "support/TempDir.h"
#include "toolkit/dialog/DataFormat.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/dialog/FramedDialog.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/ButtonListener.h"
#include "toolkit/widget/PixelFontInputLabel.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class BuilderApp : public Application {
public:
    BuilderApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class RecordingListener : public DialogListener {
public:
    void onDialogClosed(Dialog* dialog) override { results.push_back(dialog->getResult()->getName()); }
    std::vector<std::string> results;
};

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center"/>
  <pixelfontlabel id="LABEL_SLIDER" font="FONT_TEST" height="20"/>
  <buttonblit id="BUTTON_OK" width="96" height="32"/>
  <buttonblit id="BUTTON_YES" width="96" height="32"/>
  <buttonblit id="BUTTON_NO" width="80" height="32"/>
  <buttonblit id="BUTTON_CUTOVER" width="120" height="32"/>
</Layout>)xml";

// The test font (5 pixels a character, 5 high), a 300 pixel header "IMAGE_HEADER", the frame parts
// and the layout elements of the message dialogs.
class MessageDialogTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        app = std::make_unique<BuilderApp>();
        catalogue = new ResourceManager(0);
        catalogue->storeFont("FONT_TEST", uniform);
        for (auto [id, w, h] : {std::tuple{"IMAGE_HEADER", 300, 60}, std::tuple{"IMAGE_DIALOG_SIDE_LEFT", 16, 16},
                                std::tuple{"IMAGE_DIALOG_SIDE_RIGHT", 16, 16}, std::tuple{"IMAGE_DIALOG_INSIDE", 16, 16},
                                std::tuple{"IMAGE_DIALOG_BOTTOM_SMALL", 300, 30},
                                std::tuple{"IMAGE_DIALOG_BOTTOM_EXTREME", 300, 90}})
            catalogue->storeImage(id, picture(w, h));
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

    static std::vector<std::string> buttonNames(FramedDialog* dialog)
    {
        std::vector<std::string> names;
        std::function<void(Sprite*)> walk = [&](Sprite* sprite) {
            if (sprite->isKindOf(&ButtonBlit::classRecord)) {
                names.push_back(sprite->getName());
                EXPECT_EQ(static_cast<ButtonBlit*>(sprite)->getListener(), dialog);
            } else if (auto* row = dynamic_cast<SpriteContainer*>(sprite)) {
                for (Sprite* child : row->getChildren())
                    walk(child);
            }
        };
        for (Sprite* child : dialog->getChildren())
            walk(child);
        return names;
    }
    void click(int x, int y)
    {
        canvas->mouseMoved(x, y, 0);
        canvas->leftPressed(x, y, 1, 0);
        canvas->leftReleased(x, y, 0);
    }

    testsupport::TempDir dir;
    std::unique_ptr<BuilderApp> app;
    ResourceManager* catalogue = nullptr;
    SpriteCanvas* canvas = nullptr;
};

TEST_F(MessageDialogTest, BuildersFollowTheirTable)
{
    using Build = std::function<FramedDialog*()>;
    struct Case {
        const char* what;
        Build build;
        std::vector<std::string> buttons;
        bool draggable;
        int extra;
        const char* bottom;
    };
    const std::string text = "hello world";
    const std::vector<Case> cases = {
        {"ok", [&] { return showOkDialog("D_OK", "IMAGE_HEADER", text); }, {"BUTTON_OK"}, true, 0,
         "IMAGE_DIALOG_BOTTOM_SMALL"},
        {"yes/no", [&] { return showYesNoDialog("D_YN", "IMAGE_HEADER", text); }, {"BUTTON_YES", "BUTTON_NO"}, true,
         0, "IMAGE_DIALOG_BOTTOM_SMALL"},
        {"large", [&] { return showYesNoDialogLarge("D_L", "IMAGE_HEADER", text, true); },
         {"BUTTON_YES", "BUTTON_NO"}, false, 200, "IMAGE_DIALOG_BOTTOM_EXTREME"},
        {"not large", [&] { return showYesNoDialogLarge("D_L", "IMAGE_HEADER", text, false); },
         {"BUTTON_YES", "BUTTON_NO"}, false, 0, "IMAGE_DIALOG_BOTTOM_SMALL"},
        {"slider", [&] { return showOkSliderDialog("D_S", "IMAGE_HEADER", text, "more", false); }, {"BUTTON_OK"},
         true, 0, "IMAGE_DIALOG_BOTTOM_SMALL"},
        {"cutover", [&] { return showCutoverDialog("D_C", "IMAGE_HEADER", text); }, {"BUTTON_CUTOVER"}, false, 0,
         "IMAGE_DIALOG_BOTTOM_SMALL"},
    };
    for (const Case& c : cases) {
        Held<FramedDialog> dialog(c.build());
        EXPECT_EQ(dialog->getWidth(), 300) << c.what << ": as wide as the header";
        EXPECT_EQ(buttonNames(dialog.get()), c.buttons) << c.what;
        EXPECT_EQ(dialog->isDraggable(), c.draggable) << c.what;
        EXPECT_EQ(dialog->getBottomImage(), ResourceManager::getImage(c.bottom)) << c.what;
        EXPECT_EQ(dialog->getTopImage(), ResourceManager::getImage("IMAGE_HEADER"));
        EXPECT_EQ(dialog->getInsideImage(), ResourceManager::getImage("IMAGE_DIALOG_INSIDE"));

        auto* label = static_cast<PixelFontLabel*>(dialog->getChildren().front());
        EXPECT_EQ(label->getText(), text);
        EXPECT_EQ(label->getX(), 60);
        EXPECT_EQ(label->getY(), 75);
        EXPECT_EQ(label->getWidth(), 180) << "the inner width";
        EXPECT_EQ(label->getHeight(), label->getTextBounds().height);
        Sprite* buttons = dialog->getChildren().back();
        EXPECT_EQ(buttons->getY(), 75 + label->getHeight() + 5) << c.what << ": the buttons below the text";
        EXPECT_EQ(buttons->getX() + buttons->getWidth() / 2, 150) << c.what << ": centred";
        EXPECT_EQ(dialog->getHeight(), 75 + label->getHeight() + 5 + 32 + 65 + c.extra) << c.what;
        EXPECT_EQ(dialog->getX(), 170) << c.what;
        EXPECT_EQ(dialog->getY(), 240 - dialog->getHeight() / 2) << c.what;
        dialog->setObsolete(true);
    }
}

TEST_F(MessageDialogTest, SliderDialogShowsItsSecondTextInTheExtraRoom)
{
    Held<FramedDialog> dialog(showOkSliderDialog("DIALOG_SINGLE_PLAYER", "IMAGE_HEADER", "score", "play online",
                                                 true));
    ASSERT_EQ(dialog->getChildren().size(), 3u);
    auto* first = static_cast<PixelFontLabel*>(dialog->getChildren()[0]);
    auto* second = static_cast<PixelFontLabel*>(dialog->getChildren()[2]);
    EXPECT_EQ(second->getText(), "play online");
    EXPECT_EQ(second->getY(), 200);
    EXPECT_EQ(second->getX(), 60);
    EXPECT_EQ(second->getWidth(), 180);
    EXPECT_EQ(second->getHeight(), 20) << "its height is the layout's";
    EXPECT_EQ(dialog->getHeight(), 75 + first->getHeight() + 5 + 32 + 65 + 200);
    EXPECT_EQ(dialog->getName(), "DIALOG_SINGLE_PLAYER");
    dialog->setObsolete(true);
}

TEST_F(MessageDialogTest, PressedButtonAnswersByItsNameAndHandOverDoesNot)
{
    RecordingListener listener;
    FramedDialog* yesNo = showYesNoDialog("DIALOG_EXIT_GAME", "IMAGE_HEADER", "leave");
    yesNo->setListener(&listener);
    canvas->addSprite(yesNo);
    Sprite* row = yesNo->getChildren().back();
    Sprite* no = static_cast<SpriteContainer*>(row)->getChildren().back();
    click(no->getAbsoluteX() + 5, no->getAbsoluteY() + 5);
    EXPECT_EQ(listener.results, std::vector<std::string>{"BUTTON_NO"});
    EXPECT_TRUE(yesNo->isObsolete()) << "an answered message dialog closes";

    FramedDialog* waiting = showCutoverDialog("DIALOG_WAITING", "IMAGE_HEADER", "wait");
    waiting->setListener(&listener);
    canvas->addSprite(waiting);
    Sprite* cutover = waiting->getChildren().back();
    click(cutover->getAbsoluteX() + 5, cutover->getAbsoluteY() + 5);
    EXPECT_EQ(listener.results.size(), 1u);
    EXPECT_FALSE(waiting->isObsolete());
    EXPECT_EQ(waiting->getResult(), nullptr);
}

TEST_F(MessageDialogTest, MissingButtonElementStillGivesAButtonThatAnswers)
{
    LayoutDocument::unloadAll();
    RecordingListener listener;
    FramedDialog* dialog = showOkDialog("DIALOG_UPDATE_SUCCESS", "IMAGE_HEADER", "done");
    dialog->setListener(&listener);
    canvas->addSprite(dialog);
    Sprite* ok = dialog->getChildren().back();
    EXPECT_EQ(ok->getName(), "BUTTON_OK");
    EXPECT_GT(ok->getWidth(), 0);
    click(ok->getAbsoluteX() + 5, ok->getAbsoluteY() + 5);
    EXPECT_EQ(listener.results, std::vector<std::string>{"BUTTON_OK"});
}

TEST_F(MessageDialogTest, BuildingBlocks)
{
    TiXmlDocument doc;
    doc.Parse("<pixelfontlabel font='FONT_TEST'/>");
    auto* control = new ButtonBlit;
    control->setSize(20, 12);
    control->setTooltip("loud");
    RecordingListener dialogs;
    struct Clicks : ButtonListener {
        bool onClick(ButtonBlit*) override { return true; }
        bool onEnter(ButtonBlit*) override { return true; }
        bool onLeave(ButtonBlit*) override { return true; }
    } clicks;
    Held<SpriteContainer> row(createLabeledControl("music", doc.RootElement(), control, &clicks));
    ASSERT_EQ(row->getChildren().size(), 2u);
    auto* label = static_cast<PixelFontLabel*>(row->getChildren()[1]);
    EXPECT_EQ(label->getWidth(), 25 + 15) << "the label is 15 wider than its text";
    EXPECT_EQ(label->getX(), 30) << "beside the control, 10 apart";
    EXPECT_EQ(control->getListener(), &clicks);
    EXPECT_EQ(row->getTooltip(), "loud");
    EXPECT_EQ(row->getWidth(), 20 + 10 + 40);
    row->setObsolete(true);

    Held<BitmapSprite> image(createImageSprite("IMAGE_HEADER"));
    EXPECT_EQ(image->getWidth(), 300);
    EXPECT_EQ(image->getHeight(), 60);
    EXPECT_EQ(image->getSurface(), ResourceManager::getImage("IMAGE_HEADER")->getSurface());
    Held<BitmapSprite> none(createImageSprite("IMAGE_NOT_THERE"));
    EXPECT_EQ(none->getWidth(), 0);

    TiXmlDocument field;
    field.Parse("<pixelfontinputlabel font='FONT_TEST' maxlength='8' width='60' height='9'/>");
    Held<PixelFontInputLabel> input(createInputLabel(field.RootElement()));
    EXPECT_EQ(input->getFont(), uniform);
    EXPECT_EQ(input->getWidth(), 60);
    EXPECT_EQ(input->getMaxLength(), 8);

    Held<PixelFontLabel> made(createPixelFontLabel("kept", doc.RootElement()));
    EXPECT_EQ(made->getText(), "kept");
    EXPECT_EQ(made->getFont(), uniform);

    Held<Sprite> odd(new Sprite(0, 0, 101, 51));
    centerOnScreen(odd.get());
    EXPECT_EQ(odd->getX(), 270);
    EXPECT_EQ(odd->getY(), 215);
}

TEST(DataFormat, DataTextsGetExactlyTheirConversionOrTheValueAppended)
{
    struct Case {
        const char* format;
        std::string expected;
    };
    // One text value.
    for (const Case& c : {Case{"Your score: %s!", "Your score: 1234!"}, Case{"[%6s]", "[  1234]"},
                          Case{"[%-6s]", "[1234  ]"}, Case{"%.2s", "12"}, Case{"100%% of %s", "100% of 1234"},
                          Case{"%n", "%n 1234"}, Case{"%d and %d", "%d and %d 1234"}, Case{"no value here", "no value here 1234"},
                          Case{"", "1234"}, Case{"%s %s", "%s %s 1234"}, Case{"%ls", "%ls 1234"},
                          Case{"%999999s", "%999999s 1234"}, Case{"%*s", "%*s 1234"}, Case{"ends in %", "ends in % 1234"},
                          Case{"%p", "%p 1234"}, Case{"Score:\t", "Score:\t1234"}})
        EXPECT_EQ(formatDataText(c.format, {"1234"}), c.expected) << c.format;
    // One number, one integer, two values.
    EXPECT_EQ(formatDataText("%.1f m deep", {12.345}), "12.3 m deep");
    EXPECT_EQ(formatDataText("%lf", {2.5}), "2.500000");
    EXPECT_EQ(formatDataText("%s m deep", {12.5}), "%s m deep 12.5") << "a number is no text";
    EXPECT_EQ(formatDataText("%Lf", {1.0}), "%Lf 1");
    EXPECT_EQ(formatDataText("%d more to go", {3}), "3 more to go");
    EXPECT_EQ(formatDataText("%05ld", {42}), "00042");
    EXPECT_EQ(formatDataText("%d more", {2.5}), "%d more 2.5");
    EXPECT_EQ(formatDataText("%s reached %.0f m", {"Ada", 120.0}), "Ada reached 120 m");
    EXPECT_EQ(formatDataText("%.0f m by %s", {"Ada", 120.0}), "%.0f m by %s Ada 120") << "order matters";
    const std::string longText(5000, 'x');
    EXPECT_EQ(formatDataText("%s", {longText}), longText) << "a long value is not cut";
}

} // namespace
