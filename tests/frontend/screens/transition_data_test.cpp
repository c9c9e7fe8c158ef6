// The screen transitions of the staged data set build as the screens build them.
#include "compat/win32/registry/registry.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "platform/app/Application.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/layout/LayoutDocument.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

class StagedApp : public Application {
public:
    StagedApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class TransitionDataTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        registerQuarrytideTransitionCreator();
        compat::testing::setRegistryFile(registry.file("registry"));
        app = std::make_unique<StagedApp>();
        data = std::make_unique<testsupport::StagedDataSet>(
            std::filesystem::path(QUARRY_PROGRAM).parent_path().string());
    }
    void TearDown() override
    {
        data.reset();
        app.reset();
        DisplayTest::TearDown();
    }

    testsupport::TempDir registry;
    std::unique_ptr<StagedApp> app;
    std::unique_ptr<testsupport::StagedDataSet> data;
};

} // namespace

TEST_F(TransitionDataTest, EveryScreenChangeHasItsTransitionAndTheVerticalOnesASeamAcrossTheScreen)
{
    struct Case {
        const char* id;
        int direction;
        bool seam;
    };
    const Case cases[] = {
        {"TRANSITION_LOAD_TO_TITLE", QuarrytideTransition::Down, true},
        {"TRANSITION_TITLE_TO_CLASSIC", QuarrytideTransition::Down, true},
        {"TRANSITION_TITLE_TO_ENDLESS", QuarrytideTransition::Down, true},
        {"TRANSITION_CLASSIC_TO_TITLE", QuarrytideTransition::Up, true},
        {"TRANSITION_ENDLESS_TO_TITLE", QuarrytideTransition::Up, true},
        {"TRANSITION_TITLE_TO_TREASURE", QuarrytideTransition::Right, false},
        {"TRANSITION_TREASURE_TO_TITLE", QuarrytideTransition::Left, false},
    };
    for (const Case& c : cases) {
        const TiXmlElement* element = findLayoutElement(c.id);
        ASSERT_NE(nullptr, element) << c.id;
        auto* transition = dynamic_cast<QuarrytideTransition*>(createSpriteFromXml(element));
        ASSERT_NE(nullptr, transition) << c.id;
        transition->addRef();
        EXPECT_EQ(transition->getDirection(), c.direction) << c.id;
        RepeatingSprite* seam = transition->getSeparator();
        EXPECT_EQ(seam != nullptr, c.seam) << c.id;
        if (seam) {
            seam->build();
            EXPECT_EQ(seam->getWidth(), 640) << c.id << ": the seam spans the screen";
            EXPECT_EQ(seam->getHeight(), 16) << c.id;
        }
        transition->release();
    }
}
