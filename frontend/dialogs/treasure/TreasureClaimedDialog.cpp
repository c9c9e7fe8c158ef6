#include "frontend/dialogs/treasure/TreasureClaimedDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "game/stats/StatsManager.h"
#include "game/stats/TreasureDesc.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <algorithm>
#include <string>

namespace {

// An entry of a layout list, empty past its end.
std::string listEntry(const std::string& id, int index)
{
    const LayoutStringList& list = getResourceList(id);
    return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(index)] : std::string();
}

} // namespace

TreasureClaimedDialog::TreasureClaimedDialog(int treasure, bool fromField)
    : GameDialog({"DIALOG_TREASURE_CLAIMED", "IMAGE_DIALOG_TREASURE_FOUND", "IMAGE_DIALOG_BOTTOM_MIDDLE", 0, 0, 450, true})
{
    StatsManager& stats = StatsManager::instance();
    const bool known = treasure >= 0 && treasure < StatsManager::kTreasureCount;
    const TreasureDesc* desc = known ? &stats.treasures[treasure] : nullptr;

    PixelFontLabel* heading =
        createPixelFontLabel(desc ? desc->name : std::string(), findLayoutElement("LABEL_TREASURE_HEADER"));
    fitChildWidth(heading);
    heading->invalidate();
    heading->fitHeightToText();
    addChild(heading, PlaceBelowCenter);

    BitmapSprite* frame = createImageSprite("IMAGE_TREASURE_FRAME");
    frame->setName("IMAGE_TREASURE_FRAME");
    addChild(frame, PlaceBelowLeft);
    const float boxX = static_cast<float>(static_cast<int>(getReferenceX()));
    const float boxY = static_cast<float>(static_cast<int>(getReferenceY()));
    const float boxW = static_cast<float>(static_cast<int>(getReferenceWidth()));
    const float boxH = static_cast<float>(static_cast<int>(getReferenceHeight()));
    const int frameHeight = frame->getHeight();

    // A treasure without a picture leaves the frame empty.
    if (desc && desc->getSurface()) {
        BitmapSprite* picture = createImageSpriteFromImage(desc->getSurface());
        picture->setName("TREASURE_PICTURE");
        picture->setAnchor(4);
        picture->setPosition(frame->getX() + frame->getWidth() / 2 - 3, frame->getY() + frame->getHeight() / 2 - 4);
        addChild(picture, PlaceAsIs);
        setReferenceBox(boxX, boxY, boxW, boxH);
    }

    PixelFontLabel* description = createPixelFontLabel(desc ? desc->description : std::string(),
                                                       findLayoutElement("LABEL_TREASURE_DESCRIPTION"));
    description->setName("LABEL_TREASURE_DESCRIPTION");
    description->setSize(std::max(0, getWidth() - frame->getWidth() - kGameDialogMarginLeft - kGameDialogMarginRight -
                                         getGapH()),
                         description->getHeight());
    description->invalidate();
    description->fitHeightToText();
    addChild(description, PlaceRightTop);

    // The next child goes centred below the taller of the frame and the description.
    setReferenceBox(0.0f, boxY - 5.0f, static_cast<float>(getWidth()),
                    static_cast<float>(std::max(frameHeight, description->getHeight())));

    if (fromField)
        addButton("BUTTON_TREASURE_CHEST");
    addButton("BUTTON_OK");
    finish();

    if (fromField && stats.newBonus != 0)
        newBonusPending = true;
}

void TreasureClaimedDialog::tick()
{
    GameDialog::tick();
    if (!newBonusPending || !getCanvas())
        return;
    newBonusPending = false;
    setEnabled(false);
    const int k = StatsManager::instance().newBonus;
    const std::string text = layoutString("STRING_TREASURE_NEW_BONUS") + "\n\n" + listEntry("STRINGS_BONUS_ITEMS", k - 1) +
                             "\n\n" + listEntry("STRINGS_BONUS_DESCRIPTIONS", k - 1);
    FramedDialog* announcement = showOkDialog("NEW_BONUS_DIALOG", "IMAGE_DIALOG_BONUS", text);
    announcement->setListener(this);
    getCanvas()->addSprite(announcement);
}

bool TreasureClaimedDialog::onClick(ButtonBlit* button)
{
    if (button->getName() == "BUTTON_TREASURE_CHEST") {
        setResult(button);
        Dialog* chest = openTreasureChestDialog();
        if (getCanvas())
            getCanvas()->addSprite(chest);
        return true;
    }
    return GameDialog::onClick(button);
}

Dialog* openTreasureClaimedDialog(int treasure, bool fromField)
{
    return new TreasureClaimedDialog(treasure, fromField);
}
