#include "platform/app/Application.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/Slider.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

namespace {

class SliderApp : public Application {
public:
    SliderApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

// A slider 200 wide at (100, 50) with a knob 20 x 10, built from a layout element, on a 640 x 480
// canvas. The knob at value v stands at x 100 + 180 v.
class SliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<SliderApp>();
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
        TiXmlDocument doc;
        doc.Parse("<slider x='100' y='50' width='200' tooltip='Music'>"
                  "<buttonblit id='button' name='KNOB' width='20' height='10'/></slider>");
        Sprite* made = createSpriteFromXml(doc.RootElement());
        ASSERT_TRUE(made && made->isKindOf(&Slider::classRecord));
        slider = static_cast<Slider*>(made);
        canvas->addSprite(slider);
    }
    void TearDown() override
    {
        canvas->release();
        app.reset();
    }

    ButtonBlit* knob() const { return slider->getKnob(); }
    void clickAt(int x)
    {
        canvas->mouseMoved(x, 55, 0);
        canvas->leftPressed(x, 55, 1, 0);
        canvas->leftReleased(x, 55, 0);
    }

    std::unique_ptr<SliderApp> app;
    SpriteCanvas* canvas = nullptr;
    Slider* slider = nullptr;
};

TEST_F(SliderTest, KnobFromTheButtonChildFollowsTheClampedValue)
{
    ASSERT_NE(knob(), nullptr);
    EXPECT_EQ(knob()->getName(), "KNOB");
    EXPECT_EQ(knob()->getParent(), slider);
    EXPECT_EQ(slider->getHeight(), 10) << "the slider takes the knob's height";
    EXPECT_EQ(canvas->indexOf(knob()), canvas->indexOf(slider) + 1) << "listed right after the slider";
    EXPECT_FALSE(knob()->hasStateFlags(ButtonBlit::StateConsumesPress));
    EXPECT_EQ(slider->getTooltip(), "Music");
    EXPECT_EQ(slider->getTooltipRect(), Rect(100, 50, 200, 10));

    struct Case {
        float set;
        float value;
        int knobX;
    };
    for (const Case& c : {Case{0.5f, 0.5f, 90}, Case{1.7f, 1.0f, 180}, Case{-0.2f, 0.0f, 0}, Case{0.25f, 0.25f, 45}}) {
        slider->setValue(c.set);
        EXPECT_FLOAT_EQ(slider->getValue(), c.value) << c.set;
        EXPECT_EQ(knob()->getX(), c.knobX) << c.set;
        EXPECT_EQ(knob()->getY(), 0);
        EXPECT_EQ(knob()->getAbsoluteX(), 100 + c.knobX);
    }
}

TEST_F(SliderTest, DraggingTheKnobMovesItWithinTheTrack)
{
    slider->setValue(0.5f);
    // Knob at 190..209; grip it 5 pixels in.
    canvas->mouseMoved(195, 55, 0);
    canvas->leftPressed(195, 55, 1, 0);
    EXPECT_TRUE(slider->isDragging());
    EXPECT_TRUE(canvas->isConsumed());

    canvas->mouseMoved(250, 55, 1);
    EXPECT_EQ(knob()->getX(), 145);
    EXPECT_NEAR(slider->getValue(), 145.0f / 180.0f, 1e-6);
    canvas->mouseMoved(600, 200, 1);
    EXPECT_EQ(knob()->getX(), 180) << "a drag to the far right stops at the end of the track";
    EXPECT_FLOAT_EQ(slider->getValue(), 1.0f);
    canvas->mouseMoved(0, 55, 1);
    EXPECT_EQ(knob()->getX(), 0);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.0f);

    canvas->mouseMoved(150, 55, 1);
    canvas->leftReleased(150, 55, 0);
    EXPECT_FALSE(slider->isDragging());
    EXPECT_EQ(knob()->getX(), 45);
    canvas->mouseMoved(300, 55, 0);
    EXPECT_EQ(knob()->getX(), 45) << "moves after the release leave the knob alone";
}

TEST_F(SliderTest, ReleaseOutsideEndsTheDragAtTheNextMove)
{
    slider->setValue(0.0f);
    canvas->mouseMoved(105, 55, 0);
    canvas->leftPressed(105, 55, 1, 0);
    ASSERT_TRUE(slider->isDragging());
    EXPECT_EQ(knob()->getState(), ButtonBlit::StatePressed);
    canvas->mouseMoved(200, 300, 1);
    EXPECT_TRUE(slider->isDragging());
    // The release happened where nothing heard it (outside the window): the next move has the button up.
    canvas->mouseMoved(210, 300, 0);
    EXPECT_FALSE(slider->isDragging());
    EXPECT_EQ(knob()->getState(), ButtonBlit::StateNormal);
    EXPECT_EQ(knob()->getX(), 105) << "the last move still places the knob";
    canvas->mouseMoved(250, 55, 1);
    EXPECT_EQ(knob()->getX(), 105);
}

TEST_F(SliderTest, TrackClicksStepByATenthUpToTheEnds)
{
    slider->setValue(0.5f);
    clickAt(120); // left of the knob
    EXPECT_NEAR(slider->getValue(), 0.4f, 1e-6);
    for (int i = 0; i < 6; ++i)
        clickAt(101);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.0f) << "clamped at 0";
    EXPECT_EQ(knob()->getX(), 0);

    clickAt(199); // right of the knob
    EXPECT_NEAR(slider->getValue(), 0.1f, 1e-6);
    for (int i = 0; i < 12; ++i)
        clickAt(299);
    EXPECT_FLOAT_EQ(slider->getValue(), 1.0f) << "clamped at 1";

    slider->setValue(0.5f);
    clickAt(190); // on the knob: a grip, not a step
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
}

TEST_F(SliderTest, PressWithoutThePointerInsideOrWithoutKnobDoesNothing)
{
    slider->setValue(0.5f);
    // No move first: the slider does not know the pointer is inside.
    slider->onLeftPressed(120, 55, 1, 0);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);

    TiXmlDocument doc;
    doc.Parse("<slider x='0' y='200' width='100' height='10'><nosuchtag id='button'/></slider>");
    Sprite* made = createSpriteFromXml(doc.RootElement());
    ASSERT_NE(made, nullptr) << "a missing knob leaves a slider without one";
    auto* bare = static_cast<Slider*>(made);
    canvas->addSprite(bare);
    EXPECT_EQ(bare->getKnob(), nullptr);
    bare->setValue(0.3f);
    canvas->mouseMoved(50, 205, 0);
    canvas->leftPressed(50, 205, 1, 0);
    canvas->mouseMoved(90, 205, 1);
    EXPECT_FLOAT_EQ(bare->getValue(), 0.3f);
}

TEST_F(SliderTest, KnobThatRefersBackToItsSliderIsLeftOut)
{
    TiXmlDocument doc;
    doc.Parse("<root><slider id='LOOP' button='LOOP' width='10'/>"
              "<slider id='OUTER'><slider id='button'><buttonblit id='button' width='3'/></slider></slider></root>");
    const TiXmlElement* loop = doc.RootElement()->FirstChildElement();
    Held<Sprite> self(createSpriteFromXml(loop));
    EXPECT_EQ(static_cast<Slider*>(self.get())->getKnob(), nullptr) << "built once, without a knob";
    Held<Sprite> outer(createSpriteFromXml(loop->NextSiblingElement()));
    EXPECT_EQ(static_cast<Slider*>(outer.get())->getKnob(), nullptr) << "a slider is no knob";
}

TEST_F(SliderTest, LeavingTheCanvasTakesTheKnobAlong)
{
    Held<ButtonBlit> kept(knob());
    canvas->removeSprite(slider);
    EXPECT_TRUE(kept->isObsolete());
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(canvas->getSpriteCount(), 0);
    EXPECT_EQ(kept->getParent(), nullptr) << "the pair let go of each other";
}

} // namespace
