// The player's treasure chest: an open box with two pages of twelve treasures (gemstones, then
// antiquities). Each owned treasure shows its picture, its count and its name as a tooltip, and opens
// its close-up when clicked; sparkles flash on the sparkling ones. The page seen last is kept in the
// player's statistics.
#pragma once

#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/DialogListener.h"

#include <map>

class ButtonBlit;
class SurfaceHolder;

class TreasureChestDialog : public Dialog, public DialogListener {
public:
    // Cells: 3 rows of 4, each 149 by 131 pixels, on a page at (32, 63).
    static constexpr int kPageX = 32;
    static constexpr int kPageY = 63;
    static constexpr int kCellWidth = 149;
    static constexpr int kCellHeight = 131;
    static constexpr int kTreasuresPerPage = 12;

    TreasureChestDialog();
    ~TreasureChestDialog() override;
    unsigned instanceSize() override { return sizeof(TreasureChestDialog); }

    void showPage(bool gemstones);
    void tick() override;
    void draw(Surface* target) override;
    bool onClick(ButtonBlit* button) override;
    void onDialogClosed(Dialog* dialog) override;

    bool isShowingGemstones() const { return showGemstones; }
    bool areSparklesOn() const { return sparklesOn; }
    SpriteContainer* getPage() const { return page; }

private:
    void makeSparkle();

    bool showGemstones = true;
    bool sparklesOn = true;
    SurfaceHolder* gemstonesImage = nullptr;
    SurfaceHolder* antiquitiesImage = nullptr;
    ButtonBlit* gemstonesButton = nullptr;
    ButtonBlit* antiquitiesButton = nullptr;
    ButtonBlit* bonusButton = nullptr;
    SpriteContainer* page = nullptr;
    // The treasure of each cell button on the page shown.
    std::map<const ButtonBlit*, int> cellTreasures;
};
