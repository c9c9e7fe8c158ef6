#include "frontend/dialogs/title/StartGameDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "game/field/GameSettings.h"
#include "game/stats/StatsManager.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/strings/StringUtil.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

namespace {

// What the treasure collection unlocks in this dialog.
constexpr int kUnlockSecondBlockSet = 1;
constexpr int kUnlockHard = 2;
constexpr int kUnlockThirdBlockSet = 3;
constexpr int kUnlockGroupSize = 5;
constexpr int kBlockSets = 3;

bool unlocked(int index)
{
    return StatsManager::instance().isUnlocked(index);
}

PixelFontLabel* toggleLabel(const std::string& textId)
{
    const std::string text = layoutString(textId);
    PixelFontLabel* label = createPixelFontLabel(text, findLayoutElement("LABEL_TOGGLE"));
    BitmapFont* font = label->getFont();
    label->setWidth((font ? font->measureMarkup(text) : 0) + 15);
    label->fitHeightToText();
    return label;
}

void choose(ButtonBlit* chosen, std::initializer_list<ButtonBlit*> others)
{
    // A radio group: the chosen toggle cannot be clicked off, the others are offered again.
    for (ButtonBlit* other : others) {
        if (other && other != chosen) {
            other->setSelected(false);
            other->setEnabled(true);
        }
    }
    if (chosen)
        chosen->setEnabled(false);
}

void hold(ButtonBlit* button)
{
    if (button)
        button->addRef();
}

void drop(ButtonBlit* button)
{
    if (button)
        button->release();
}

} // namespace

StartGameDialog::StartGameDialog(const std::string& modeName)
    : GameDialog({"DIALOG_START_GAME",
                  StringUtil::equals(modeName, "CLASSIC", false) ? "IMAGE_DIALOG_DIG_FOR_GOLD"
                                                                 : "IMAGE_DIALOG_DEEPER_AND_DEEPER",
                  "IMAGE_DIALOG_BOTTOM_MIDDLE", 0, 0, 450, false})
{
    // Both modes' frames are as wide as the classic header, so the two dialogs line up.
    if (SurfaceHolder* classic = ResourceManager::getImage("IMAGE_DIALOG_DIG_FOR_GOLD"))
        setWidth(classic->getSurface() ? static_cast<int>(classic->getSurface()->getDesc().width) : 0);
    else
        setWidth(0);

    addLabel(layoutString("STRING_CHOOSE_THE_DIFFICULTY"), "LABEL_TEXT");
    auto* difficulties = new SpriteContainer;
    easyToggle = makeButton("TOGGLE_EASY");
    difficulties->addChild(easyToggle, PlaceRightTop);
    difficulties->addChild(toggleLabel("STRING_EASY"), PlaceRightMiddle);
    normalToggle = makeButton("TOGGLE_NORMAL");
    difficulties->addChild(normalToggle, PlaceRightMiddle);
    difficulties->addChild(toggleLabel("STRING_NORMAL"), PlaceRightMiddle);
    if (unlocked(kUnlockHard)) {
        hardToggle = makeButton("TOGGLE_HARD");
        difficulties->addChild(hardToggle, PlaceRightMiddle);
        difficulties->addChild(toggleLabel("STRING_HARD"), PlaceRightMiddle);
    }
    difficulties->fitSizeToChildren();
    addBelow(difficulties);

    addLabel(layoutString("STRING_CHOOSE_THE_BLOCK_SET"), "LABEL_TEXT");
    auto* sets = new SpriteContainer;
    // The arrows page through block sets, not through pages as the shared arrow templates say.
    ButtonBlit* previousSet = makeButton("BUTTON_PREV");
    previousSet->setTooltip(layoutString("TOOLTIP_BLOCKSET_PREV"));
    sets->addChild(previousSet, PlaceBelowCenter);
    BitmapSprite* frame = createImageSprite("IMAGE_BLOCK_FRAME");
    sets->addChild(frame, PlaceRightMiddle);
    ButtonBlit* nextSet = makeButton("BUTTON_NEXT");
    nextSet->setTooltip(layoutString("TOOLTIP_BLOCKSET_NEXT"));
    sets->addChild(nextSet, PlaceRightMiddle);
    sets->fitSizeToChildren();
    blocksPreview = createImageSprite("IMAGE_BLOCKS_PREVIEW");
    unavailablePreview = createImageSprite("IMAGE_BLOCKS_UNAVAILABLE_PREVIEW");
    for (BitmapSprite* preview : {unavailablePreview, blocksPreview}) {
        preview->addRef();
        preview->setFrameCount(kBlockSets);
        preview->setPosition(frame->getX() + frame->getWidth() / 2 - preview->getWidth() / 2,
                             frame->getY() + frame->getHeight() / 2 - preview->getHeight() / 2);
        sets->addChild(preview, PlaceAsIs);
    }
    addBelow(sets);

    SpriteContainer* threeRow = nullptr;
    SpriteContainer* fourRow = nullptr;
    if (unlocked(kUnlockGroupSize)) {
        addLabel(layoutString("STRING_CHOOSE_THE_NUMBER_OF_BLOCKS_TO_REMOVE"), "LABEL_TEXT");
        threeToggle = makeButton("TOGGLE_THREE");
        threeToggle->setSelected(true);
        fourToggle = makeButton("TOGGLE_FOUR");
        threeRow = createLabeledControl(layoutString("STRING_REMOVE_GROUP_OF_THREE"),
                                        findLayoutElement("LABEL_TOGGLE"), threeToggle, this);
        fourRow = createLabeledControl(layoutString("STRING_REMOVE_GROUP_OF_FOUR"), findLayoutElement("LABEL_TOGGLE"),
                                       fourToggle, this);
        auto* sizes = new SpriteContainer;
        sizes->addChild(threeRow, PlaceOnCorner);
        sizes->addChild(fourRow, PlaceRightMiddle);
        sizes->fitSizeToChildren();
        addBelow(sizes);
    }
    for (ButtonBlit* toggle : {easyToggle, normalToggle, hardToggle, threeToggle, fourToggle})
        hold(toggle);

    addButtonRow({"BUTTON_OK", "BUTTON_CANCEL"});
    finish();

    const GameSettings& previous = StatsManager::instance().prevSettings[modeName];
    const LayoutStringList& names = getResourceList("LIST_DIFFICULTY_NAMES");
    int difficulty = 0;
    if (names.size() > 1 && previous.difficulty == names[1])
        difficulty = 1;
    else if (names.size() > 2 && previous.difficulty == names[2])
        // Hard without the hard toggle (too few treasures now): the nearest choice offered.
        difficulty = hardToggle ? 2 : 1;
    ButtonBlit* const toggles[] = {easyToggle, normalToggle, hardToggle};
    toggles[difficulty]->setSelected(true);
    selectDifficulty(difficulty);
    selectBlockSet(previous.blockset);
    if (threeToggle) {
        (previous.quattro ? fourToggle : threeToggle)->setSelected(true);
        if (previous.quattro)
            threeToggle->setSelected(false);
        selectGroupSize(previous.quattro ? 4 : 3);
    }
    // The toggles' own tooltips are not shown; the group-size rows carry theirs over their labels.
    if (threeRow)
        addTooltip(threeRow);
    if (fourRow)
        addTooltip(fourRow);
}

StartGameDialog::~StartGameDialog()
{
    if (blocksPreview)
        blocksPreview->release();
    if (unavailablePreview)
        unavailablePreview->release();
    for (ButtonBlit* toggle : {easyToggle, normalToggle, hardToggle, threeToggle, fourToggle})
        drop(toggle);
}

int StartGameDialog::getDifficulty() const
{
    if (easyToggle->isSelected())
        return 0;
    if (normalToggle->isSelected())
        return 1;
    if (hardToggle && hardToggle->isSelected())
        return 2;
    return 0;
}

int StartGameDialog::getGroupSize() const
{
    if (!fourToggle || (threeToggle && threeToggle->isSelected()) || !fourToggle->isSelected())
        return 3;
    return 4;
}

int StartGameDialog::getBlockSet() const
{
    return blocksPreview->getFrame();
}

void StartGameDialog::selectDifficulty(int index)
{
    if (index == 0)
        choose(easyToggle, {normalToggle, hardToggle});
    else if (index == 1)
        choose(normalToggle, {easyToggle, hardToggle});
    else if (index == 2 && hardToggle)
        choose(hardToggle, {easyToggle, normalToggle});
}

void StartGameDialog::selectGroupSize(int size)
{
    if (!threeToggle)
        return;
    if (size == 3)
        choose(threeToggle, {fourToggle});
    else if (size == 4)
        choose(fourToggle, {threeToggle});
}

void StartGameDialog::selectBlockSet(int index)
{
    const int count = blocksPreview->getFrameCount();
    const int shown = index < 0 ? count - 1 : (index < count ? index : 0);
    blocksPreview->setFrame(shown);
    unavailablePreview->setFrame(shown);
    const bool available = shown == 0 || (shown == 1 && unlocked(kUnlockSecondBlockSet)) ||
                           (shown == 2 && unlocked(kUnlockThirdBlockSet));
    blocksPreview->setVisible(available);
    unavailablePreview->setVisible(!available);
}

bool StartGameDialog::onClick(ButtonBlit* button)
{
    const std::string& name = button->getName();
    if (name == "BUTTON_OK" || name == "BUTTON_CANCEL")
        return Dialog::onClick(button);
    setResult(button);
    if (name == "TOGGLE_EASY")
        selectDifficulty(0);
    else if (name == "TOGGLE_NORMAL")
        selectDifficulty(1);
    else if (name == "TOGGLE_HARD")
        selectDifficulty(2);
    else if (name == "TOGGLE_THREE")
        selectGroupSize(3);
    else if (name == "TOGGLE_FOUR")
        selectGroupSize(4);
    else if (name == "BUTTON_PREV")
        selectBlockSet(getBlockSet() - 1);
    else if (name == "BUTTON_NEXT")
        selectBlockSet(getBlockSet() + 1);
    return true;
}

Dialog* openStartGameDialog(const std::string& modeName)
{
    return new StartGameDialog(modeName);
}
