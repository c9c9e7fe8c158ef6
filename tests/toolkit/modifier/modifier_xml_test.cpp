// Modifiers made from layout elements through the object factory, their class records, and the follow
// move, whose spring constants come from the layout documents.
#include "resources/layout/LayoutFixture.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierBounds.h"
#include "toolkit/modifier/ModifierCreation.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationCubic.h"
#include "toolkit/modifier/ModifierLocationFollow.h"
#include "toolkit/modifier/ModifierLocationWave.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/modifier/ModifierTestSupport.h"

#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

class ModifierXmlTest : public ModifierTest {
protected:
    // The modifier built from the element, held by the test's sprite.
    Modifier* build(const char* text)
    {
        document.Clear();
        document.Parse(text);
        EXPECT_FALSE(document.Error()) << text;
        Modifier* modifier = createModifierFromXml(document.RootElement());
        if (modifier)
            sprite->addModifier(modifier);
        return modifier;
    }

    TiXmlDocument document;
};

TEST_F(ModifierXmlTest, EachTagBuildsItsModifierWithTheAttributesOfItsElement)
{
    auto* alpha = dynamic_cast<ModifierAlpha*>(
        build(R"(<modifieralpha name="fade" startalpha="10" endalpha="64" speed="0.5" removeparent="yes"/>)"));
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->getName(), "fade");
    EXPECT_FLOAT_EQ(alpha->getStartAlpha(), 10.0f);
    EXPECT_FLOAT_EQ(alpha->getEndAlpha(), 64.0f);
    EXPECT_FLOAT_EQ(alpha->getSpeed(), 0.5f);
    EXPECT_EQ(alpha->getOptions(), 1 | Modifier::OptionRemoveParent);

    auto* line = dynamic_cast<ModifierLocationLine*>(build(
        R"(<modifierlocationline startx="1" starty="2" endx="30" endy="40" speed="0.25" easyinout="1" adjusty="off"/>)"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->getStart().x, 1);
    EXPECT_EQ(line->getStart().y, 2);
    EXPECT_EQ(line->getEnd().x, 30);
    EXPECT_EQ(line->getEnd().y, 40);
    EXPECT_FLOAT_EQ(line->getSpeed(), 0.25f);
    EXPECT_TRUE(line->getEaseInOut());
    EXPECT_TRUE(line->getAdjustX());
    EXPECT_FALSE(line->getAdjustY());

    auto* delay = dynamic_cast<ModifierDelay*>(build(R"(<modifierdelay time="12.5" blocking="false"/>)"));
    ASSERT_NE(delay, nullptr);
    EXPECT_DOUBLE_EQ(delay->getTimeLeft(), 12.5);
    EXPECT_FALSE(delay->hasOption(Modifier::OptionBlocking)) << "the element clears the constructor's blocking";
    EXPECT_TRUE(dynamic_cast<ModifierDelay*>(build("<modifierdelay/>"))->hasOption(Modifier::OptionBlocking));

    auto* sound = dynamic_cast<ModifierSound*>(build(R"(<modifiersound sound="SOUND_CLICK" blocking="on"/>)"));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->getSoundName(), "SOUND_CLICK");
    EXPECT_EQ(sound->getOptions(), 1 | Modifier::OptionBlocking);

    auto* bounds = dynamic_cast<ModifierBounds*>(
        build(R"(<modifierbounds startwidth="10" startheight="10" endwidth="20" endheight="0" speed="0.1"/>)"));
    ASSERT_NE(bounds, nullptr);
    EXPECT_FLOAT_EQ(bounds->getWidthSpeed(), 1.0f);
    EXPECT_FLOAT_EQ(bounds->getHeightSpeed(), -1.0f);

    auto* follow = dynamic_cast<ModifierLocationFollow*>(build(R"(<modifierlocationfollow easyinout="yes"/>)"));
    ASSERT_NE(follow, nullptr);
    EXPECT_TRUE(follow->getEaseInOut());
    EXPECT_EQ(follow->getTarget(), nullptr);
}

TEST_F(ModifierXmlTest, ElementsThatBuildNoModifierGiveNothing)
{
    EXPECT_EQ(build("<modifierframe/>"), nullptr) << "frame animations have no tag";
    EXPECT_EQ(build("<ModifierAlpha/>"), nullptr) << "tags are lower case";
    EXPECT_EQ(build("<xmlsprite/>"), nullptr) << "a sprite is not a modifier";
    EXPECT_EQ(createModifierFromXml(nullptr), nullptr);
    EXPECT_TRUE(sprite->getModifiers().empty());
}

TEST_F(ModifierXmlTest, AModifierFromAnElementRunsLikeOneFromCode)
{
    sprite->setPosition(0, 0);
    build(R"(<modifierlocationline startx="0" starty="0" endx="100" endy="0" speed="0.5" removeparent="true"/>)");
    // A follow move from an element has no target: nothing to follow, it finishes and lets the list go on.
    build("<modifierlocationfollow blocking='true'/>");
    frame();
    frame();
    EXPECT_EQ(sprite->getX(), 50);
    EXPECT_EQ(sprite->getModifiers().size(), 1u);
    frame();
    frame();
    EXPECT_EQ(sprite->getX(), 100);
    EXPECT_EQ(canvas->getSpriteCount(), 0) << "removeparent took the sprite off its canvas";
}

TEST(ModifierRecords, KindTestsFollowTheRecordsNotTheClasses)
{
    struct Case {
        const ClassRecord* record;
        const char* name;
        const ClassRecord* parent;
    };
    const Case cases[] = {
        {&ModifierAlpha::classRecord, "ModifierAlpha", &Modifier::classRecord},
        {&ModifierBounds::classRecord, "ModifierBounds", &Modifier::classRecord},
        {&ModifierDelay::classRecord, "ModifierDelay", &Modifier::classRecord},
        {&ModifierFrame::classRecord, "ModifierFrame", &Modifier::classRecord},
        {&ModifierLocation::classRecord, "ModifierLocation", &Modifier::classRecord},
        {&ModifierLocation::bounceRecord, "ModifierLocationBounce", &ModifierLocation::classRecord},
        {&ModifierLocationLine::classRecord, "ModifierLocationLine", &ModifierLocation::classRecord},
        {&ModifierLocationDrop::classRecord, "ModifierLocationDrop", &ModifierLocationLine::classRecord},
        {&ModifierLocationCubic::classRecord, "ModifierLocationCubic", &ModifierLocation::classRecord},
        {&ModifierLocationFollow::classRecord, "ModifierLocationFollow", &Modifier::classRecord},
        {&ModifierLocationWave::classRecord, "ModifierLocationWave", &Modifier::classRecord},
        {&ModifierSound::classRecord, "ModifierSound", &Modifier::classRecord},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.record->name, c.name);
        EXPECT_EQ(c.record->parent, c.parent) << c.name;
    }
    ModifierLocationWave wave;
    EXPECT_EQ(wave.getClass(), &ModifierLocationWave::classRecord);
    EXPECT_FALSE(wave.getClass()->isKindOf(&ModifierLocation::classRecord)) << "a wave is no location by its record";
    ModifierLocationDrop drop;
    EXPECT_TRUE(drop.getClass()->isKindOf(&ModifierLocation::classRecord));
}

class FollowTest : public layouttest::LayoutTest {
protected:
    void SetUp() override
    {
        LayoutTest::SetUp();
        loadDocuments(R"(<Float id="FLOAT_GOLD_FLY_DAMPING">0.5</Float>
                         <Float id="FLOAT_GOLD_FLY_SPRINGINESS">0</Float>)",
                      "");
        canvas = new SpriteCanvas(64, 64, 64, 64);
        canvas->addRef();
        gold = new BitmapSprite;
        cart = new BitmapSprite;
        canvas->addSprite(gold);
        canvas->addSprite(cart);
    }
    void TearDown() override
    {
        canvas->release();
        LayoutTest::TearDown();
    }
    void frame() { canvas->update(0.02f, 20, 50.0f); }

    SpriteCanvas* canvas = nullptr;
    BitmapSprite* gold = nullptr;
    BitmapSprite* cart = nullptr;
};

TEST_F(FollowTest, TheSpringClosesHalfTheGapEachUpdateAndKeepsTheFractionsItCannotWrite)
{
    gold->setPosition(0, 5);
    cart->setPosition(20, 5);
    ModifierLocationFollow::start(gold, cart, 10.0f, 0.0f, 1.0f, 1.0f, true, 0);
    std::vector<int> xs;
    for (int i = 0; i < 10 && !gold->getModifiers().empty(); ++i) {
        frame();
        xs.push_back(gold->getX());
        EXPECT_EQ(gold->getY(), 5);
    }
    // 15, 22.5, 26.25, 28.125, then 29.06 is within a pixel and slow: on the target, finished.
    EXPECT_EQ(xs, (std::vector<int>{15, 22, 26, 28, 30}));
    EXPECT_TRUE(gold->getModifiers().empty());
}

TEST_F(FollowTest, AFollowKeepsFollowingATargetThatMovesAwayAndHoldsItsTarget)
{
    cart->addRef();
    cart->setX(100);
    ModifierLocationFollow* follow = ModifierLocationFollow::start(gold, cart, 0.0f, 0.0f, 1.0f, 1.0f, true, 0);
    canvas->removeSprite(cart);
    frame();
    EXPECT_EQ(canvas->getSpriteCount(), 1);
    ASSERT_FALSE(gold->getModifiers().empty());
    cart->release();
    EXPECT_EQ(follow->getTarget(), cart) << "the move's own reference keeps the target alive";
    for (int i = 1; i <= 5; ++i) {
        cart->setX(100 + 40 * i);
        frame();
        ASSERT_FALSE(gold->getModifiers().empty()) << "update " << i;
    }
    EXPECT_GT(gold->getX(), 200);
    for (int i = 0; i < 30 && !gold->getModifiers().empty(); ++i)
        frame();
    EXPECT_TRUE(gold->getModifiers().empty());
    EXPECT_EQ(gold->getX(), 300);
}

} // namespace
