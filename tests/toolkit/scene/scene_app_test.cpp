// A screen switch as the game makes one: the screen that is left names itself as the previous scene of
// the target, the application switches at the end of the frame, and the target plays its transition in
// the application's frames before it runs its own entry step.
#include "platform/app/Application.h"
#include "platform/app/FrameTime.h"
#include "toolkit/scene/TransitionScene.h"
#include "toolkit/scene/TransitionSprite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class LoadScreen : public SpriteScene, public SceneSnapshot {
public:
    LoadScreen(Application* owner, Log* log) : SpriteScene(owner, "SCENE_LOAD", 640, 480, 640, 480), log(log) {}
    Surface* takeSnapshot(const std::string& callerName) override
    {
        log->push_back("load photographed for " + callerName);
        return nullptr;
    }
    const std::string& getSceneName() const override { return getName(); }
    void leave() override { log->push_back("load leave"); }
    Log* log;
};

// Animates for two updates, then reports its end.
class ShortTransition : public TransitionSprite {
public:
    void tick() override
    {
        if (state == ImagesSet || state == Running)
            state = ++ticks < 2 ? Running : Finished;
    }
    int ticks = 0;
};

class TitleScreen : public TransitionScene {
public:
    TitleScreen(Application* owner, Log* log) : TransitionScene(owner, "SCENE_TITLE", 640, 480, 640, 480), log(log) {}
    void enter() override
    {
        log->push_back("title enter");
        if (cameFrom("SCENE_LOAD"))
            setTransition(new ShortTransition);
        TransitionScene::enter();
    }
    Surface* takeSnapshot(const std::string& callerName) override { return nullptr; }
    void onTransitionFinished() override { log->push_back("title entered"); }
    Log* log;
};

TEST(SceneSwitch, TheTargetPlaysItsTransitionInTheApplicationsFramesThenEnters)
{
    Log log;
    Application app(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000);
    auto* load = new LoadScreen(&app, &log);
    auto* title = new TitleScreen(&app, &log);
    app.addScene(load);
    app.addScene(title);
    app.switchScene(load);

    title->setPreviousScene(load);
    app.switchScene(app.findScene("SCENE_TITLE"));
    EXPECT_EQ(log, (Log{"load leave", "title enter", "load photographed for SCENE_TITLE"}));
    ASSERT_TRUE(title->isRunning());

    const FrameTime frame(20, 50.0f);
    app.updateAndDraw(nullptr, frame);
    app.updateAndDraw(nullptr, frame);
    EXPECT_EQ(log.back(), "load photographed for SCENE_TITLE") << "still playing";
    app.updateAndDraw(nullptr, frame);
    EXPECT_EQ(log.back(), "title entered");
    EXPECT_FALSE(title->isRunning());
}

} // namespace
