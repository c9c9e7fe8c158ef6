#include "platform/font/BitmapFont.h"
#include "platform/catalogue/ResourceManager.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/PixelButton.h"
#include "toolkit/widget/PixelFontButton.h"
#include "toolkit/widget/WidgetFont.h"
#include "toolkit/widget/WidgetPixels.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace {

// A catalogue with a 10 x 100 strip "IMAGE_STRIP" and the 5-pixel test font "FONT_TEST"; a canvas of
// 100 x 100 to drive the buttons through.
class PixelButtonTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        catalogue = std::make_unique<ResourceManager>(0);
        catalogue->storeImage("IMAGE_STRIP", picture(10, 100));
        catalogue->storeFont("FONT_TEST", uniform);
        canvas = new SpriteCanvas(100, 100, 100, 100);
        canvas->addRef();
    }
    void TearDown() override
    {
        canvas->release();
        catalogue.reset();
        WidgetFontTest::TearDown();
    }

    template <class T> T* build(const std::string& xml)
    {
        TiXmlDocument doc;
        doc.Parse(xml.c_str());
        Sprite* sprite = createSpriteFromXml(doc.RootElement());
        EXPECT_NE(sprite, nullptr) << xml;
        EXPECT_TRUE(sprite && sprite->isKindOf(&T::classRecord)) << xml;
        canvas->addSprite(sprite);
        return static_cast<T*>(sprite);
    }
    // The frame shown, from the source rectangle's row.
    static int shownFrame(const Sprite* sprite)
    {
        const Rect* source = sprite->getSourceRect();
        return source && sprite->getHeight() > 0 ? source->y / sprite->getHeight() : -1;
    }

    std::unique_ptr<ResourceManager> catalogue;
    SpriteCanvas* canvas = nullptr;
};

TEST_F(PixelButtonTest, FourFrameStripFollowsTheStates)
{
    auto* button = build<PixelButton>("<pixelbutton x='10' y='10' image='IMAGE_STRIP'/>");
    EXPECT_EQ(button->getFrameCount(), 4);
    EXPECT_EQ(button->getHeight(), 25);
    EXPECT_EQ(shownFrame(button), 0);
    canvas->mouseMoved(12, 12, 0);
    EXPECT_EQ(shownFrame(button), 1);
    canvas->leftPressed(12, 12, 1, 0);
    EXPECT_EQ(shownFrame(button), 2);
    canvas->leftReleased(12, 12, 0);
    EXPECT_EQ(shownFrame(button), 1);
    button->setUsable(false);
    EXPECT_EQ(shownFrame(button), 3);
    button->setSelected(true);
    EXPECT_EQ(button->getState(), ButtonBlit::StateSelectedDisabled);
    EXPECT_EQ(shownFrame(button), 3) << "a four-frame button shows its selected states with the unselected frames";
}

TEST_F(PixelButtonTest, ToggleStripHasSixFramesAndWrapsTheLastTwoStates)
{
    auto* button = build<PixelButton>("<pixelbutton x='10' y='10' height='7' image='IMAGE_STRIP' toggle='true'/>");
    EXPECT_EQ(button->getFrameCount(), 6);
    EXPECT_EQ(button->getHeight(), 16) << "the frames split the picture, not the element's height";
    canvas->mouseMoved(12, 12, 0);
    canvas->leftPressed(12, 12, 1, 0);
    canvas->leftReleased(12, 12, 0);
    EXPECT_TRUE(button->isSelected());
    EXPECT_EQ(shownFrame(button), 5);
    canvas->mouseMoved(80, 80, 0);
    EXPECT_EQ(shownFrame(button), 4);
    button->setUsable(false);
    EXPECT_EQ(shownFrame(button), 1) << "state 7 wraps to frame 1";
    button->setUsable(true);
    canvas->mouseMoved(12, 12, 0);
    canvas->leftPressed(12, 12, 1, 0);
    EXPECT_EQ(shownFrame(button), 0) << "state 6 wraps to frame 0";

    auto* counted = build<PixelButton>("<pixelbutton image='IMAGE_STRIP' framecount='5' startframe='0'/>");
    EXPECT_EQ(counted->getHeight(), 20) << "a frame count from the element wins";
    ASSERT_NE(counted->getSourceRect(), nullptr) << "the first frame is selected, not the whole strip";
    EXPECT_EQ(counted->getSourceRect()->height, 20);
}

TEST_F(PixelButtonTest, FramesWithoutACountAreLeftAlone)
{
    // A frame rectangle but no frame count (no picture to count frames in): nothing to select.
    auto* bare = build<PixelButton>("<pixelbutton width='10' height='10'/>");
    bare->setFrameRect(0, 0, 10, 10);
    bare->setState(ButtonBlit::StatePressed);
    EXPECT_EQ(bare->getState(), ButtonBlit::StatePressed);
    EXPECT_EQ(bare->getSourceRect(), nullptr);
    EXPECT_EQ(bare->getFrame(), -1);

    auto* negative = build<PixelButton>("<pixelbutton image='IMAGE_STRIP' framecount='-3'/>");
    negative->setState(ButtonBlit::StateDisabled);
    EXPECT_EQ(negative->getFrame(), -1);
}

TEST_F(PixelButtonTest, CaptionAttributesAndTextHolder)
{
    auto* button = build<PixelFontButton>(
        "<pixelfontbutton font='FONT_TEST' colordraw='1' normalcolor='#010203' selecteddisabledcolor='7' "
        "shadowcolor='#00FF00' drawshadow='yes' shadowalpha='64' shadowoffsetx='3' shadowoffsety='-1' "
        "pressedoffsetx='0' pressedoffsety='2'>ok</pixelfontbutton>");
    EXPECT_EQ(button->getText(), "ok");
    EXPECT_EQ(button->getFont(), uniform);
    EXPECT_TRUE(button->getColorDraw());
    EXPECT_EQ(button->getStateColor(0), 0x010203);
    EXPECT_EQ(button->getStateColor(1), PixelFontButton::DefaultCaptionColor);
    EXPECT_EQ(button->getStateColor(7), 7);
    EXPECT_EQ(button->getShadowColor(), 0x00FF00);
    EXPECT_TRUE(button->getDrawShadow());
    EXPECT_EQ(button->getShadowAlpha(), 64);
    EXPECT_EQ(button->getShadowOffsetX(), 3);
    EXPECT_EQ(button->getShadowOffsetY(), -1);
    EXPECT_EQ(button->getPressedOffsetX(), 0);
    EXPECT_EQ(button->getPressedOffsetY(), 2);

    button->setDirty(false);
    button->setText("ok");
    button->setShadowColor(0x00FF00);
    button->setFont(uniform);
    EXPECT_FALSE(button->isDirty()) << "unchanged values do not repaint";
    button->setText("go");
    EXPECT_TRUE(button->isDirty());
}

// The caption "abc" (15 x 5) on a 40 x 15 button at (0, 0): each half truncated on its own puts it at
// (20 - 7, 7 - 2) = (13, 5); "a" covers (13..16, 5..9), "c" (23..26, 5..9).
constexpr const char* captionButton =
    "<pixelfontbutton width='40' height='15' font='FONT_TEST' colordraw='true' normalcolor='#FF0000' "
    "highlightcolor='#00FF00' pressedcolor='#0000FF' disabledcolor='#FFFF00' selectednormalcolor='#00FFFF' "
    "selectedpressedcolor='#FF00FF'>abc</pixelfontbutton>";

struct CaptionCase {
    const char* name;
    int state;
    bool colorDraw;
    int cornerX, cornerY;
    std::uint32_t colour;
};

TEST_F(PixelButtonTest, CaptionColourAndPlaceFollowTheState)
{
    const CaptionCase cases[] = {
        {"normal", 0, true, 13, 5, 0xFF0000},
        {"highlight", 1, true, 13, 5, 0x00FF00},
        {"pressed moves by the pressed offset", 2, true, 14, 6, 0x0000FF},
        {"disabled", 3, true, 13, 5, 0xFFFF00},
        {"selected normal", 4, true, 13, 5, 0x00FFFF},
        {"selected pressed moves too", 6, true, 14, 6, 0xFF00FF},
        {"a font with a picture ignores the state colours", 1, false, 13, 5, ink},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Held<Sprite> held(build<PixelFontButton>(captionButton));
        auto* button = static_cast<PixelFontButton*>(held.get());
        button->setColorDraw(c.colorDraw);
        button->setState(c.state);
        DirectDrawSurface* target = make32(40, 15);
        target->fill(0);
        button->draw(target);
        EXPECT_TRUE(nearColour(peek(target, c.cornerX, c.cornerY), c.colour));
        EXPECT_EQ(peek(target, c.cornerX - 1, c.cornerY), 0u);
        EXPECT_EQ(peek(target, c.cornerX, c.cornerY - 1), 0u);
        canvas->removeSprite(button);
    }
}

TEST_F(PixelButtonTest, PointerDrivesTheCaptionAndTheShadowStaysPut)
{
    auto* button = build<PixelFontButton>(captionButton);
    button->setDrawShadow(true);
    button->setShadowColor(0x0000FF);
    DirectDrawSurface* target = make32(40, 15);
    const auto drawn = [&] {
        target->fill(0);
        button->draw(target);
    };
    canvas->mouseMoved(80, 80, 0);
    canvas->mouseMoved(5, 5, 0);
    drawn();
    EXPECT_TRUE(nearColour(peek(target, 13, 5), 0x00FF00)) << "the pointer over the button";
    // The shadow of "c" covers (25..28, 7..11) at half the sprite alpha (255 x 128 / 256 = 127).
    EXPECT_TRUE(nearColour(peek(target, 28, 7), 0x00007F));
    canvas->leftPressed(5, 5, 1, 0);
    drawn();
    EXPECT_TRUE(nearColour(peek(target, 14, 6), 0x0000FF));
    EXPECT_TRUE(nearColour(peek(target, 28, 7), 0x00007F)) << "the shadow does not move with the press";
    EXPECT_TRUE(nearColour(peek(target, 27, 10), 0x0000FF));
    canvas->leftReleased(5, 5, 0);
    canvas->mouseMoved(80, 80, 0);
    drawn();
    EXPECT_TRUE(nearColour(peek(target, 13, 5), 0xFF0000));
}

// A caption is plain text: a "^" span is no colour code there (labels interpret it, buttons do not).
TEST_F(PixelButtonTest, CaptionDrawsCaretSpansAsPlainText)
{
    auto* button = build<PixelFontButton>(captionButton);
    button->setText("^FF00FF00^abc");
    DirectDrawSurface* target = make32(40, 15);
    target->fill(0);
    button->draw(target);
    int red = 0;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t pixel = peek(target, x, y);
            EXPECT_FALSE(nearColour(pixel, 0x00FF00)) << "the span coloured the caption at " << x << ", " << y;
            red += nearColour(pixel, 0xFF0000) ? 1 : 0;
        }
    }
    EXPECT_GT(red, 0) << "the caption keeps the colour of its state";
}

TEST_F(PixelButtonTest, NoFontOrNoCaptionDrawsOnlyTheImage)
{
    for (const char* xml : {"<pixelfontbutton width='40' height='15'>abc</pixelfontbutton>",
                            "<pixelfontbutton width='40' height='15' font='FONT_TEST' colordraw='1'/>"}) {
        auto* button = build<PixelFontButton>(xml);
        DirectDrawSurface* target = make32(40, 15);
        target->fill(0);
        button->draw(target);
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(peek(target, x, 7), 0u) << xml;
    }
}

} // namespace
