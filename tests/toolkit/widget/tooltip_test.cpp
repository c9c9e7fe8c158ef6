#include "compat/win32/window/messages.h"
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/window.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "platform/catalogue/ResourceManager.h"
#include "toolkit/scene/SpriteScene.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/ToolTipSpriteRenderer.h"
#include "toolkit/widget/TooltipManagerSprite.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace {

// Blending rounds a step or two per channel.
::testing::AssertionResult near(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (a < e - 3 || a > e + 3)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

class TooltipApp : public Application {
public:
    TooltipApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) { createInputManager(); }
};

// A tooltip source with a fixed rectangle and text.
class FixedSource : public TooltipSource {
public:
    FixedSource(Rect area, std::string text) : area(area), text(std::move(text)) {}
    std::string getTooltip() override { return text; }
    Rect getTooltipRect() override { return area; }
    bool isTooltipActive() override { return true; }
    bool isTooltipChanged() override { return false; }
    Rect area;
    std::string text;
};

// A manager (built from a layout element) with two buttons, "PLAY" at (10, 10) and "QUIT" at
// (100, 10), both 40 x 20, on a 640 x 480 canvas. The test font measures 5 pixels a character and
// 5 high, so a box for n characters is 5n + 6 by 9.
class TooltipTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        app = std::make_unique<TooltipApp>();
        catalogue = new ResourceManager(0);
        catalogue->storeFont("FONT_TEST", uniform);
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
        TiXmlDocument doc;
        doc.Parse("<tooltipmanager delaytime='500'>"
                  "<tooltiprenderer id='renderer' bordercolor='#FF0000'>"
                  "<pixelfontlabel id='label' font='FONT_TEST' colorbg='#00FF00' colorfg='#0000FF'/>"
                  "</tooltiprenderer></tooltipmanager>");
        Sprite* made = createSpriteFromXml(doc.RootElement());
        ASSERT_TRUE(made && made->isKindOf(&TooltipManagerSprite::classRecord));
        manager = static_cast<TooltipManagerSprite*>(made);
        for (ButtonBlit*& b : buttons) {
            b = new ButtonBlit;
            canvas->addSprite(b);
        }
        buttons[0]->setBounds(10, 10, 40, 20);
        buttons[0]->setTooltip("play");
        buttons[1]->setBounds(100, 10, 40, 20);
        buttons[1]->setTooltip("quit");
        canvas->addSprite(manager);
        manager->addSource(buttons[0]);
        manager->addSource(buttons[1]);
        renderer = static_cast<ToolTipSpriteRenderer*>(manager->getRenderer());
        target = make32(640, 480);
    }
    void TearDown() override
    {
        canvas->release();
        delete catalogue;
        app.reset();
        WidgetFontTest::TearDown();
    }

    void pointAt(int x, int y, WPARAM keys = 0)
    {
        app->getInputManager()->handleMessage(WM_MOUSEMOVE, keys,
                                              MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    void frame(int ms) { canvas->update(static_cast<float>(ms) * 0.001f, ms, 50.0f); }

    std::unique_ptr<TooltipApp> app;
    ResourceManager* catalogue = nullptr;
    SpriteCanvas* canvas = nullptr;
    TooltipManagerSprite* manager = nullptr;
    ToolTipSpriteRenderer* renderer = nullptr;
    ButtonBlit* buttons[2] = {};
    Surface* target = nullptr;
};

TEST_F(TooltipTest, LayoutElementBuildsManagerRendererAndLabelInDrawingOrder)
{
    ASSERT_NE(renderer, nullptr);
    ASSERT_TRUE(renderer->isKindOf(&ToolTipSpriteRendererAbstract::classRecord));
    ASSERT_NE(renderer->getLabel(), nullptr);
    EXPECT_EQ(renderer->getFont(), uniform);
    EXPECT_EQ(renderer->getBorderColor(), 0xFF0000);
    EXPECT_EQ(renderer->getBoxColor(), 0x00FF00);
    EXPECT_EQ(renderer->getTextColor(), 0x0000FF);
    EXPECT_EQ(renderer->getAlpha(), 200);
    EXPECT_EQ(manager->getDelayTime(), 500);
    const int at = canvas->indexOf(renderer);
    EXPECT_EQ(at, canvas->getSpriteCount() - 2) << "the box goes on top of what was there";
    EXPECT_EQ(canvas->indexOf(renderer->getLabel()), at + 1);

    canvas->removeSprite(manager);
    frame(20);
    EXPECT_EQ(canvas->getSpriteCount(), 2) << "the box and its label leave with the manager";
}

TEST_F(TooltipTest, TooltipAppearsAfterTheDelayBelowThePointer)
{
    pointAt(20, 15);
    frame(20); // the pointer is found on "PLAY": the countdown starts
    EXPECT_EQ(manager->getHovered(), buttons[0]);
    frame(499);
    EXPECT_EQ(manager->getShown(), nullptr) << "499 ms is not yet the delay";
    pointAt(25, 16); // resting on the same source keeps counting
    frame(1);
    EXPECT_EQ(manager->getShown(), buttons[0]);
    EXPECT_EQ(renderer->getSource(), buttons[0]);

    canvas->render(target);
    EXPECT_EQ(renderer->getX(), 25);
    EXPECT_EQ(renderer->getY(), 36) << "20 pixels below the pointer";
    EXPECT_EQ(renderer->getWidth(), 26);
    EXPECT_EQ(renderer->getHeight(), 9);
    EXPECT_EQ(renderer->getLabel()->getX(), 28);
    EXPECT_EQ(renderer->getLabel()->getY(), 38);
    EXPECT_TRUE(renderer->getLabel()->isTextShown());
    EXPECT_EQ(renderer->getLabel()->getText(), "play");
    // The box: a border in bordercolor round the label's background colour, blended at alpha 200.
    EXPECT_TRUE(near(peek(target, 25, 36), 0xC80000u));
    EXPECT_TRUE(near(peek(target, 26, 37), 0x00C800u));
    EXPECT_FALSE(near(peek(target, 28, 38), 0x00C800u)) << "the text is drawn over the box";
    EXPECT_EQ(peek(target, 24, 36) & 0xFFFFFF, 0u);

    pointAt(30, 20);
    frame(20);
    canvas->render(target);
    EXPECT_EQ(renderer->getX(), 25) << "a shown box stays where it appeared";
}

TEST_F(TooltipTest, AnotherSourceAButtonHeldOrNoSourceHidesAtOnce)
{
    auto showOn = [&](int x) {
        pointAt(x, 15);
        frame(20);
        frame(500);
    };
    showOn(20);
    ASSERT_EQ(manager->getShown(), buttons[0]);

    pointAt(110, 15);
    frame(20);
    EXPECT_EQ(manager->getShown(), nullptr) << "moving to another source hides the first at once";
    EXPECT_EQ(renderer->getSource(), nullptr);
    frame(480);
    EXPECT_EQ(manager->getShown(), nullptr) << "and the delay starts again";
    frame(20);
    EXPECT_EQ(manager->getShown(), buttons[1]);

    pointAt(110, 15, MK_LBUTTON);
    frame(20);
    EXPECT_EQ(manager->getShown(), nullptr) << "no source is found while a button is held";
    pointAt(110, 15);
    frame(20);
    frame(500);
    EXPECT_EQ(manager->getShown(), buttons[1]);

    pointAt(300, 300);
    frame(20);
    EXPECT_EQ(manager->getShown(), nullptr);
    EXPECT_EQ(manager->getHovered(), nullptr);

    manager->setActive(false);
    showOn(20);
    EXPECT_EQ(manager->getHovered(), nullptr) << "an inactive manager does nothing";
}

TEST_F(TooltipTest, EmptyTextOrDisabledButtonShowsNoBox)
{
    buttons[0]->setTooltip("");
    pointAt(20, 15);
    frame(20);
    frame(500);
    canvas->render(target);
    EXPECT_FALSE(renderer->getLabel()->isTextShown());
    EXPECT_EQ(peek(target, 20, 35) & 0xFFFFFF, 0u);

    buttons[1]->setUsable(false);
    pointAt(110, 15);
    frame(20);
    frame(500);
    EXPECT_EQ(manager->getHovered(), nullptr) << "a disabled button is no active source";
}

TEST_F(TooltipTest, BoxStaysInsideTheScreen)
{
    // A text of 19 characters makes a box 101 x 9.
    FixedSource wide({0, 0, 640, 480}, std::string(19, 'a'));
    renderer->setSource(&wide);
    struct Case {
        int px, py, x, y;
    };
    for (const Case& c : {Case{600, 100, 534, 120}, Case{2, 100, 5, 120}, Case{300, 470, 300, 461},
                          Case{300, -30, 300, 5}, Case{300, 0, 300, 20}}) {
        renderer->setPosition(c.px, c.py);
        renderer->rebuild();
        EXPECT_EQ(renderer->getWidth(), 101);
        EXPECT_EQ(renderer->getX(), c.x) << c.px << "," << c.py;
        EXPECT_EQ(renderer->getY(), c.y) << c.px << "," << c.py;
        EXPECT_EQ(renderer->getLabel()->getX(), c.x + 3);
        EXPECT_EQ(renderer->getLabel()->getY(), c.y + 2);
    }
}

TEST(TooltipLayout, MissingChildrenLeaveWorkingEmptyParts)
{
    TooltipApp app;
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    TiXmlDocument doc;
    doc.Parse("<root><tooltipmanager id='M' delaytime='50'><nothing id='renderer'/></tooltipmanager>"
              "<tooltiprenderer id='R' bordercolor='7'/></root>");
    Sprite* made = createSpriteFromXml(doc.RootElement()->FirstChildElement());
    ASSERT_NE(made, nullptr);
    auto* manager = static_cast<TooltipManagerSprite*>(made);
    canvas->addSprite(manager);
    EXPECT_EQ(manager->getRenderer(), nullptr);
    EXPECT_EQ(manager->getDelayTime(), 50);
    FixedSource everywhere({0, 0, 640, 480}, "hello");
    manager->addSource(&everywhere);
    manager->addSource(&everywhere);
    EXPECT_EQ(manager->getSources().size(), 1u) << "a source is registered once";
    canvas->update(0.02f, 20, 50.0f);
    canvas->update(0.1f, 100, 50.0f);
    EXPECT_EQ(manager->getShown(), &everywhere);

    Sprite* bare = createSpriteFromXml(doc.RootElement()->FirstChildElement()->NextSiblingElement());
    ASSERT_NE(bare, nullptr);
    auto* renderer = static_cast<ToolTipSpriteRenderer*>(bare);
    canvas->addSprite(renderer);
    EXPECT_EQ(renderer->getBorderColor(), 7);
    renderer->setSource(&everywhere);
    renderer->draw(nullptr); // no label: nothing to show, nothing to break
    manager->removeSource(&everywhere);
    EXPECT_EQ(manager->getShown(), nullptr);
}

} // namespace

namespace {

// The delay counted in the application's own frames, on the virtual clock: 20 ms a frame.
TEST(TooltipFrames, DelayRunsOnTheApplicationsFrameClock)
{
    compat::testing::useVirtualClock(true);
    {
        TooltipApp app;
        auto* scene = new SpriteScene(&app, "SCENE_TEST", 640, 480, 640, 480);
        app.addScene(scene);
        app.switchScene(scene);
        auto* button = new ButtonBlit;
        button->setBounds(10, 10, 40, 20);
        button->setTooltip("dig");
        auto* manager = new TooltipManagerSprite;
        auto* renderer = new ToolTipSpriteRenderer;
        manager->setRenderer(renderer);
        scene->getCanvas()->addSprite(button);
        scene->getCanvas()->addSprite(manager);
        manager->addSource(button);

        app.getInputManager()->handleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
        app.tick(); // the rest is found here; the countdown starts
        ASSERT_EQ(manager->getHovered(), button);
        for (int frame = 0; frame < 24; ++frame)
            app.tick();
        EXPECT_EQ(renderer->getSource(), nullptr) << "480 ms after the pointer came to rest";
        app.tick();
        EXPECT_EQ(renderer->getSource(), button) << "500 ms";
        manager->clearSources();
    }
    compat::testing::useVirtualClock(false);
}

} // namespace
