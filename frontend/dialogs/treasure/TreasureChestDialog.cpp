#include "frontend/dialogs/treasure/TreasureChestDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "game/effects/Sparkle.h"
#include "game/stats/StatsManager.h"
#include "game/stats/TreasureDesc.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/TooltipManagerSprite.h"

#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const char* const kSparkleName = "SPRITE_TREASURECHEST_SPARKLE";
// Random points tried on a treasure's mask before the sparkle is given up for this frame.
constexpr int kSparkleTries = 64;

SurfaceHolder* heldImage(const std::string& id)
{
    SurfaceHolder* image = ResourceManager::getImage(id);
    if (image)
        image->addRef();
    return image;
}

// A button from its layout element; a plain button of that name when the layout lacks it.
ButtonBlit* layoutButton(const std::string& id)
{
    if (const TiXmlElement* element = findLayoutElement(id)) {
        if (Sprite* made = createSpriteFromXml(element)) {
            if (made->isKindOf(&ButtonBlit::classRecord))
                return static_cast<ButtonBlit*>(made);
            made->addRef();
            made->setObsolete(true);
            made->release();
        }
    }
    auto* button = new ButtonBlit;
    button->setName(id);
    return button;
}

// A point of the mask that is not 0, or false when none turned up in the tries allowed (an empty or
// missing mask gives no sparkle rather than an endless search).
bool pickMaskPoint(Surface* mask, int& x, int& y)
{
    if (!mask)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(mask->pixels());
    const int w = static_cast<int>(mask->getDesc().width);
    const int h = static_cast<int>(mask->getDesc().height);
    const int pitch = mask->getDesc().pitch > 0 ? static_cast<int>(mask->getDesc().pitch) : w;
    if (!bytes || w <= 0 || h <= 0)
        return false;
    for (int tries = 0; tries < kSparkleTries; ++tries) {
        x = Random::global().nextInt(w);
        y = Random::global().nextInt(h);
        if (bytes[y * pitch + x] != 0)
            return true;
    }
    return false;
}

} // namespace

TreasureChestDialog::TreasureChestDialog()
{
    gemstonesImage = heldImage("IMAGE_DIALOG_TREASURE_BOX_GEMSTONES");
    antiquitiesImage = heldImage("IMAGE_DIALOG_TREASURE_BOX_ANTIQUITIES");
    setPosition(0, 0);
    Surface* box = gemstonesImage ? gemstonesImage->getSurface() : nullptr;
    setSize(box ? static_cast<int>(box->getDesc().width) : 0, box ? static_cast<int>(box->getDesc().height) : 0);

    for (ButtonBlit** kept : {&gemstonesButton, &antiquitiesButton}) {
        ButtonBlit* button = layoutButton(kept == &gemstonesButton ? "BUTTON_TREASURE_CHEST_GEMSTONES"
                                                                   : "BUTTON_TREASURE_CHEST_ANTIQUITIES");
        button->addRef();
        *kept = button;
        button->setListener(this);
        button->setEnabled(false);
        button->setSelected(true);
        addChild(button, PlaceAsIs);
    }
    ButtonBlit* back = layoutButton("BUTTON_TREASURE_CHEST_BACK");
    back->setListener(this);
    addChild(back, PlaceAsIs);
    bonusButton = layoutButton("BUTTON_TREASURE_CHEST_BONUS");
    bonusButton->addRef();
    bonusButton->setListener(this);
    addChild(bonusButton, PlaceAsIs);

    showPage(StatsManager::instance().lasttabpage);
}

TreasureChestDialog::~TreasureChestDialog()
{
    if (page)
        page->release();
    for (SurfaceHolder* image : {gemstonesImage, antiquitiesImage})
        if (image)
            image->release();
    for (ButtonBlit* button : {gemstonesButton, antiquitiesButton, bonusButton})
        if (button)
            button->release();
}

void TreasureChestDialog::showPage(bool gemstones)
{
    if (getCanvas())
        getCanvas()->removeByName(kSparkleName);
    if (page) {
        if (tooltipManager)
            tooltipManager->clearSources();
        page->setObsolete(true);
        for (auto it = children.begin(); it != children.end(); ++it)
            if (*it == page) {
                children.erase(it);
                page->release();
                break;
            }
        page->release();
        page = nullptr;
    }
    cellTreasures.clear();
    if (tooltipManager)
        for (ButtonBlit* button : {antiquitiesButton, gemstonesButton, bonusButton})
            tooltipManager->addSource(button);

    ButtonBlit* shown = gemstones ? gemstonesButton : antiquitiesButton;
    ButtonBlit* other = gemstones ? antiquitiesButton : gemstonesButton;
    shown->setEnabled(false);
    shown->setSelected(true);
    other->setSelected(false);
    other->setEnabled(true);

    page = new SpriteContainer();
    page->addRef();
    page->setName("TREASURE_PAGE");
    showGemstones = gemstones;

    StatsManager& stats = StatsManager::instance();
    const int first = gemstones ? 0 : kTreasuresPerPage;
    for (int i = 0; i < kTreasuresPerPage; ++i) {
        const int t = first + i;
        const TreasureDesc& desc = stats.treasures[t];
        if (desc.aquirecount <= 0)
            continue;
        const int cellX = kCellWidth * (i % 4);
        const int cellY = kCellHeight * (i / 4);
        // A treasure without a picture still gets its cell, as large as a picture would be.
        BitmapSprite* picture = createImageSpriteFromImage(desc.getSurface());
        picture->setPosition(cellX, cellY);
        if (!desc.getSurface())
            picture->setSize(48, 48);
        page->addChild(picture, PlaceAsIs);

        ButtonBlit* cell = layoutButton("BUTTON_TREASURE_DUMMY");
        cell->setName("BUTTON_TREASURE_DUMMY");
        cell->setTooltip(desc.name);
        cell->setListener(this);
        cell->setPosition(picture->getX(), picture->getY());
        cell->setSize(picture->getWidth(), picture->getHeight());
        page->addChild(cell, PlaceAsIs);
        cellTreasures[cell] = t;
        if (tooltipManager)
            tooltipManager->addSource(cell);

        PixelFontLabel* count =
            createPixelFontLabel("x" + std::to_string(desc.aquirecount), findLayoutElement("LABEL_TREASURE_CHEST"));
        count->setName("LABEL_TREASURE_CHEST");
        count->invalidate();
        count->fitHeightToText();
        count->setPosition(picture->getX() + picture->getWidth() - count->getWidth() - 2,
                           picture->getY() + picture->getHeight() - count->getHeight());
        page->addChild(count, PlaceAsIs);
    }
    page->setPosition(kPageX, kPageY);
    page->setSize(600, 400);
    addChild(page, PlaceAsIs);
}

void TreasureChestDialog::tick()
{
    SpriteContainer::tick();
    if (!sparklesOn || Random::global().nextInt(100) >= 10)
        return;
    makeSparkle();
}

void TreasureChestDialog::makeSparkle()
{
    StatsManager& stats = StatsManager::instance();
    const int first = showGemstones ? 0 : kTreasuresPerPage;
    std::vector<int> candidates;
    for (int t = first; t < first + kTreasuresPerPage; ++t)
        if (stats.treasures[t].sparkle && stats.treasures[t].aquirecount >= 1)
            candidates.push_back(t);
    if (candidates.empty() || !getCanvas())
        return;
    const int c = candidates[static_cast<std::size_t>(Random::global().nextInt(static_cast<int>(candidates.size())))];
    SurfaceHolder* picture = stats.treasures[c].getSurface();
    int x = 0;
    int y = 0;
    if (!picture || !pickMaskPoint(picture->getMask(), x, y))
        return;
    const int i = c % kTreasuresPerPage;
    x += kPageX + kCellWidth * (i % 4);
    y += kPageY + kCellHeight * (i / 4);
    auto* sparkle = new Sparkle(nullptr, ResourceManager::getMask("IMAGE_SPARKLE_BIG_ALPHA"), x, y, -1, false);
    ModifierFrame::start(sparkle, 300, 1, 4);
    sparkle->setName(kSparkleName);
    sparkle->setAnchor(4);
    getCanvas()->addSprite(sparkle);
}

void TreasureChestDialog::draw(Surface* target)
{
    SurfaceHolder* box = showGemstones ? gemstonesImage : antiquitiesImage;
    if (!box || !box->getSurface() || !target)
        return;
    const int w = static_cast<int>(target->getDesc().width);
    const int h = static_cast<int>(target->getDesc().height);
    drawImage(box, target, getAbsoluteX(), getAbsoluteY(), 0, 0, w, h);
}

bool TreasureChestDialog::onClick(ButtonBlit* button)
{
    setResult(button);
    if (getCanvas())
        getCanvas()->removeByName(kSparkleName);
    const std::string& name = button->getName();
    if (name == "BUTTON_TREASURE_CHEST_BACK")
        return Dialog::onClick(button);
    if (name == "BUTTON_TREASURE_CHEST_BONUS" || name == "BUTTON_TREASURE_DUMMY") {
        Dialog* child = nullptr;
        if (name == "BUTTON_TREASURE_CHEST_BONUS") {
            child = openBonusDialog();
        } else {
            auto found = cellTreasures.find(button);
            if (found == cellTreasures.end())
                return true;
            child = openTreasureClaimedDialog(found->second, false);
        }
        sparklesOn = false;
        setEnabled(false);
        child->setListener(this);
        if (getCanvas())
            getCanvas()->addSprite(child);
        return true;
    }
    if (name == "BUTTON_TREASURE_CHEST_GEMSTONES" || name == "BUTTON_TREASURE_CHEST_ANTIQUITIES") {
        showPage(!showGemstones);
        StatsManager::instance().lasttabpage = showGemstones;
        StatsManager::instance().dirty = true;
    }
    return true;
}

void TreasureChestDialog::onDialogClosed(Dialog*)
{
    sparklesOn = true;
    setEnabled(true);
}

Dialog* openTreasureChestDialog()
{
    return new TreasureChestDialog;
}
