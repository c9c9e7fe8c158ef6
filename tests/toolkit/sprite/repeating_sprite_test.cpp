#include "runtime/Random.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XMLSpriteFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

const char* const kWideTemplate = R"(<xmlsprite id="template" width="100" height="20" layouttype="auto"/>)";

// Layout text of a strip over the bounds (0, 0, 640, 480) with a single-sprite factory of that template.
std::string stripXml(const std::string& attributes, const std::string& templateXml = kWideTemplate)
{
    return "<repeatingsprite " + attributes + "><singlexmlspritefactory id=\"factory\">" + templateXml +
           "</singlexmlspritefactory><repeatbounds x=\"0\" y=\"0\" width=\"640\" height=\"480\"/></repeatingsprite>";
}

class RepeatingSpriteTest : public ::testing::Test {
protected:
    void SetUp() override { Random::global().setSeed(7); }

    // Built through the object factory by tag, as the layouts build it.
    RepeatingSprite* make(const std::string& text)
    {
        document.Clear();
        document.Parse(text.c_str());
        EXPECT_FALSE(document.Error()) << document.ErrorDesc();
        Sprite* sprite = createSpriteFromXml(document.RootElement());
        auto* strip = dynamic_cast<RepeatingSprite*>(sprite);
        EXPECT_NE(nullptr, strip);
        return strip;
    }

    static std::vector<std::string> names(const std::vector<Sprite*>& list)
    {
        std::vector<std::string> out;
        for (const Sprite* s : list)
            out.push_back(s->getName());
        return out;
    }

    TiXmlDocument document;
};

} // namespace

TEST_F(RepeatingSpriteTest, BuildCoversTheBoundsInEachDirectionAndStyle)
{
    struct Case {
        const char* attributes;
        std::size_t made;
        int width, height;
        int firstX, firstY, secondX, secondY;
    };
    // The strip sits at (5, 7); the template is 100 x 20, the bounds 640 x 480.
    const Case cases[] = {
        // ceiling(640 / 110) = 6 copies, 660 wide, filled from the right end leftwards.
        {R"(x="5" y="7" direction="right" spacing="10" repeatstyle="window")", 6, 660, 20, 565, 7, 455, 7},
        // One more so that one is always ready to scroll in.
        {R"(x="5" y="7" direction="RIGHT" spacing="10" repeatstyle="wrap")", 7, 770, 20, 675, 7, 565, 7},
        {R"(x="5" y="7" direction="left" spacing="10")", 6, 660, 20, 5, 7, 115, 7},
        // ceiling(480 / 30) = 16, filled from the bottom end upwards.
        {R"(x="5" y="7" direction="down" spacing="10")", 16, 100, 480, 5, 467, 5, 437},
        {R"(x="5" y="7" direction="up" spacing="10" repeatstyle="infinite")", 17, 100, 510, 5, 7, 5, 37},
        // A number of copies below what the bounds need: only that many, now and later.
        {R"(x="5" y="7" direction="right" spacing="10" repeatstyle="number" repeatcount="3")", 3, 330, 20, 235, 7,
         125, 7},
        // Direct allocation makes the whole number at once.
        {R"(x="5" y="7" direction="right" spacing="10" repeatstyle="number" repeatcount="8" allocstyle="direct")", 8,
         880, 20, 785, 7, 675, 7},
    };
    for (const Case& c : cases) {
        Held<RepeatingSprite> strip(make(stripXml(c.attributes)));
        // The template sizes the strip until it is built.
        EXPECT_EQ(100, strip->getWidth()) << c.attributes;
        EXPECT_EQ(20, strip->getHeight()) << c.attributes;
        strip->build();
        ASSERT_EQ(c.made, strip->getCopies().size()) << c.attributes;
        EXPECT_EQ(static_cast<int>(c.made), strip->getCreated()) << c.attributes;
        EXPECT_EQ(c.width, strip->getWidth()) << c.attributes;
        EXPECT_EQ(c.height, strip->getHeight()) << c.attributes;
        EXPECT_EQ(c.firstX, strip->getCopies()[0]->getX()) << c.attributes;
        EXPECT_EQ(c.firstY, strip->getCopies()[0]->getY()) << c.attributes;
        EXPECT_EQ(c.secondX, strip->getCopies()[1]->getX()) << c.attributes;
        EXPECT_EQ(c.secondY, strip->getCopies()[1]->getY()) << c.attributes;
        EXPECT_EQ(nullptr, strip->getTemplate()) << c.attributes;
        // A second build keeps what the first made.
        strip->build();
        EXPECT_EQ(c.made, strip->getCopies().size()) << c.attributes;
    }
}

TEST_F(RepeatingSpriteTest, WithoutRepeatBoundsTheStripCoversItsOwnBounds)
{
    Held<RepeatingSprite> strip(make(R"(<repeatingsprite direction="right" width="250">
        <singlexmlspritefactory id="factory"><xmlsprite id="template" width="100" height="20"/></singlexmlspritefactory>
      </repeatingsprite>)"));
    // The template's size replaces the element's.
    ASSERT_EQ(100, strip->getWidth());
    strip->build();
    ASSERT_NE(nullptr, strip->getRepeatBounds());
    EXPECT_EQ(Rect(0, 0, 100, 20), *strip->getRepeatBounds());
    EXPECT_EQ(1u, strip->getCopies().size());
}

TEST_F(RepeatingSpriteTest, FactoryIndexesFollowTheRepeatType)
{
    const std::string three = R"(<arrayxmlspritefactory id="factory"><template>
        <xmlsprite name="a" width="100" height="20" layouttype="auto"/>
        <xmlsprite name="b" width="100" height="20" layouttype="auto"/>
        <xmlsprite name="c" width="100" height="20" layouttype="auto"/></template></arrayxmlspritefactory>)";
    auto withFactory = [](const std::string& attributes, const std::string& factory) {
        return "<repeatingsprite " + attributes + ">" + factory +
               "<repeatbounds width=\"400\" height=\"20\"/></repeatingsprite>";
    };

    // Sequential: created mod count, and the first copy is the second one created.
    Held<RepeatingSprite> sequential(make(withFactory(R"(direction="right" repeattype="sequential")", three)));
    sequential->build();
    EXPECT_EQ((std::vector<std::string>{"b", "c", "a", "b"}), names(sequential->getCopies()));

    // No doubles: never the same sprite twice in a row.
    Held<RepeatingSprite> mixed(make(withFactory(R"(direction="right" repeatstyle="number" repeatcount="40" allocstyle="direct")", three)));
    mixed->build();
    const std::vector<std::string> picked = names(mixed->getCopies());
    ASSERT_EQ(40u, picked.size());
    for (std::size_t i = 1; i < picked.size(); ++i)
        EXPECT_NE(picked[i - 1], picked[i]) << i;

    // No doubles over a factory of one sprite takes that sprite every time.
    Held<RepeatingSprite> single(make(stripXml(R"(direction="right")")));
    single->build();
    EXPECT_EQ(7u, single->getCopies().size());
    EXPECT_EQ(0, single->getLastIndex());
}

TEST_F(RepeatingSpriteTest, CopiesArePlacedByTheirOwnLayoutType)
{
    // Relative copies are moved by the strip's position; static ones stay where the factory put them;
    // later auto copies take the cross coordinate from their offset.
    struct Case {
        const char* templateXml;
        int secondX, secondY;
    };
    const Case cases[] = {
        {R"(<xmlsprite id="template" x="3" y="4" width="100" height="20"/>)", 13, 24},
        {R"(<xmlsprite id="template" x="3" y="4" width="100" height="20" layouttype="static"/>)", 3, 4},
        {R"(<xmlsprite id="template" width="100" height="20" layouttype="auto" yoffset="6"/>)", 110, 26},
    };
    for (const Case& c : cases) {
        Held<RepeatingSprite> strip(make(stripXml(R"(x="10" y="20" direction="left")", c.templateXml)));
        strip->build();
        ASSERT_EQ(7u, strip->getCopies().size());
        EXPECT_EQ(c.secondX, strip->getCopies()[1]->getX()) << c.templateXml;
        EXPECT_EQ(c.secondY, strip->getCopies()[1]->getY()) << c.templateXml;
    }
}

TEST_F(RepeatingSpriteTest, CopiesFollowTheStripOntoAndOffTheCanvasAndMoveWithIt)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    auto* below = new Sprite(0, 0, 1, 1);
    below->setName("below");
    auto* above = new Sprite(0, 0, 1, 1);
    above->setName("above");
    canvas->addSprite(below);
    canvas->addSprite(above);

    Held<RepeatingSprite> strip(make(R"(<repeatingsprite name="strip" direction="right" repeattype="sequential">
        <arrayxmlspritefactory id="factory"><template>
          <xmlsprite name="a" width="100" height="20" layouttype="auto"/>
          <xmlsprite name="b" width="100" height="20" layouttype="auto"/></template></arrayxmlspritefactory>
        <repeatbounds width="250" height="20"/></repeatingsprite>)"));
    strip->build();
    canvas->addSpriteAfter(strip.get(), below);
    std::vector<std::string> order;
    for (const Sprite* s : canvas->getSprites())
        order.push_back(s->getName());
    // The oldest copy right after the strip, each further one after its predecessor.
    EXPECT_EQ((std::vector<std::string>{"below", "strip", "b", "a", "b", "above"}), order);

    strip->setPosition(15, -4);
    EXPECT_EQ(215, strip->getCopies()[0]->getX());
    EXPECT_EQ(-4, strip->getCopies()[0]->getY());
    EXPECT_EQ(15, strip->getCopies()[2]->getX());

    canvas->removeSprite(strip.get());
    canvas->update(0.02f, 20, 50.0f);
    order.clear();
    for (const Sprite* s : canvas->getSprites())
        order.push_back(s->getName());
    EXPECT_EQ((std::vector<std::string>{"below", "above"}), order);
    for (const Sprite* copy : strip->getCopies())
        EXPECT_EQ(nullptr, copy->getCanvas());

    // Back on a canvas, the same copies return.
    strip->setObsolete(false);
    canvas->addSprite(strip.get());
    EXPECT_EQ(6, canvas->getSpriteCount());
    EXPECT_FALSE(strip->getCopies()[0]->isObsolete());
}

TEST_F(RepeatingSpriteTest, WrapRecyclesTheOldestCopyOnceItHasLeftTheBounds)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    // Bounds 300 wide, copies 100 wide: 3 + 1 copies at 300, 200, 100 and 0.
    Held<RepeatingSprite> strip(make(R"(<repeatingsprite direction="right" repeatstyle="infinite">
        <singlexmlspritefactory id="factory"><xmlsprite id="template" width="100" height="20" layouttype="auto"/></singlexmlspritefactory>
        <repeatbounds width="300" height="20"/></repeatingsprite>)"));
    strip->build();
    canvas->addSprite(strip.get());
    ASSERT_EQ(4u, strip->getCopies().size());
    Sprite* oldest = strip->getCopies()[0];
    EXPECT_EQ(300, oldest->getX());

    // At the bounds' edge the copy is still inside.
    strip->wrapCopies();
    EXPECT_EQ(oldest, strip->getCopies()[0]);

    strip->setX(1);
    strip->wrapCopies();
    ASSERT_EQ(4u, strip->getCopies().size());
    EXPECT_NE(oldest, strip->getCopies()[0]);
    EXPECT_TRUE(oldest->isObsolete());
    EXPECT_EQ(-99, strip->getCopies()[3]->getX());
    EXPECT_EQ(5, strip->getCreated());
    EXPECT_EQ(canvas.get(), strip->getCopies()[3]->getCanvas());
    // The new copy is on the canvas too; the recycled one leaves it at the end of the update.
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(5, canvas->getSpriteCount());

    // A long jump recycles every copy that is out in one call: 600, 500 and 400 go, 300 stays.
    strip->setX(400);
    strip->wrapCopies();
    ASSERT_EQ(4u, strip->getCopies().size());
    EXPECT_EQ(8, strip->getCreated());
    EXPECT_EQ(300, strip->getCopies()[0]->getX());
    EXPECT_EQ(0, strip->getCopies()[3]->getX());
}

TEST_F(RepeatingSpriteTest, FiniteStripsRunOutAndDirectCopiesStayWithTheOwner)
{
    struct Case {
        const char* attributes;
        std::size_t leftInList;
        bool oldestStaysOnCanvas;
    };
    const Case cases[] = {
        // Window: repeatcount is the copies made, so nothing is recycled; the copy leaves list and canvas.
        {R"(direction="down" repeatstyle="window")", 2, false},
        // Direct: the copies that left (401 and 301) leave the list but stay on the canvas, and nothing
        // new is made.
        {R"(direction="down" repeatstyle="infinite" allocstyle="direct")", 2, true},
    };
    for (const Case& c : cases) {
        Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
        Held<RepeatingSprite> strip(make("<repeatingsprite " + std::string(c.attributes) +
                                         R"(><singlexmlspritefactory id="factory"><xmlsprite id="template" width="10" height="100" layouttype="auto"/></singlexmlspritefactory>
            <repeatbounds width="10" height="300"/></repeatingsprite>)"));
        strip->build();
        canvas->addSprite(strip.get());
        Sprite* oldest = strip->getCopies()[0];
        oldest->addRef();
        strip->setY(101);
        strip->wrapCopies();
        EXPECT_EQ(c.leftInList, strip->getCopies().size()) << c.attributes;
        EXPECT_EQ(c.oldestStaysOnCanvas, !oldest->isObsolete()) << c.attributes;
        oldest->release();
    }

    // A single remaining copy is never recycled, however far it went.
    Held<RepeatingSprite> one(make(stripXml(R"(direction="right" repeatstyle="number")")));
    one->build();
    ASSERT_EQ(1u, one->getCopies().size());
    one->setX(5000);
    one->wrapCopies();
    EXPECT_EQ(1u, one->getCopies().size());
}

TEST_F(RepeatingSpriteTest, MissingOrBrokenFactoriesGiveAStripWithoutCopies)
{
    const char* const elements[] = {
        R"(<repeatingsprite direction="right" width="30" height="5"><repeatbounds width="300" height="20"/></repeatingsprite>)",
        R"(<repeatingsprite direction="right"><xmlsprite id="factory"/><repeatbounds width="300" height="20"/></repeatingsprite>)",
        R"(<repeatingsprite direction="right" repeattype="sequential"><arrayxmlspritefactory id="factory"><template/></arrayxmlspritefactory><repeatbounds width="300" height="20"/></repeatingsprite>)",
    };
    for (const char* element : elements) {
        Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
        Held<RepeatingSprite> strip(make(element));
        EXPECT_EQ(nullptr, strip->getTemplate()) << element;
        canvas->addSprite(strip.get());
        strip->build();
        strip->setX(900);
        strip->wrapCopies();
        EXPECT_TRUE(strip->getCopies().empty()) << element;
        EXPECT_EQ(1, canvas->getSpriteCount()) << element;
    }
}

TEST_F(RepeatingSpriteTest, HostileSizesAndCountsStayBounded)
{
    struct Case {
        const char* attributes;
        const char* templateXml;
    };
    const Case cases[] = {
        // No size and no spacing: every copy covers nothing.
        {R"(direction="right")", R"(<xmlsprite id="template" layouttype="auto"/>)"},
        // A spacing that eats the width.
        {R"(direction="up" spacing="-500")", kWideTemplate},
        {R"(direction="right" repeatstyle="number" repeatcount="2000000000" allocstyle="direct")", kWideTemplate},
    };
    for (const Case& c : cases) {
        Held<RepeatingSprite> strip(make(stripXml(c.attributes, c.templateXml)));
        strip->build();
        EXPECT_LE(strip->getCopies().size(), static_cast<std::size_t>(RepeatingSprite::kMaxCopies)) << c.attributes;
        strip->setPosition(-100000, 100000);
        strip->wrapCopies();
    }
}
