// The local highscore lists, one at a time: PREV and NEXT step through the tables of both modes (the
// tables of fours only once they are unlocked), the newest result is marked in the first dialog
// opened after it, and CLEAR refills every table with made-up entries after a confirmation. The
// columns, their widths and headings come from the data set.
#pragma once

#include "frontend/dialogs/GameDialog.h"

#include <string>

class HighscoreDialog : public GameDialog {
public:
    HighscoreDialog();
    ~HighscoreDialog() override;
    unsigned instanceSize() override { return sizeof(HighscoreDialog); }

    // Builds the table of `mode` and group size in place of the one shown.
    void showTable(const std::string& mode, bool quattro, bool visible);
    bool onClick(ButtonBlit* button) override;
    void onDialogClosed(Dialog* dialog) override;

    // The table shown ("CLASSIC", "ENDLESSQUATTRO", ...), and its title.
    std::string getTableName() const;
    PixelFontLabel* getHeaderLabel() const { return headerLabel; }
    SpriteContainer* getTable() const { return table; }
    // 1-based line of the newest result in its table, 0 for none.
    int getMarkedRank() const { return lastScoreRank; }

private:
    PixelFontLabel* headerLabel = nullptr;
    SpriteContainer* table = nullptr;
    int lastScoreRank = 0;
};
