#include "platform/app/AppEvent.h"
#include "platform/app/Scene.h"

#include <gtest/gtest.h>

namespace {

TEST(Scene, KeepsItsOwnerAndNameAndIsAPlainComponent)
{
    auto* owner = reinterpret_cast<Application*>(0x1234);
    std::string name = "SCENE_PLAY";
    Scene scene(owner, name);
    name = "changed";
    EXPECT_EQ(scene.getOwner(), owner);
    EXPECT_EQ(scene.getName(), "SCENE_PLAY") << "the scene keeps its own copy";
    EXPECT_EQ(scene.getType(), 0x80000001u);
    EXPECT_TRUE(scene.isActive() && scene.isEnabled() && scene.isVisible() && scene.isDirty());
}

TEST(Scene, DefaultOperationsDoNothingAndTheTreeStillRuns)
{
    struct Counting : Scene {
        using Scene::Scene;
        void updateSelf(Surface*, const FrameTime& f) override { elapsed += f.elapsedMs; }
        int elapsed = 0;
    };
    auto* scene = new Counting(nullptr, "SCENE_LOAD");
    scene->addRef();
    auto* child = new Counting(nullptr, "child");
    scene->addChild(child);
    scene->onAdded();
    scene->enter();
    scene->onEvent(AppEvent(AppEvent::DisplayLost));
    scene->leave();
    FrameTime frame(20);
    EXPECT_FLOAT_EQ(frame.elapsedSeconds, 0.02f);
    scene->update(nullptr, frame);
    scene->draw(nullptr, frame);
    EXPECT_EQ(scene->elapsed, 20);
    EXPECT_EQ(child->elapsed, 20);
    EXPECT_FALSE(scene->isDirty());
    EXPECT_EQ(scene->getChildCount(), 1);
    scene->release();
}

} // namespace
