// A message dialog as the player sees it: built from the staged data set's layout, pictures and font,
// drawn on a screen of one colour.
#include "compat/win32/registry/registry.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/dialog/FramedDialog.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

class StagedApp : public Application {
public:
    StagedApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class DataSetDialogTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        compat::testing::setRegistryFile(registry.file("registry"));
        app = std::make_unique<StagedApp>();
        data = std::make_unique<testsupport::StagedDataSet>(QUARRY_RUN_DIR);
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

TEST_F(DataSetDialogTest, OkDialogShowsItsFrameTextAndButtonInTheMiddleOfTheScreen)
{
    const std::uint32_t sky = 0x2F8F9D, rock = 0x5C4433, gold = 0xF2C230;
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    Surface* target = make32(640, 480);
    target->fill(sky);
    FramedDialog* dialog = showOkDialog("24BITS_DIALOG", "IMAGE_DIALOG_HEADER_SMALL", "Please switch to 32-bit colour.");
    canvas->addSprite(dialog);
    canvas->render(target);

    ASSERT_EQ(dialog->getWidth(), 320);
    const int left = dialog->getX(), top = dialog->getY(), w = dialog->getWidth(), h = dialog->getHeight();
    EXPECT_EQ(left, 160);
    EXPECT_EQ(top, 240 - h / 2);
    // Outside the panel (13 pixels in from either side) the screen shows through.
    for (int y : {top + 60, top + h / 2, top + h - 20}) {
        EXPECT_EQ(peek(target, left + 5, y) & 0xFFFFFF, sky) << y;
        EXPECT_EQ(peek(target, left + w - 5, y) & 0xFFFFFF, sky) << y;
        EXPECT_EQ(peek(target, left + 20, y) & 0xFFFFFF, rock) << "the panel at " << y;
        EXPECT_EQ(peek(target, left + w - 20, y) & 0xFFFFFF, rock) << "the panel at " << y;
    }
    EXPECT_EQ(peek(target, left + 20, top + 2) & 0xFFFFFF, sky) << "above the header's rounded top";
    EXPECT_EQ(peek(target, left + 20, top + h - 1) & 0xFFFFFF, sky) << "below the bottom piece";

    // The text: light ink inside the label's box, nothing of it outside.
    auto* label = static_cast<PixelFontLabel*>(dialog->getChildren().front());
    int ink = 0;
    for (int y = label->getAbsoluteY(); y < label->getAbsoluteY() + label->getHeight(); ++y)
        for (int x = label->getAbsoluteX(); x < label->getAbsoluteX() + label->getWidth(); ++x)
            ink += (peek(target, x, y) & 0xFF) > 0xC0 ? 1 : 0;
    EXPECT_GT(ink, 50) << "the text is drawn";

    // The OK button in its normal (gold) frame, below the text.
    Sprite* ok = dialog->getChildren().back();
    EXPECT_EQ(ok->getName(), "BUTTON_OK");
    EXPECT_GT(ok->getAbsoluteY(), label->getAbsoluteY() + label->getHeight());
    EXPECT_EQ(peek(target, ok->getAbsoluteX() + 8, ok->getAbsoluteY() + 6) & 0xFFFFFF, gold);
    EXPECT_EQ(ok->getAbsoluteX() + ok->getWidth() / 2, 320) << "centred";
}

} // namespace
