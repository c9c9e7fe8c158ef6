#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/info/OptionsDialog.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/settings/Settings.h"
#include "support/TempDir.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/Slider.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

class OptionsApp : public Application {
public:
    OptionsApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class RecordingListener : public DialogListener {
public:
    void onDialogClosed(Dialog* dialog) override
    {
        results.push_back(dialog->getName() + ":" + dialog->getResult()->getName());
    }
    std::vector<std::string> results;
};

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_SLIDER" font="FONT_TEST" height="20"/>
  <pixelfontlabel id="LABEL_TOGGLE" font="FONT_TEST"/>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST"/>
  <pixelfontlabel id="LABEL_ABOUT_HEADER" font="FONT_TEST"/>
  <buttonblit id="TOGGLE_FULL_SCREEN" width="20" height="20" toggle="true"/>
  <buttonblit id="TOGGLE_SHOW_HINTS" width="20" height="20" toggle="true"/>
  <buttonblit id="BUTTON_INFO" width="30" height="30"/>
  <buttonblit id="BUTTON_OK" width="96" height="32"/>
  <buttonblit id="BUTTON_CANCEL" width="96" height="32"/>
  <String id="STRING_SETTINGS_SOUND">effects</String>
  <String id="STRING_SETTINGS_MUSIC">music</String>
</Layout>)xml";

// The test font, 300 pixel headers, the frame parts, the options dialog's layout and stored volumes
// of 100 (effects) and 200 (music) that nothing writes to disk.
class OptionsDialogTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        Settings::instance().setNoRegistry(1);
        Settings::instance().setSfxVolume(100);
        Settings::instance().setMusicVolume(200);
        app = std::make_unique<OptionsApp>();
        catalogue = new ResourceManager(0);
        catalogue->storeFont("FONT_TEST", uniform);
        for (const char* id : {"IMAGE_DIALOG_SETTINGS", "IMAGE_DIALOG_QUARRYTIDE"})
            catalogue->storeImage(id, picture(300, 60));
        for (const char* id : {"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                               "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_SLIDER_BACK"})
            catalogue->storeImage(id, picture(16, 16));
        std::ofstream(dir.file("base.xml")) << kLayout;
        ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml")));
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
    }
    void TearDown() override
    {
        canvas->release();
        LayoutDocument::unloadAll();
        delete catalogue;
        app.reset();
        WidgetFontTest::TearDown();
    }
    void click(Sprite* sprite)
    {
        const int x = sprite->getAbsoluteX() + 5;
        const int y = sprite->getAbsoluteY() + 5;
        canvas->mouseMoved(x, y, 0);
        canvas->leftPressed(x, y, 1, 0);
        canvas->leftReleased(x, y, 0);
    }
    static Sprite* find(SpriteContainer* container, const std::string& name)
    {
        for (Sprite* child : container->getChildren()) {
            if (child->getName() == name)
                return child;
            if (auto* inner = dynamic_cast<SpriteContainer*>(child))
                if (Sprite* found = find(inner, name))
                    return found;
        }
        return nullptr;
    }

    testsupport::TempDir dir;
    std::unique_ptr<OptionsApp> app;
    ResourceManager* catalogue = nullptr;
    SpriteCanvas* canvas = nullptr;
};

TEST_F(OptionsDialogTest, SlidersAreStoredAtOnceAndCancelPutsTheVolumesBack)
{
    RecordingListener listener;
    auto* options = static_cast<OptionsDialog*>(openOptionsDialog());
    options->setListener(&listener);
    canvas->addSprite(options);
    EXPECT_EQ(options->getName(), "DIALOG_OPTIONS");
    EXPECT_FLOAT_EQ(options->getSfxSlider()->getValue(), 100 / 255.0f);
    EXPECT_FLOAT_EQ(options->getMusicSlider()->getValue(), 200 / 255.0f);

    options->getSfxSlider()->setValue(1.0f);
    options->getMusicSlider()->setValue(0.999f);
    options->tick();
    EXPECT_EQ(Settings::instance().getSfxVolume(), 255) << "a slider at its end";
    EXPECT_EQ(Settings::instance().getMusicVolume(), 254) << "truncated, not rounded";

    click(find(options, "BUTTON_CANCEL"));
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_OPTIONS:BUTTON_CANCEL"});
    EXPECT_EQ(Settings::instance().getSfxVolume(), 100);
    EXPECT_EQ(Settings::instance().getMusicVolume(), 200);
}

TEST_F(OptionsDialogTest, OkAppliesTheHintsChoiceAndInfoOpensTheCreditsOverADisabledDialog)
{
    StatsManager::instance().setHintsEnabled(true);
    RecordingListener listener;
    auto* options = static_cast<OptionsDialog*>(openOptionsDialog());
    options->setListener(&listener);
    canvas->addSprite(options);
    EXPECT_TRUE(options->getHintsToggle()->isSelected());

    click(find(options, "BUTTON_INFO"));
    Sprite* credits = canvas->findSprite("DIALOG_CREDITS");
    ASSERT_NE(credits, nullptr);
    EXPECT_FALSE(options->isEnabled());
    click(find(static_cast<SpriteContainer*>(credits), "BUTTON_OK"));
    EXPECT_TRUE(options->isEnabled()) << "closing the credits gives the options back";
    EXPECT_TRUE(listener.results.empty());
    canvas->removeObsolete();

    options->getHintsToggle()->setSelected(false);
    click(find(options, "BUTTON_OK"));
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_OPTIONS:BUTTON_OK"});
    EXPECT_FALSE(StatsManager::instance().areHintsEnabled());
    StatsManager::instance().setHintsEnabled(true);
}

} // namespace
