#include "frontend/dialogs/treasure/BonusDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "game/stats/StatsManager.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/widget/PixelFontLabel.h"

namespace {

std::string listEntry(const char* listId, int index)
{
    const LayoutStringList& list = getResourceList(listId);
    return index >= 0 && static_cast<std::size_t>(index) < list.size() ? list[static_cast<std::size_t>(index)]
                                                                       : std::string();
}

} // namespace

std::string treasuresToGoText(int count)
{
    if (count == 1)
        return layoutString("STRING_TREASURE_1_MORE_TO_GO");
    std::string text = layoutString("STRING_TREASURE_N_MORE_TO_GO");
    const std::size_t at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(count));
    return text;
}

BonusDialog::BonusDialog()
    : GameDialog({"DIALOG_BONUS", "IMAGE_DIALOG_BONUS", "IMAGE_DIALOG_BOTTOM_SMALL", 0, 0, 450, true})
{
    const StatsManager& stats = StatsManager::instance();
    addLabel(layoutString(stats.isUnlocked(1) ? "STRING_BONUS_FOUND" : "STRING_NO_BONUS_FOUND"), "LABEL_TEXT");
    for (int index = 0; index < kBonusCount; ++index) {
        addBonusItem(index, stats.isUnlocked(index + 1));
        // The rows touch: the reference goes back up by the gap the next row would leave.
        if (index + 1 < kBonusCount)
            moveReference(0.0f, -5.0f);
    }
    addButton("BUTTON_OK");
    finish();
}

void BonusDialog::addBonusItem(int index, bool found)
{
    auto* row = new SpriteContainer;
    BitmapSprite* bullet = createImageSprite("IMAGE_BULLIT");
    PixelFontLabel* label =
        createPixelFontLabel(listEntry("STRINGS_BONUS_ITEMS", index), findLayoutElement("LABEL_BONUS_ITEM"));
    if (found) {
        row->setTooltip(listEntry("STRINGS_BONUS_TOOLTIPS", index));
    } else {
        label->setText(layoutString("STRING_BONUS_NOT_FOUND"));
        row->setTooltip(treasuresToGoText(StatsManager::instance().getTreasuresUntilUnlock()));
    }
    addTooltip(row);
    label->fitHeightToText();
    row->addChild(bullet, PlaceOnCorner);
    row->addChild(label, PlaceRightMiddle);
    row->fitSizeToChildren();
    addBelow(row);
}

Dialog* openBonusDialog()
{
    return new BonusDialog;
}
