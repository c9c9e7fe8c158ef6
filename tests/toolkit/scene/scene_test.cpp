// Sprite scenes and transition scenes, driven as the application drives the current scene: update, then
// draw into a back buffer, with the pictures checked pixel by pixel.
#include "compat/ddraw/testing.h"
#include "platform/app/FrameTime.h"
#include "platform/surface/FrameCounter.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/layout/LayoutFixture.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/scene/TransitionScene.h"
#include "toolkit/scene/TransitionSprite.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Green = 0x00FF00;
constexpr std::uint32_t Blue = 0x0000FF;

// Cross-fades from the left screen's picture to the entered one's: on its first update it puts both
// pictures on its canvas and fades the second in; when the fade is over it reports the end.
class FadeTransition : public TransitionSprite {
public:
    void tick() override
    {
        if (state == ImagesSet && getCanvas()) {
            getCanvas()->addSprite(fromImage);
            getCanvas()->addSprite(toImage);
            toImage->setAlpha(0);
            ModifierAlpha::start(toImage, 0, 255, speed, 0);
            state = Running;
        } else if (state == Running && toImage->getModifiers().empty()) {
            state = Finished;
        }
    }
    float speed = 0.25f;
};

// Reports the end of its animation in its first update.
class InstantTransition : public TransitionSprite {
public:
    void tick() override { state = Finished; }
};

void* createFade(const TiXmlElement* element)
{
    auto* transition = new FadeTransition;
    transition->readXML(element);
    return toFactoryResult(transition);
}
QUARRY_REGISTER_XML_CREATOR("testfadetransition", createFade);

// A screen whose picture is one colour (or none without a display); it counts its entry steps.
// Makes the display's 8 x 8 pictures for the scenes below.
class Painter : public DisplayTest {
public:
    // A new surface of one colour with one reference for the caller.
    Surface* picture(std::uint32_t colour)
    {
        Surface* s = make32(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                poke(s, x, y, colour);
        s->addRef();
        return s;
    }
};

class PictureScene : public TransitionScene {
public:
    PictureScene(const std::string& name, Painter* display, std::uint32_t colour)
        : TransitionScene(nullptr, name, 8, 8, 8, 8), display(display), colour(colour)
    {
    }
    Surface* takeSnapshot(const std::string& callerName) override
    {
        callers.push_back(callerName);
        return picture(display, colour);
    }
    void onTransitionFinished() override { ++entries; }

    // Null without a display.
    static Surface* picture(Painter* display, std::uint32_t colour)
    {
        return display ? display->picture(colour) : nullptr;
    }

    Painter* display;
    std::uint32_t colour;
    std::vector<std::string> callers;
    int entries = 0;
};

// The screen that was left, as the load screen is: only a picture and a name.
class Photo : public SceneSnapshot {
public:
    Photo(const std::string& name, Painter* display, std::uint32_t colour) : name(name), display(display), colour(colour) {}
    Surface* takeSnapshot(const std::string& callerName) override
    {
        callers.push_back(callerName);
        return PictureScene::picture(display, colour);
    }
    const std::string& getSceneName() const override { return name; }

    std::string name;
    Painter* display;
    std::uint32_t colour;
    std::vector<std::string> callers;
};

template <class T> struct Held {
    explicit Held(T* object) : p(object) { p->addRef(); }
    ~Held() { p->release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return p; }
    T* p;
};

class SceneTest : public Painter {
protected:
    void SetUp() override
    {
        Painter::SetUp();
        target = make32(8, 8);
    }
    // One frame of the application: update, then draw into the back buffer.
    void frame(TransitionScene* scene, int ms = 20)
    {
        FrameTime time(ms, 50.0f);
        scene->update(target, time);
        scene->draw(target, time);
    }
    std::uint32_t pixel() { return peek(target, 3, 3) & 0xFFFFFF; }

    Surface* target = nullptr;
};

TEST_F(SceneTest, ASpriteSceneHandsTheFrameToItsCanvasAndDrawsItIntoTheBackBuffer)
{
    struct Plain : SpriteScene {
        Plain() : SpriteScene(nullptr, "SCENE_PLAIN", 8, 8, 8, 8) {}
    };
    Held<Plain> scene(new Plain);
    scene->getCanvas()->setBackground(PictureScene::picture(this, Red));
    scene->getCanvas()->getBackground()->release();
    EXPECT_FALSE(scene->getCanvas()->isTiled());
    EXPECT_EQ(scene->getTooltipManager(), nullptr);
    EXPECT_FALSE(scene->onClick(nullptr));

    FrameTime time(40, 25.0f);
    scene->update(target, time);
    scene->draw(target, time);
    const FrameRate& rate = scene->getCanvas()->getFrameRate();
    EXPECT_EQ(rate.getElapsedMs(), 40);
    EXPECT_FLOAT_EQ(rate.getElapsedSeconds(), 0.04f);
    EXPECT_FLOAT_EQ(rate.getMeasuredRate(), 25.0f);
    EXPECT_EQ(pixel(), Red) << "no sprites: only the background";

    auto* square = new BitmapSprite(PictureScene::picture(this, Blue), nullptr, 2, 2);
    square->getSurface()->release();
    square->setSize(3, 3);
    scene->getCanvas()->addSprite(square);
    scene->draw(target, time);
    EXPECT_EQ(peek(target, 1, 1) & 0xFFFFFF, Red);
    EXPECT_EQ(pixel(), Blue);
}

TEST_F(SceneTest, ATransitionPlaysThroughItsStatesAndBlendsThePicturesOnScreen)
{
    Held<PictureScene> scene(new PictureScene("SCENE_TITLE", this, Blue));
    auto* own = new BitmapSprite(PictureScene::picture(this, Green), nullptr, 0, 0);
    own->getSurface()->release();
    own->fitSizeToImage();
    scene->getCanvas()->addSprite(own);
    Photo left("SCENE_LOAD", this, Red);
    scene->setPreviousScene(&left);
    EXPECT_TRUE(scene->cameFrom("SCENE_LOAD"));
    EXPECT_FALSE(scene->cameFrom("SCENE_load")) << "names compare exactly";

    auto* fade = new FadeTransition;
    scene->setTransition(fade);
    scene->enter();
    ASSERT_TRUE(scene->isRunning());
    EXPECT_EQ(fade->getState(), TransitionSprite::ImagesSet);
    EXPECT_EQ(fade->getName(), "SCENE_TITLE TRANSITION SPRITE...");
    EXPECT_EQ(left.callers, std::vector<std::string>{"SCENE_TITLE"});
    EXPECT_EQ(scene->callers, std::vector<std::string>{"No Caller Specified (SELF)"});
    EXPECT_EQ(scene->getTransitionCanvas()->getWidth(), 8);
    EXPECT_EQ(fade->getFromImage()->getWidth(), 8) << "each picture sized to its surface";

    frame(scene.p);
    EXPECT_EQ(fade->getState(), TransitionSprite::Running);
    EXPECT_TRUE(fade->isEnabled());
    EXPECT_EQ(pixel(), Red) << "the entered screen's picture starts invisible";

    std::vector<std::uint32_t> shown;
    std::vector<int> states;
    for (int i = 0; i < 20 && scene->entries == 0; ++i) {
        EXPECT_EQ(scene->getCanvas()->getFrameRate().getElapsedMs(), 0) << "the screen waits for the transition";
        frame(scene.p);
        shown.push_back(pixel());
        states.push_back(scene->isRunning() ? fade->getState() : -1);
    }
    ASSERT_EQ(scene->entries, 1);
    EXPECT_FALSE(scene->isRunning());
    EXPECT_EQ(scene->getTransitionCanvas(), nullptr);
    EXPECT_EQ(scene->getTransition(), nullptr);
    // The fade's middle frames mix both pictures: red going, blue coming.
    ASSERT_GE(shown.size(), 4u);
    const std::uint32_t middle = shown[1];
    EXPECT_GT(middle >> 16, 0u);
    EXPECT_LT(middle >> 16, 0xFFu);
    EXPECT_GT(middle & 0xFF, 0u);
    EXPECT_LT(middle & 0xFF, 0xFFu);
    EXPECT_EQ(shown[shown.size() - 2], Blue) << "the fade ends on the entered screen's picture";
    EXPECT_EQ(states[states.size() - 2], TransitionSprite::Finished);
    EXPECT_EQ(states.back(), -1);
    EXPECT_EQ(shown.back(), Green) << "after the transition the screen draws its own canvas";

    frame(scene.p);
    EXPECT_EQ(scene->getCanvas()->getFrameRate().getElapsedMs(), 20);
    EXPECT_EQ(scene->entries, 1);
}

TEST_F(SceneTest, AFinishedTransitionIsTakenDownInTheNextUpdateAndRunsTheEntryStepOnce)
{
    Held<PictureScene> scene(new PictureScene("SCENE_TREASURE", this, Blue));
    Photo left("SCENE_TITLE", this, Red);
    scene->setPreviousScene(&left);
    auto* instant = new InstantTransition;
    Held<InstantTransition> watch(instant);
    scene->setTransition(instant);
    scene->enter();
    frame(scene.p);
    EXPECT_EQ(instant->getState(), TransitionSprite::Finished);
    EXPECT_TRUE(scene->isRunning());
    EXPECT_EQ(scene->entries, 0);
    frame(scene.p);
    EXPECT_EQ(instant->getState(), TransitionSprite::Done);
    EXPECT_FALSE(instant->isEnabled());
    EXPECT_EQ(instant->getCanvas(), nullptr);
    EXPECT_EQ(scene->entries, 1);
    frame(scene.p);
    EXPECT_EQ(scene->entries, 1);

    scene->enter();
    EXPECT_FALSE(scene->isRunning()) << "the transition played once; a second entry has none";
    EXPECT_EQ(scene->entries, 2);
}

TEST_F(SceneTest, ATransitionSpriteTakesItsPicturesWithItWhenItLeavesItsCanvas)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(8, 8, 8, 8));
    auto* fade = new FadeTransition;
    fade->setImages(PictureScene::picture(this, Red), PictureScene::picture(this, Blue));
    fade->getFromImage()->getSurface()->release();
    fade->getToImage()->getSurface()->release();
    canvas->addSprite(fade);
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(canvas->getSpriteCount(), 3);
    canvas->removeSprite(fade);
    canvas->update(0.0f, 0, 0.0f);
    EXPECT_EQ(canvas->getSpriteCount(), 0);
}

TEST_F(SceneTest, WithoutASpriteOrAPreviousScreenTheEntryStepRunsAtOnce)
{
    Held<PictureScene> scene(new PictureScene("SCENE_TITLE", this, Blue));
    EXPECT_FALSE(scene->cameFrom("SCENE_LOAD"));
    scene->enter();
    EXPECT_EQ(scene->entries, 1);
    EXPECT_FALSE(scene->isRunning());

    // A transition but nobody to photograph: nothing to play.
    scene->setTransition(new FadeTransition);
    scene->enter();
    EXPECT_EQ(scene->entries, 2);
    EXPECT_FALSE(scene->isRunning());
    EXPECT_EQ(scene->getTransition(), nullptr);
    EXPECT_TRUE(scene->callers.empty());
}

class TransitionLayoutTest : public layouttest::LayoutTest {};

TEST_F(TransitionLayoutTest, TheTransitionComesFromTheLayoutAndAMissingOneMeansNone)
{
    loadDocuments(R"(<testfadetransition id="TRANSITION_LOAD_TO_TITLE" x="1"/>
                     <xmlsprite id="TRANSITION_TREASURE_TO_TITLE"/>)",
                  "");
    EXPECT_EQ(TransitionScene::shortName("SCENE_TREASURE"), "TREASURE");
    EXPECT_EQ(TransitionScene::transitionId("TITLE", "CLASSIC"), "TRANSITION_TITLE_TO_CLASSIC");

    Held<PictureScene> scene(new PictureScene("SCENE_TITLE", nullptr, 0));
    Photo load("SCENE_LOAD", nullptr, 0);
    Photo treasure("SCENE_TREASURE", nullptr, 0);

    scene->setPreviousScene(&load);
    EXPECT_FALSE(scene->chooseTransition("SCENE_TREASURE", "TITLE")) << "not where the screen came from";
    EXPECT_EQ(scene->getTransition(), nullptr);
    ASSERT_TRUE(scene->chooseTransition("SCENE_LOAD", "TITLE"));
    ASSERT_NE(dynamic_cast<FadeTransition*>(scene->getTransition()), nullptr);
    EXPECT_EQ(scene->getTransition()->getX(), 1);
    scene->enter();
    EXPECT_TRUE(scene->isRunning()) << "pictures that could not be taken still play";
    for (int i = 0; i < 20 && scene->entries == 0; ++i)
        scene->update(nullptr, FrameTime(20));
    EXPECT_EQ(scene->entries, 1);

    scene->setPreviousScene(&treasure);
    EXPECT_FALSE(scene->chooseTransition("SCENE_TREASURE", "TITLE")) << "the element builds no transition";
    EXPECT_FALSE(scene->setTransitionFromLayout("TRANSITION_TITLE_TO_NOWHERE"));
    scene->enter();
    EXPECT_EQ(scene->entries, 2);
    EXPECT_FALSE(scene->isRunning());
}

} // namespace

// After a lost display the application restores every scene and draws into a new, empty back buffer.
TEST_F(SceneTest, AStillScreenComesBackWholeAfterALostDisplay)
{
    Held<PictureScene> scene(new PictureScene("SCENE_PLAIN", this, Red));
    auto* square = new BitmapSprite(PictureScene::picture(this, Blue), nullptr, 0, 0);
    square->getSurface()->release();
    square->copyToOwnSurface();
    scene->getCanvas()->addSprite(square);
    ::frame::set(1);
    frame(scene.p);
    ASSERT_EQ(pixel(), Blue);

    compat::testing::loseAllSurfaces();
    target = make32(8, 8);
    target->fill(0);
    ::frame::advance();
    scene->restore();
    frame(scene.p);
    EXPECT_EQ(pixel(), 0u) << "the lost picture is rebuilt when its blit fails, not drawn in that frame";
    ::frame::advance();
    frame(scene.p);
    EXPECT_EQ(pixel(), Blue) << "nothing on the screen moves: only the restore can have the picture drawn again";
    ::frame::set(0);
}

TEST_F(SceneTest, ATransitionsPicturesComeBackAfterALostDisplay)
{
    Held<PictureScene> scene(new PictureScene("SCENE_TITLE", this, Blue));
    Photo left("SCENE_LOAD", this, Red);
    scene->setPreviousScene(&left);
    auto* fade = new FadeTransition;
    scene->setTransition(fade);
    ::frame::set(1);
    scene->enter();
    frame(scene.p);
    ASSERT_EQ(pixel(), Red);

    compat::testing::loseAllSurfaces();
    target = make32(8, 8);
    ::frame::advance();
    scene->restore();
    frame(scene.p);
    ::frame::advance();
    frame(scene.p);
    EXPECT_EQ(peek(fade->getFromImage()->getSurface(), 3, 3) & 0xFFFFFF, Red);
    EXPECT_EQ(peek(fade->getToImage()->getSurface(), 3, 3) & 0xFFFFFF, Blue);
    ::frame::set(0);
}
