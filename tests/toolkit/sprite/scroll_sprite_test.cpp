#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/ScrollSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

class ScrollSpriteTest : public ::testing::Test {
protected:
    // Built through the object factory by tag, as the layouts build it.
    ScrollSprite* make(const std::string& text)
    {
        document.Clear();
        document.Parse(text.c_str());
        EXPECT_FALSE(document.Error()) << document.ErrorDesc();
        auto* scroller = dynamic_cast<ScrollSprite*>(createSpriteFromXml(document.RootElement()));
        EXPECT_NE(nullptr, scroller);
        return scroller;
    }

    static Sprite* at(int y, const std::string& name = "")
    {
        auto* s = new Sprite(0, 0, 10, 10);
        s->setY(y);
        s->setName(name);
        return s;
    }

    static std::vector<std::string> names(const SpriteCanvas& canvas)
    {
        std::vector<std::string> out;
        for (const Sprite* s : canvas.getSprites())
            out.push_back(s->getName());
        return out;
    }

    TiXmlDocument document;
};

} // namespace

TEST_F(ScrollSpriteTest, LayersAndSpeedsComeFromTheElementAndNothingElse)
{
    Held<ScrollSprite> scroller(make(R"(<scrollsprite x="50" y="9" name="scroll" changespeed="0.5" speed="1.5" targetspeed="3">
        <layers>
          <xmlsprite name="far" y="40" layer="1"/>
          <xmlsprite name="near" y="10" layer="0"/>
          <xmlsprite name="extra" layer="-1"/>
          <xmlsprite name="again" layer="1"/>
        </layers>
        <layerspeeds><speed layer="0" speed="1.0"/><speed layer="1" speed="0.5"/><speed layer="2" speed="2"/></layerspeeds>
      </scrollsprite>)"));
    // The sprite attributes are not read for this element.
    EXPECT_EQ(0, scroller->getX());
    EXPECT_EQ(0, scroller->getY());
    EXPECT_EQ("", scroller->getName());
    EXPECT_FLOAT_EQ(0.5f, scroller->getChangeRate());
    EXPECT_FLOAT_EQ(1.5f, scroller->getSpeed());
    EXPECT_FLOAT_EQ(3.0f, scroller->getTargetSpeed());

    ASSERT_EQ(3, scroller->getLayerCount());
    ASSERT_EQ(1u, scroller->getLayer(0).size());
    EXPECT_EQ("near", scroller->getLayer(0)[0]->getName());
    ASSERT_EQ(2u, scroller->getLayer(1).size());
    EXPECT_EQ("far", scroller->getLayer(1)[0]->getName());
    EXPECT_EQ("again", scroller->getLayer(1)[1]->getName());
    EXPECT_EQ("extra", scroller->getLayer(2)[0]->getName());
    EXPECT_DOUBLE_EQ(0.5, scroller->getLayerSpeed(1));
    EXPECT_DOUBLE_EQ(2.0, scroller->getLayerSpeed(2));
    EXPECT_FLOAT_EQ(40.0f, scroller->getExactPosition(scroller->getLayer(1)[0]));

    // Of kind "Sprite" but not of the XML sprite's kinds.
    EXPECT_TRUE(scroller->isKindOf(&Sprite::classRecord));
    EXPECT_FALSE(scroller->isKindOf(&XMLSprite::classRecord));
    EXPECT_FALSE(scroller->isKindOf(&BitmapSprite::classRecord));
}

TEST_F(ScrollSpriteTest, EachLayerMovesByItsOwnMultipleAndKeepsTheFraction)
{
    Held<ScrollSprite> scroller(new ScrollSprite);
    Sprite* fast = at(100);
    Sprite* slow = at(100);
    Sprite* still = at(100);
    scroller->addToLayer(fast, 0);
    scroller->addToLayer(slow, 1);
    scroller->addToLayer(still, 2);
    scroller->setLayerSpeed(0, 1.0);
    scroller->setLayerSpeed(1, 0.5);
    // Layer 2 has no speed entry: it stays where it is.

    scroller->scroll(3.0);
    EXPECT_EQ(97, fast->getY());
    EXPECT_EQ(98, slow->getY());
    EXPECT_FLOAT_EQ(98.5f, scroller->getExactPosition(slow));
    scroller->scroll(3.0);
    EXPECT_EQ(94, fast->getY());
    EXPECT_EQ(97, slow->getY());
    EXPECT_EQ(100, still->getY());
    EXPECT_DOUBLE_EQ(-6.0, scroller->getScrollOffset());

    // Truncation is toward zero on both sides of it.
    scroller->scroll(100.5);
    EXPECT_EQ(-6, fast->getY());
    scroller->scroll(-200.0);
    EXPECT_EQ(193, fast->getY());

    // While paused nothing moves.
    scroller->setPaused(true);
    scroller->scroll(50.0);
    EXPECT_EQ(193, fast->getY());
}

TEST_F(ScrollSpriteTest, ASpriteAddedAfterScrollingCarriesTheOffsetsFraction)
{
    Held<ScrollSprite> scroller(new ScrollSprite);
    scroller->setLayerSpeed(0, 1.0);
    scroller->scroll(0.25);
    Sprite* late = at(10);
    scroller->addToLayer(late, 0);
    EXPECT_FLOAT_EQ(9.75f, scroller->getExactPosition(late));
    scroller->scroll(0.0);
    EXPECT_EQ(9, late->getY());

    // A negative layer opens a new layer every time.
    scroller->addToLayer(at(0), -1);
    scroller->addToLayer(at(0), -5);
    EXPECT_EQ(3, scroller->getLayerCount());
}

TEST_F(ScrollSpriteTest, SpeedChangesAreEasedOverTheDurationAndRunOnlyWhenTheOwnerTicks)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    Held<ScrollSprite> scroller(new ScrollSprite);
    Sprite* layerSprite = at(1000);
    scroller->addToLayer(layerSprite, 0);
    scroller->setLayerSpeed(0, 1.0);
    canvas->addSprite(scroller.get());

    scroller->setSpeed(2.0f, 0);
    EXPECT_FLOAT_EQ(2.0f, scroller->getSpeed());
    EXPECT_FLOAT_EQ(2.0f, scroller->getStartSpeed());
    EXPECT_FLOAT_EQ(2.0f, scroller->getTargetSpeed());
    EXPECT_FALSE(scroller->isChanging());

    // The canvas's update does not scroll; only tick does, by the frame's ratio (1.0 for 20 ms).
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(1000, layerSprite->getY());
    scroller->tick();
    EXPECT_EQ(998, layerSprite->getY());

    // From 2 to 4 over a duration of 100: a rate of 0.02 per frame, so 50 frames; 3.0 halfway.
    scroller->setSpeed(4.0f, 100);
    EXPECT_TRUE(scroller->isChanging());
    EXPECT_FLOAT_EQ(0.02f, scroller->getChangeRate());
    for (int frame = 0; frame < 26; ++frame)
        scroller->tick();
    EXPECT_NEAR(3.0f, scroller->getSpeed(), 1e-5);
    for (int frame = 26; frame < 51; ++frame)
        scroller->tick();
    EXPECT_NEAR(4.0f, scroller->getSpeed(), 1e-4);
    scroller->tick();
    EXPECT_FLOAT_EQ(4.0f, scroller->getSpeed());
    EXPECT_FALSE(scroller->isChanging());

    // A frame of 40 ms moves twice as far.
    canvas->getFrameRate().setFrame(0.04f, 40, 25.0f);
    const int before = layerSprite->getY();
    scroller->tick();
    EXPECT_EQ(before - 8, layerSprite->getY());

    // A change to the speed it already has has no rate and keeps running.
    scroller->setSpeed(4.0f, 10);
    for (int frame = 0; frame < 100; ++frame)
        scroller->tick();
    EXPECT_TRUE(scroller->isChanging());
    EXPECT_FLOAT_EQ(4.0f, scroller->getSpeed());
}

TEST_F(ScrollSpriteTest, LayerSpritesGoOntoTheCanvasBeneathItAndLeaveWithIt)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    canvas->addSprite(at(0, "below"));
    Held<ScrollSprite> scroller(make(R"(<scrollsprite>
        <layers>
          <xmlsprite name="back" layer="0"/>
          <repeatingsprite name="strip" layer="1" direction="up" repeatstyle="infinite">
            <singlexmlspritefactory id="factory"><xmlsprite id="template" name="copy" width="10" height="100" layouttype="auto"/></singlexmlspritefactory>
            <repeatbounds width="10" height="300"/>
          </repeatingsprite>
          <xmlsprite name="front" layer="0"/>
        </layers>
        <layerspeeds><speed layer="0" speed="1"/><speed layer="1" speed="1"/></layerspeeds>
      </scrollsprite>)"));
    scroller->setName("scroller");
    canvas->addSprite(scroller.get());
    canvas->addSprite(at(0, "above"));

    // In layer order, each in front of the scroller; the strip, built now, brings its 3 + 1 copies.
    EXPECT_EQ((std::vector<std::string>{"below", "back", "front", "strip", "copy", "copy", "copy", "copy",
                                        "scroller", "above"}),
              names(*canvas.get()));
    EXPECT_FALSE(scroller->hasStateFlags(Sprite::StateOnCanvas));

    // Scrolled up until the top copy has left the bounds: it is recycled below the newest.
    auto* strip = dynamic_cast<RepeatingSprite*>(scroller->getLayer(1)[0]);
    ASSERT_NE(nullptr, strip);
    ASSERT_EQ(4u, strip->getCopies().size());
    Sprite* top = strip->getCopies()[0];
    scroller->scroll(100.0);
    EXPECT_EQ(top, strip->getCopies()[0]);
    scroller->scroll(1.0);
    EXPECT_NE(top, strip->getCopies()[0]);
    EXPECT_EQ(-1, strip->getCopies()[0]->getY());
    EXPECT_EQ(299, strip->getCopies()[3]->getY());
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(10, canvas->getSpriteCount());

    canvas->removeSprite(scroller.get());
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ((std::vector<std::string>{"below", "above"}), names(*canvas.get()));
}

TEST_F(ScrollSpriteTest, IncompleteLayoutsGiveSafeLayers)
{
    Held<ScrollSprite> scroller(make(R"(<scrollsprite>
        <layers>
          <xmlsprite name="listed" layer="0"/>
          <nosuchsprite layer="0"/>
          <singlexmlspritefactory layer="0"/>
          <xmlsprite name="nolayer"/>
          <xmlsprite name="far" layer="99999999"/>
        </layers>
        <layerspeeds><speed speed="4"/><speed layer="-3" speed="4"/><speed layer="2000000000" speed="4"/></layerspeeds>
      </scrollsprite>)"));
    // Unknown tags and non-sprites are skipped; a sprite without a usable layer gets its own.
    ASSERT_EQ(3, scroller->getLayerCount());
    ASSERT_EQ(1u, scroller->getLayer(0).size());
    EXPECT_EQ("nolayer", scroller->getLayer(1)[0]->getName());
    EXPECT_EQ("far", scroller->getLayer(2)[0]->getName());
    // Speed entries without a usable layer are skipped; layers without an entry move at 0.0.
    for (int layer = 0; layer < 3; ++layer)
        EXPECT_DOUBLE_EQ(0.0, scroller->getLayerSpeed(layer)) << layer;
    scroller->scroll(10.0);
    EXPECT_EQ(0, scroller->getLayer(0)[0]->getY());
}

TEST_F(ScrollSpriteTest, StripsOfScrollersOfStripsStayBounded)
{
    // Each level would make 1024 copies of the next: a million sprites without the overall limit.
    const std::string inner = R"(<scrollsprite id="template"><layers>
        <repeatingsprite layer="0" direction="up"><singlexmlspritefactory id="factory"><xmlsprite id="template" width="1" height="1" layouttype="auto"/></singlexmlspritefactory>
          <repeatbounds width="1" height="1024"/></repeatingsprite></layers></scrollsprite>)";
    Held<SpriteCanvas> canvas(new SpriteCanvas(64, 48, 64, 48));
    {
        Held<ScrollSprite> scroller(make(R"(<scrollsprite><layers>
            <repeatingsprite layer="0" direction="up"><singlexmlspritefactory id="factory">)" + inner +
                                         R"(</singlexmlspritefactory><repeatbounds width="1" height="1024"/></repeatingsprite>
            </layers></scrollsprite>)"));
        canvas->addSprite(scroller.get());
        EXPECT_LT(canvas->getSpriteCount(), 2 * RepeatingSprite::kMaxLiveCopies + 4);
        canvas->removeSprite(scroller.get());
        canvas->update(0.02f, 20, 50.0f);
        EXPECT_EQ(0, canvas->getSpriteCount());
    }
    // Once they are gone, strips make copies again.
    const TiXmlElement* outerStrip = document.RootElement()->FirstChildElement("layers")->FirstChildElement();
    Held<RepeatingSprite> strip(dynamic_cast<RepeatingSprite*>(createSpriteFromXml(outerStrip)));
    strip->build();
    EXPECT_EQ(static_cast<std::size_t>(RepeatingSprite::kMaxCopies), strip->getCopies().size());
}

TEST_F(ScrollSpriteTest, LayoutsThatReachThemselvesStopBuilding)
{
    // Each strip finds no factory of its own and takes the enclosing one, whose template is the scroller
    // again: four strips per scroller, without end.
    document.Parse(R"(<Layout><singlexmlspritefactory id="factory"><scrollsprite id="template"><layers>
        <repeatingsprite layer="0"/><repeatingsprite layer="0"/><repeatingsprite layer="0"/><repeatingsprite layer="0"/>
      </layers></scrollsprite></singlexmlspritefactory></Layout>)");
    const TiXmlElement* element = document.RootElement()->FirstChildElement()->FirstChildElement();
    Held<ScrollSprite> scroller(dynamic_cast<ScrollSprite*>(createSpriteFromXml(element)));
    ASSERT_EQ(1, scroller->getLayerCount());
    EXPECT_EQ(4u, scroller->getLayer(0).size());

    // A strip inside its own factory's template.
    Held<RepeatingSprite> strip(dynamic_cast<RepeatingSprite*>(createSpriteFromXml(element->FirstChildElement()->FirstChildElement())));
    EXPECT_NE(nullptr, strip->getFactory());
}
