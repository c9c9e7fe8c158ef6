#include "platform/surface/SurfaceTestSupport.h"
#include "platform/catalogue/ResourceManager.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XMLSprite.h"
#include "toolkit/sprite/XMLSpriteFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

// A catalogue with a 64 x 32 image "IMAGE_WIDE" (mask included), a 32 x 130 strip "IMAGE_STRIP" whose
// rows hold their own number, and a mask "MASK_ROUND"; layout elements are parsed from text.
class XmlSpriteTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        catalogue = new ResourceManager(0);
        wideMask = makeMap(64, 32);
        storeImage("IMAGE_WIDE", make32(64, 32), wideMask);
        Surface* strip = make32(32, 130);
        for (int y = 0; y < 130; ++y)
            for (int x = 0; x < 32; ++x)
                poke(strip, x, y, static_cast<std::uint32_t>(y + 1));
        storeImage("IMAGE_STRIP", strip, nullptr);
        roundMask = makeMap(8, 6);
        catalogue->storeMask("MASK_ROUND", roundMask);
    }
    void TearDown() override
    {
        delete catalogue;
        DisplayTest::TearDown();
    }

    void storeImage(const std::string& id, Surface* surface, MemorySurface* mask)
    {
        auto* holder = new SurfaceHolder;
        holder->setSurface(surface);
        holder->setMask(mask);
        catalogue->storeImage(id, holder);
    }

    const TiXmlElement* parse(const char* text)
    {
        document.Clear();
        document.Parse(text);
        EXPECT_FALSE(document.Error()) << document.ErrorDesc();
        return document.RootElement();
    }

    // Reads the element into a new XMLSprite.
    XMLSprite* read(const char* text)
    {
        auto* sprite = new XMLSprite;
        sprite->readXML(parse(text));
        return sprite;
    }

    ResourceManager* catalogue = nullptr;
    MemorySurface* wideMask = nullptr;
    MemorySurface* roundMask = nullptr;
    TiXmlDocument document;
};

} // namespace

TEST_F(XmlSpriteTest, DefaultsStayWhenAttributesAreMissing)
{
    Held<XMLSprite> s(read("<xmlsprite/>"));
    EXPECT_EQ(255, s->getAlpha());
    EXPECT_EQ(-1, s->getFrame());
    EXPECT_EQ(-1, s->getSpriteId());
    EXPECT_TRUE(s->isActive());
    EXPECT_EQ(XMLSprite::LayoutRelative, s->getLayoutType());
    EXPECT_EQ(XMLSprite::AlignHCenter, s->getHorizontalAlign());
    EXPECT_EQ(XMLSprite::AlignTop, s->getVerticalAlign());
    EXPECT_EQ(nullptr, s->getClipRect());
    EXPECT_EQ(nullptr, s->getSurface());
    EXPECT_EQ("", s->getName());

    Held<XMLSprite> none(new XMLSprite);
    none->readXML(nullptr); // nothing to read, nothing broken
    EXPECT_EQ(0, none->getWidth());
}

TEST_F(XmlSpriteTest, AttributesInTheirReadingOrder)
{
    Held<XMLSprite> s(read(R"(<xmlsprite id="BUTTON_OK" spriteid="7" acive="false" x="100" y="50" height="10"
        alpha="#80" framecount="3" startframe="2" frameoffsetx="40" usepreviousy="yes" xoffset="3" yoffset="-4"
        image="IMAGE_WIDE" anchorpoint="CENTER" layouttype="auto" horalign="right" veralign="Bottom"
        framedirection="backward" framewrapstyle="switch"/>)"));
    EXPECT_EQ("BUTTON_OK", s->getName()) << "the id names a sprite without a name";
    EXPECT_EQ(7, s->getSpriteId());
    EXPECT_FALSE(s->isEnabled());
    EXPECT_TRUE(s->hasStateFlags(Sprite::StateEnabled)) << "the active flag is not state 512";
    EXPECT_EQ(64, s->getWidth()) << "a width of 0 takes the image's";
    EXPECT_EQ(10, s->getHeight());
    EXPECT_EQ(0x80, s->getAlpha());
    EXPECT_EQ(3, s->getFrameCount());
    EXPECT_EQ(2, s->getFrame());
    EXPECT_EQ(nullptr, s->getSourceRect()) << "the start frame is stored, not selected";
    EXPECT_EQ(40, s->getFrameStepX());
    EXPECT_EQ(40, s->getFrameStepY());
    EXPECT_TRUE(s->getUsePreviousY());
    EXPECT_EQ(Point(3, -4), s->getOffset());
    EXPECT_EQ(wideMask, s->getMask()) << "an image resource brings its mask";
    EXPECT_EQ(Sprite::AnchorCenter, s->getAnchor());
    EXPECT_EQ(Rect(68, 45, 64, 10), s->getBounds());
    EXPECT_EQ(XMLSprite::LayoutAuto, s->getLayoutType());
    EXPECT_EQ(XMLSprite::AlignRight, s->getHorizontalAlign());
    EXPECT_EQ(XMLSprite::AlignBottom, s->getVerticalAlign());
    EXPECT_EQ(Sprite::Backward, s->getFrameDirection());
    EXPECT_EQ(Sprite::WrapBounce, s->getFrameWrap());

    // Setting enabled on an XML sprite only moves the active flag.
    s->setDirty(false);
    s->setEnabled(true);
    EXPECT_TRUE(s->isEnabled());
    EXPECT_FALSE(s->isDirty());
}

TEST_F(XmlSpriteTest, KeywordsAndResourcesThatDoNotMatchChangeNothing)
{
    Held<XMLSprite> s(read(R"(<xmlsprite name="kept" id="OTHER" anchorpoint="middle" layouttype="floating"
        framewrapstyle="LOOP" surface="IMAGE_STRIP" image="IMAGE_WIDE" mask="MASK_ROUND"/>)"));
    EXPECT_EQ("kept", s->getName());
    EXPECT_EQ(Sprite::AnchorTopLeft, s->getAnchor());
    EXPECT_EQ(XMLSprite::LayoutRelative, s->getLayoutType());
    EXPECT_EQ(Sprite::WrapLoop, s->getFrameWrap());
    EXPECT_EQ(64u, s->getSurface()->getDesc().width) << "\"image\" is read after \"surface\"";
    EXPECT_EQ(roundMask, s->getMask()) << "\"mask\" is read last";

    Held<XMLSprite> missing(read(R"(<xmlsprite image="NO_SUCH_IMAGE" mask="NO_SUCH_MASK" width="5"/>)"));
    EXPECT_EQ(nullptr, missing->getSurface());
    EXPECT_EQ(nullptr, missing->getMask());
    EXPECT_EQ(5, missing->getWidth());

    Held<XMLSprite> maskOnly(read(R"(<xmlsprite mask="MASK_ROUND"/>)"));
    EXPECT_EQ(8, maskOnly->getWidth()) << "without an image the mask gives the size";
    EXPECT_EQ(6, maskOnly->getHeight());
}

TEST_F(XmlSpriteTest, ClipAndFrameRectanglesShareOneStartingRectangle)
{
    Held<XMLSprite> s(read(R"(<xmlsprite image="IMAGE_WIDE">
        <cliprect x="1" y="2" width="30"/>
        <framerect y="8" height="9"/>
      </xmlsprite>)"));
    ASSERT_NE(nullptr, s->getClipRect());
    EXPECT_EQ(Rect(1, 2, 30, 0), *s->getClipRect());
    ASSERT_NE(nullptr, s->getSourceRect());
    EXPECT_EQ(Rect(1, 8, 30, 9), *s->getSourceRect());

    Held<XMLSprite> frameOnly(read(R"(<xmlsprite><framerect x="4"/></xmlsprite>)"));
    EXPECT_EQ(nullptr, frameOnly->getClipRect());
    EXPECT_EQ(Rect(4, 0, 0, 0), *frameOnly->getSourceRect());
}

TEST_F(XmlSpriteTest, FactoriesBuildThroughTheObjectFactory)
{
    Held<AbstractXMLSpriteFactory> single(createSpriteFactoryFromXml(parse(R"(<singlexmlspritefactory>
        <xmlsprite id="template" x="9"/></singlexmlspritefactory>)")));
    EXPECT_EQ(1, single->getCount());
    Held<Sprite> made(single->create(5));
    EXPECT_EQ(9, made->getX());
    EXPECT_TRUE(made->isKindOf(&XMLSprite::classRecord));
    EXPECT_TRUE(made->isKindOf(&BitmapSprite::classRecord));

    TiXmlDocument arrayDoc;
    arrayDoc.Parse(R"(<arrayxmlspritefactory><template>
        <xmlsprite name="a"/><xmlsprite name="b"/><nosuchsprite/></template></arrayxmlspritefactory>)");
    Held<AbstractXMLSpriteFactory> array(createSpriteFactoryFromXml(arrayDoc.RootElement()));
    EXPECT_EQ(3, array->getCount());
    Held<Sprite> second(array->create(1));
    EXPECT_EQ("b", second->getName());
    EXPECT_EQ(nullptr, array->create(2)) << "a tag without a creator builds nothing";
    EXPECT_EQ(nullptr, array->create(3));
    EXPECT_EQ(nullptr, array->create(-1));

    // Without a template there is nothing to count or build.
    Held<AbstractXMLSpriteFactory> empty(createSpriteFactoryFromXml(parse("<arrayxmlspritefactory/>")));
    EXPECT_EQ(0, empty->getCount());
    EXPECT_EQ(nullptr, empty->create(0));

    // Elements of another kind are refused by the typed conversions.
    EXPECT_EQ(nullptr, createSpriteFromXml(arrayDoc.RootElement()));
    EXPECT_EQ(nullptr, createSpriteFactoryFromXml(parse("<xmlsprite/>")));
    EXPECT_EQ(nullptr, createSpriteFromXml(nullptr));
}

TEST_F(XmlSpriteTest, SliceFactoryCutsTheImageIntoEqualSlices)
{
    Held<AbstractXMLSpriteFactory> slices(createSpriteFactoryFromXml(parse(R"(<slicexmlspritefactory
        slicecount="4" orientation="vertical" surface="IMAGE_STRIP"><xmlsprite id="template" x="2"/>
      </slicexmlspritefactory>)")));
    EXPECT_EQ(4, slices->getCount());
    Held<Sprite> third(slices->create(3));
    auto* bitmap = dynamic_cast<BitmapSprite*>(third.get());
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(32, bitmap->getWidth());
    EXPECT_EQ(32, bitmap->getHeight());
    EXPECT_EQ(2, bitmap->getX());
    EXPECT_EQ(97u, peek(bitmap->getSurface(), 0, 0) & 0xFFFFFF) << "slice 3 starts at row 96";

    // A slice count of 0 counts as one slice instead of dividing by zero.
    Held<AbstractXMLSpriteFactory> zero(createSpriteFactoryFromXml(parse(R"(<slicexmlspritefactory
        slicecount="0" surface="IMAGE_WIDE"><xmlsprite id="template"/></slicexmlspritefactory>)")));
    EXPECT_EQ(1, zero->getCount());
    Held<Sprite> whole(zero->create(0));
    EXPECT_EQ(64, whole->getWidth());
    EXPECT_NE(nullptr, dynamic_cast<BitmapSprite*>(whole.get())->getMask()) << "the mask is sliced too";

    // Without an image or a template there is nothing to build from.
    Held<AbstractXMLSpriteFactory> bare(createSpriteFactoryFromXml(parse("<slicexmlspritefactory/>")));
    EXPECT_EQ(nullptr, bare->create(0));
}

TEST(ToolkitClassRecords, RecordsAndTheirParents)
{
    struct Case {
        const ClassRecord* record;
        const char* name;
        const ClassRecord* parent;
    };
    const Case cases[] = {
        {&Sprite::classRecord, "Sprite", nullptr},
        {&BitmapSprite::classRecord, "BitmapSprite", &Sprite::classRecord},
        {&SpriteContainer::classRecord, "SpriteContainer", nullptr},
        {&XMLSprite::classRecord, "XMLSprite", &BitmapSprite::classRecord},
        {&AbstractXMLSpriteFactory::classRecord, "AbstractXMLSpriteFactory", nullptr},
        {&SingleXMLSpriteFactory::classRecord, "SingleXMLSpriteFactory", &AbstractXMLSpriteFactory::classRecord},
        {&ArrayXMLSpriteFactory::classRecord, "ArrayXMLSpriteFactory", &AbstractXMLSpriteFactory::classRecord},
        {&SliceXMLSpriteFactory::classRecord, "SliceXMLSpriteFactory", &AbstractXMLSpriteFactory::classRecord},
        {&Modifier::classRecord, "Modifier", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.name, c.record->name);
        EXPECT_EQ(c.parent, c.record->parent) << c.name;
    }
    for (const char* tag : {"xmlsprite", "singlexmlspritefactory", "arrayxmlspritefactory", "slicexmlspritefactory"})
        EXPECT_NE(nullptr, ObjectFactory::findCreator(tag)) << tag;
}
