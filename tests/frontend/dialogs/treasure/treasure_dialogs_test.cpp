#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/DialogTestSupport.h"
#include "frontend/dialogs/treasure/TreasureChestDialog.h"
#include "frontend/dialogs/treasure/TreasureClaimedDialog.h"
#include "game/stats/StatsManager.h"
#include "game/stats/TreasureDesc.h"
#include "platform/surface/MemorySurface.h"
#include "runtime/Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dialogtest;

const char* const kLayout = R"xml(<Layout>
  <pixelfontlabel id="LABEL_TEXT" font="FONT_TEST" alignh="center" wrapstyle="word"/>
  <pixelfontlabel id="LABEL_TREASURE_HEADER" font="FONT_TEST" alignh="center"/>
  <pixelfontlabel id="LABEL_TREASURE_DESCRIPTION" font="FONT_TEST" alignh="left" wrapstyle="word"/>
  <pixelfontlabel id="LABEL_TREASURE_CHEST" font="FONT_TEST" alignh="right" width="20"/>
  <pixelfontlabel id="LABEL_BONUS_ITEM" font="FONT_TEST" alignh="left" width="100"/>
  <buttonblit id="BUTTON_OK" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_GEMSTONES" x="40" y="17" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_ANTIQUITIES" x="194" y="17" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_BONUS" x="420" y="14" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_CHEST_BACK" x="524" y="14" width="60" height="20"/>
  <buttonblit id="BUTTON_TREASURE_DUMMY" width="48" height="48"/>
  <IntegerVector id="VECTOR_TREASURE_UNLOCK_AMOUNT"><Item>1</Item><Item>2</Item></IntegerVector>
  <String id="STRING_TREASURE_NEW_BONUS">new bonus</String>
  <StringVector id="STRINGS_BONUS_ITEMS"><Item>first</Item><Item>second</Item></StringVector>
  <StringVector id="STRINGS_BONUS_DESCRIPTIONS"><Item>one</Item></StringVector>
</Layout>)xml";

// The test font, the frame parts, a 64 pixel treasure frame and a 640 by 480 chest; treasures 0, 5
// (gemstones) and 13 (antiquities) owned, 5 with a 20 pixel picture, 13 without one.
class TreasureDialogsTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        storeImages({"IMAGE_DIALOG_TREASURE_FOUND", "IMAGE_DIALOG_BONUS"}, 300, 60);
        catalogue->storeImage("IMAGE_TREASURE_FRAME", picture(64, 64));
        storeImages({"IMAGE_DIALOG_TREASURE_BOX_GEMSTONES", "IMAGE_DIALOG_TREASURE_BOX_ANTIQUITIES"}, 640, 480);
        storeImages({"IMAGE_DIALOG_SIDE_LEFT", "IMAGE_DIALOG_SIDE_RIGHT", "IMAGE_DIALOG_INSIDE",
                     "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_DIALOG_BOTTOM_MIDDLE"},
                    16, 16);
        SurfaceHolder* star = picture(8, 8);
        paint(addMask(star, 8, 8), 0, 0, 8, 8, 0xFF);
        catalogue->storeImage("IMAGE_SPARKLE_BIG_ALPHA", star);
        loadLayout(kLayout);

        StatsManager& stats = StatsManager::instance();
        for (TreasureDesc& t : stats.treasures)
            t.clear();
        stats.newBonus = 0;
        stats.lasttabpage = true;
        stats.dirty = false;
        stats.treasures[0].name = "ruby";
        stats.treasures[0].description = "red";
        stats.treasures[0].aquirecount = 3;
        stats.treasures[0].setSurface(picture(48, 48));
        stats.treasures[5].name = "opal";
        for (int i = 0; i < 20; ++i)
            stats.treasures[5].description += "a line of text ";
        stats.treasures[5].aquirecount = 1;
        stats.treasures[5].setSurface(picture(20, 20));
        stats.treasures[13].name = "coin";
        stats.treasures[13].aquirecount = 2;
    }
    void TearDown() override
    {
        // The dialogs let go of the treasures' pictures before the treasures do.
        canvas->release();
        canvas = nullptr;
        for (TreasureDesc& t : StatsManager::instance().treasures)
            t.clear();
        StatsManager::instance().newBonus = 0;
        DialogTest::TearDown();
    }
    // Comes from outside the sprite, clicks it and runs a frame.
    void click(Sprite* sprite)
    {
        canvas->mouseMoved(0, 0, 0);
        DialogTest::click(sprite);
        frame();
    }
    std::vector<Sprite*> onCanvas(const std::string& name) const
    {
        std::vector<Sprite*> out;
        for (Sprite* s : canvas->getSprites())
            if (s->getName() == name && !s->isObsolete())
                out.push_back(s);
        return out;
    }
    Dialog* topDialog(const std::string& name) const
    {
        const std::vector<Sprite*> found = onCanvas(name);
        return found.empty() ? nullptr : static_cast<Dialog*>(found.back());
    }
};

TEST_F(TreasureDialogsTest, TreasureFromPlayShowsItsPictureFramedAnnouncesTheBonusOnceAndOpensTheChest)
{
    StatsManager::instance().newBonus = 2;
    auto* dialog = static_cast<TreasureClaimedDialog*>(openTreasureClaimedDialog(0, true));
    RecordingListener listener;
    dialog->setListener(&listener);
    canvas->addSprite(dialog);
    EXPECT_EQ(dialog->getName(), "DIALOG_TREASURE_CLAIMED");
    EXPECT_TRUE(dialog->isDraggable());
    EXPECT_EQ(text(dialog->getChildren()[0]), "ruby");
    Sprite* frameSprite = find(dialog, "IMAGE_TREASURE_FRAME");
    Sprite* pictureSprite = find(dialog, "TREASURE_PICTURE");
    ASSERT_NE(pictureSprite, nullptr);
    EXPECT_EQ(pictureSprite->getX(), frameSprite->getX() + 32 - 3);
    EXPECT_EQ(pictureSprite->getY(), frameSprite->getY() + 32 - 4);
    Sprite* chestButton = find(dialog, "BUTTON_TREASURE_CHEST");
    ASSERT_NE(chestButton, nullptr);
    EXPECT_GE(chestButton->getY(), frameSprite->getY() + frameSprite->getHeight() - 5);

    // The announcement comes on the first frame shown, over the disabled dialog, once.
    frame();
    Dialog* note = topDialog("NEW_BONUS_DIALOG");
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(dialog->isEnabled());
    bool named = false;
    for (Sprite* child : note->getChildren())
        if (auto* label = dynamic_cast<PixelFontLabel*>(child))
            named |= label->getText() == "new bonus\n\nsecond\n\n";
    EXPECT_TRUE(named) << "a description list too short leaves the line empty";
    click(find(note, "BUTTON_OK"));
    EXPECT_TRUE(dialog->isEnabled());
    frame();
    EXPECT_EQ(topDialog("NEW_BONUS_DIALOG"), nullptr);

    click(find(dialog, "BUTTON_TREASURE_CHEST"));
    TreasureChestDialog* chest = nullptr;
    for (Sprite* s : canvas->getSprites())
        if (auto* found = dynamic_cast<TreasureChestDialog*>(s))
            chest = found;
    ASSERT_NE(chest, nullptr);
    EXPECT_FALSE(dialog->isObsolete()) << "the close-up stays open under the chest";
    EXPECT_TRUE(listener.results.empty());
    chest->setObsolete(true);
    frame();
    click(find(dialog, "BUTTON_OK"));
    EXPECT_EQ(listener.results, std::vector<std::string>{"DIALOG_TREASURE_CLAIMED:BUTTON_OK"});
}

TEST_F(TreasureDialogsTest, TreasureFromTheChestHasNoChestButtonNorBonusAndAMissingPictureIsSafe)
{
    StatsManager::instance().newBonus = 1;
    struct Case {
        int treasure;
        bool picture;
    };
    for (const Case c : {Case{5, true}, Case{13, false}, Case{99, false}, Case{-1, false}}) {
        auto* dialog = static_cast<TreasureClaimedDialog*>(openTreasureClaimedDialog(c.treasure, false));
        canvas->addSprite(dialog);
        frame();
        EXPECT_EQ(find(dialog, "BUTTON_TREASURE_CHEST"), nullptr) << c.treasure;
        EXPECT_EQ(topDialog("NEW_BONUS_DIALOG"), nullptr) << c.treasure;
        EXPECT_EQ(find(dialog, "TREASURE_PICTURE") != nullptr, c.picture) << c.treasure;
        if (c.treasure == 5) {
            // A description taller than the frame pushes OK below the description.
            Sprite* description = find(dialog, "LABEL_TREASURE_DESCRIPTION");
            ASSERT_GT(description->getHeight(), 64);
            EXPECT_GE(find(dialog, "BUTTON_OK")->getY(), description->getY() + description->getHeight() - 5);
        }
        click(find(dialog, "BUTTON_OK"));
        EXPECT_EQ(topDialog("DIALOG_TREASURE_CLAIMED"), nullptr) << "OK closes it";
    }
}

TEST_F(TreasureDialogsTest, ChestShowsOwnedTreasuresPerPageAndRemembersThePage)
{
    StatsManager& stats = StatsManager::instance();
    auto* chest = static_cast<TreasureChestDialog*>(openTreasureChestDialog());
    RecordingListener listener;
    chest->setListener(&listener);
    canvas->addSprite(chest);
    EXPECT_EQ(chest->getWidth(), 640);
    EXPECT_TRUE(chest->isShowingGemstones());
    SpriteContainer* page = chest->getPage();
    EXPECT_EQ(page->getX(), 32);
    EXPECT_EQ(page->getY(), 63);
    // Treasures 0 and 5: picture, cell button and count each.
    ASSERT_EQ(page->getChildren().size(), 6u);
    Sprite* ruby = page->getChildren()[0];
    Sprite* rubyCount = page->getChildren()[2];
    EXPECT_EQ(text(rubyCount), "x3");
    EXPECT_EQ(rubyCount->getX() + rubyCount->getWidth(), ruby->getX() + ruby->getWidth() - 2);
    EXPECT_EQ(rubyCount->getY() + rubyCount->getHeight(), ruby->getY() + ruby->getHeight());
    Sprite* opal = page->getChildren()[3];
    EXPECT_EQ(opal->getX(), 149);
    EXPECT_EQ(opal->getY(), 131);
    EXPECT_FALSE(find(chest, "BUTTON_TREASURE_CHEST_GEMSTONES")->isEnabled());
    EXPECT_TRUE(find(chest, "BUTTON_TREASURE_CHEST_ANTIQUITIES")->isEnabled());

    click(find(chest, "BUTTON_TREASURE_CHEST_ANTIQUITIES"));
    EXPECT_FALSE(chest->isShowingGemstones());
    EXPECT_FALSE(stats.lasttabpage);
    EXPECT_TRUE(stats.dirty);
    page = chest->getPage();
    ASSERT_EQ(page->getChildren().size(), 3u) << "the coin without a picture keeps its cell";
    EXPECT_EQ(text(page->getChildren()[2]), "x2");
    EXPECT_TRUE(find(chest, "BUTTON_TREASURE_CHEST_GEMSTONES")->isEnabled());
    EXPECT_FALSE(find(chest, "BUTTON_TREASURE_CHEST_ANTIQUITIES")->isEnabled());

    // A cell opens its close-up over the disabled chest; closing it brings the chest back.
    click(page->getChildren()[1]);
    Dialog* closeUp = topDialog("DIALOG_TREASURE_CLAIMED");
    ASSERT_NE(closeUp, nullptr);
    EXPECT_EQ(text(closeUp->getChildren()[0]), "coin");
    EXPECT_FALSE(chest->isEnabled());
    EXPECT_FALSE(chest->areSparklesOn());
    click(find(closeUp, "BUTTON_OK"));
    EXPECT_TRUE(chest->isEnabled());
    EXPECT_TRUE(chest->areSparklesOn());

    click(find(chest, "BUTTON_TREASURE_CHEST_BACK"));
    EXPECT_EQ(listener.results, std::vector<std::string>{"BUTTON_TREASURE_CHEST_BACK"});

    // The next chest opens on the page seen last.
    auto* again = static_cast<TreasureChestDialog*>(openTreasureChestDialog());
    canvas->addSprite(again);
    EXPECT_FALSE(again->isShowingGemstones());
    again->setObsolete(true);
    frame();
}

TEST_F(TreasureDialogsTest, SparklesFlashOnSparklingTreasuresAndAnEmptyMaskEndsTheSearch)
{
    StatsManager& stats = StatsManager::instance();
    Random::global().setSeed(7);
    // The ruby sparkles but its mask is empty; the opal's mask has one point set.
    stats.treasures[0].sparkle = true;
    addMask(stats.treasures[0].getSurface(), 48, 48);
    auto* chest = static_cast<TreasureChestDialog*>(openTreasureChestDialog());
    canvas->addSprite(chest);
    for (int i = 0; i < 300; ++i)
        frame();
    EXPECT_TRUE(onCanvas("SPRITE_TREASURECHEST_SPARKLE").empty());

    stats.treasures[5].sparkle = true;
    paint(addMask(stats.treasures[5].getSurface(), 20, 20), 4, 6, 1, 1, 0xFF);
    bool seen = false;
    for (int i = 0; i < 300 && !seen; ++i) {
        frame();
        for (Sprite* s : onCanvas("SPRITE_TREASURECHEST_SPARKLE")) {
            seen = true;
            EXPECT_EQ(s->getX(), 32 + 149 + 4);
            EXPECT_EQ(s->getY(), 63 + 131 + 6);
        }
    }
    EXPECT_TRUE(seen);
    // Any button first clears the sparkles.
    click(find(chest, "BUTTON_TREASURE_CHEST_ANTIQUITIES"));
    EXPECT_TRUE(onCanvas("SPRITE_TREASURECHEST_SPARKLE").empty());
    chest->setObsolete(true);
    frame();
}

} // namespace
