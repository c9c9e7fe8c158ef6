#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/info/OptionsDialog.h"
#include "game/stats/StatsManager.h"
#include "resources/settings/Settings.h"
#include "toolkit/widget/Slider.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

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
class OptionsDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        Settings::instance().setNoRegistry(1);
        Settings::instance().setSfxVolume(100);
        Settings::instance().setMusicVolume(200);
        DialogTest::SetUp();
        storeImages({"IMAGE_DIALOG_SETTINGS", "IMAGE_DIALOG_QUARRYTIDE"}, 300, 60);
        storeImages({"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                     "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_SLIDER_BACK"},
                    16, 16);
        loadLayout(kLayout);
    }
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
