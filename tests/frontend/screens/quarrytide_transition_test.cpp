#include "frontend/screens/QuarrytideTransition.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

// A separator strip 20 pixels wide made of one template copy over a 640 by 480 screen.
const char* const kSeparator =
    R"(<repeatingsprite direction="down" repeatstyle="number" repeatcount="1"><singlexmlspritefactory id="factory">)"
    R"(<xmlsprite id="template" width="20" height="30"/></singlexmlspritefactory></repeatingsprite>)";

class QuarrytideTransitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerQuarrytideTransitionCreator();
        canvas = new SpriteCanvas(640, 480, 64, 48);
        canvas->addRef();
    }
    void TearDown() override
    {
        canvas->removeAll();
        canvas->removeObsolete();
        canvas->release();
    }

    QuarrytideTransition* make(const std::string& attributes, const std::string& children = "")
    {
        document.Clear();
        const std::string text = "<quarrytidetransition id=\"T\" " + attributes + ">" + children + "</quarrytidetransition>";
        document.Parse(text.c_str());
        EXPECT_FALSE(document.Error()) << document.ErrorDesc();
        auto* transition = dynamic_cast<QuarrytideTransition*>(createSpriteFromXml(document.RootElement()));
        EXPECT_NE(nullptr, transition);
        return transition;
    }

    // Puts the transition on the canvas with its two (empty) pictures and runs the first frame.
    void play(QuarrytideTransition* transition)
    {
        transition->setImages(nullptr, nullptr);
        canvas->addSprite(transition);
        // The canvas takes a new sprite in at its next frame; the transition starts in the one after.
        for (int i = 0; i < 3 && transition->getState() == TransitionSprite::ImagesSet; ++i)
            frame();
    }

    void frame() { canvas->update(0.05f, 50, 20.0f); }

    static const ModifierLocationLine* move(const Sprite* sprite)
    {
        if (!sprite || sprite->getModifiers().empty())
            return nullptr;
        return dynamic_cast<const ModifierLocationLine*>(sprite->getModifiers().front());
    }

    SpriteCanvas* canvas = nullptr;
    TiXmlDocument document;
};

} // namespace

TEST_F(QuarrytideTransitionTest, ReadsSpeedAndDirectionWithDefaultsForMissingOrUnknownValues)
{
    struct Case {
        const char* attributes;
        double speed;
        int direction;
    };
    const Case cases[] = {
        {"", 1.0, QuarrytideTransition::Down},
        {R"(speed="0.5" direction="LEFT")", 0.5, QuarrytideTransition::Left},
        {R"(direction="up")", 1.0, QuarrytideTransition::Up},
        {R"(direction="Right")", 1.0, QuarrytideTransition::Right},
        {R"(direction="sideways")", 1.0, QuarrytideTransition::Down},
    };
    for (const Case& c : cases) {
        QuarrytideTransition* t = make(c.attributes);
        ASSERT_NE(nullptr, t);
        t->addRef();
        EXPECT_DOUBLE_EQ(t->getSpeed(), c.speed) << c.attributes;
        EXPECT_EQ(t->getDirection(), c.direction) << c.attributes;
        EXPECT_EQ(t->getSeparator(), nullptr);
        t->release();
    }
}

TEST_F(QuarrytideTransitionTest, WithoutSeparatorThePicturesMoveByTheScreenHeightAndTheTransitionEnds)
{
    QuarrytideTransition* t = make(R"(speed="2")");
    t->addRef();
    EXPECT_FALSE(t->isRunning());
    play(t);
    ASSERT_TRUE(t->isRunning());
    const ModifierLocationLine* out = move(t->getFromImage());
    const ModifierLocationLine* in = move(t->getToImage());
    ASSERT_NE(nullptr, out);
    ASSERT_NE(nullptr, in);
    EXPECT_EQ(out->getEnd().x, 0);
    EXPECT_EQ(out->getEnd().y, -480);
    EXPECT_EQ(in->getStart().y, 480) << "by default the entered screen rises from below";
    EXPECT_EQ(in->getEnd().y, 0);
    EXPECT_TRUE(in->getEaseInOut());
    EXPECT_EQ(t->getFromImage()->getCanvas(), canvas);
    EXPECT_EQ(t->getToImage()->getCanvas(), canvas);

    for (int i = 0; i < 400 && t->getState() == TransitionSprite::Running; ++i)
        frame();
    EXPECT_EQ(t->getState(), TransitionSprite::Finished);
    EXPECT_FALSE(t->isRunning());
    EXPECT_EQ(t->getToImage()->getY(), 0);
    EXPECT_EQ(t->getFromImage()->getY(), -480);

    // Taking the finished transition down takes its pictures off the canvas too.
    t->finish();
    canvas->removeSprite(t);
    frame();
    EXPECT_EQ(t->getFromImage()->getCanvas(), nullptr);
    t->release();
}

TEST_F(QuarrytideTransitionTest, SeparatorTravelsInTheGapToTheRight)
{
    QuarrytideTransition* t = make(R"(direction="right")", kSeparator);
    t->addRef();
    RepeatingSprite* separator = t->getSeparator();
    ASSERT_NE(nullptr, separator);
    play(t);
    EXPECT_EQ(separator->getWidth(), 20);
    const ModifierLocationLine* strip = move(separator);
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(strip->getStart().x, 640);
    EXPECT_EQ(strip->getEnd().x, -20);
    EXPECT_EQ(move(t->getFromImage())->getEnd().x, -660);
    EXPECT_EQ(move(t->getToImage())->getStart().x, 660) << "the incoming picture starts past the separator";
    EXPECT_EQ(separator->getCanvas(), canvas);

    for (int i = 0; i < 400 && t->getState() == TransitionSprite::Running; ++i)
        frame();
    EXPECT_EQ(t->getState(), TransitionSprite::Finished);
    EXPECT_EQ(separator->getX(), -20);
    EXPECT_EQ(t->getToImage()->getX(), 0);

    t->finish();
    canvas->removeSprite(t);
    frame();
    EXPECT_EQ(separator->getCanvas(), nullptr) << "the separator leaves with the transition";
    t->release();
}
