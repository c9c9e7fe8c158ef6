#include "frontend/dialogs/treasure/TreasureChestDialog.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "frontend/screens/TreasureScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "support/TempDir.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

class SceneApp : public Application {
public:
    SceneApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
    Scene* pending() const { return pendingScene; }
};

class TitleScreen : public TransitionScene {
public:
    explicit TitleScreen(Application* owner, const std::string& name = "SCENE_TITLE")
        : TransitionScene(owner, name, 640, 480, 640, 480)
    {
    }
    Surface* takeSnapshot(const std::string&) override { return nullptr; }
    void onTransitionFinished() override {}
};

const char* const kLayout = R"xml(<Layout>
  <buttonblit id="BUTTON_TREASURE_CHEST_GEMSTONES" x="40" y="5" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_ANTIQUITIES" x="194" y="5" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_BONUS" x="420" y="5" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_BACK" x="524" y="5" width="60" height="20"/>
  <quarrytidetransition id="TRANSITION_TITLE_TO_TREASURE" direction="right" speed="1.0"/>
</Layout>)xml";

class TreasureSceneTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        registerQuarrytideTransitionCreator();
        app = std::make_unique<SceneApp>();
        catalogue = new ResourceManager(0);
        catalogue->storeImage("IMAGE_TREASURESCENE_BACKGROUND", picture(640, 480));
        catalogue->storeImage("IMAGE_DIALOG_TREASURE_BOX_GEMSTONES", picture(640, 480));
        std::ofstream(dir.file("base.xml")) << kLayout;
        ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml")));
        for (TreasureDesc& t : StatsManager::instance().treasures)
            t.clear();
        title = new TitleScreen(app.get());
        treasure = new TreasureScene(app.get());
        app->addScene(title);
        app->addScene(treasure);
    }
    void TearDown() override
    {
        app->switchScene(nullptr);
        app.reset();
        LayoutDocument::unloadAll();
        WidgetFontTest::TearDown();
    }
    int chests() const
    {
        int count = 0;
        for (Sprite* s : treasure->getCanvas()->getSprites())
            count += dynamic_cast<TreasureChestDialog*>(s) != nullptr && !s->isObsolete();
        return count;
    }

    testsupport::TempDir dir;
    std::unique_ptr<SceneApp> app;
    ResourceManager* catalogue = nullptr;
    TitleScreen* title = nullptr;
    TreasureScene* treasure = nullptr;
};

TEST_F(TreasureSceneTest, ShowsTheChestAndItsBackButtonReturnsToTheTitle)
{
    for (int visit = 0; visit < 2; ++visit) {
        treasure->setPreviousScene(title);
        app->switchScene(treasure);
        EXPECT_EQ(chests(), 1) << "one chest on visit " << visit;
        Sprite* back = nullptr;
        for (Sprite* s : treasure->getCanvas()->getSprites())
            if (s->getName() == "BUTTON_TREASURE_CHEST_BACK" && !s->isObsolete())
                back = s;
        ASSERT_NE(back, nullptr);
        SpriteCanvas* canvas = treasure->getCanvas();
        canvas->mouseMoved(back->getAbsoluteX() + 2, back->getAbsoluteY() + 2, 0);
        canvas->leftPressed(back->getAbsoluteX() + 2, back->getAbsoluteY() + 2, 1, 0);
        canvas->leftReleased(back->getAbsoluteX() + 2, back->getAbsoluteY() + 2, 0);
        EXPECT_EQ(app->pending(), title);
        EXPECT_EQ(title->getPreviousScene(), treasure);
        app->switchScene(title);
    }
}

TEST_F(TreasureSceneTest, OnlyTheTitleScreenLeadsInWithATransition)
{
    treasure->setPreviousScene(title);
    app->switchScene(treasure);
    EXPECT_NE(treasure->getTransition(), nullptr);
    app->switchScene(title);

    auto* other = new TitleScreen(app.get(), "SCENE_PLAY");
    app->addScene(other);
    treasure->setPreviousScene(other);
    app->switchScene(treasure);
    EXPECT_EQ(treasure->getTransition(), nullptr);
    EXPECT_EQ(chests(), 1);
}

} // namespace
