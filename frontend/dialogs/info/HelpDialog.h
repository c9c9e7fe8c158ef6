// The game's instructions as a book: a chapter title between PREV and NEXT, one page of text at a
// time, the page number and OK. The pages and their chapter titles are the layout lists "HELP_TEXTS"
// and "HELP_CHAPTERS"; turning past either end wraps round.
#pragma once

#include "frontend/dialogs/GameDialog.h"

#include <vector>

class PixelFontLabel;

class HelpDialog : public GameDialog {
public:
    HelpDialog();
    ~HelpDialog() override;
    unsigned instanceSize() override { return sizeof(HelpDialog); }

    // Shows page n; below the first page is the last, past the last the first.
    void showPage(int n);
    int getCurrentPage() const { return current; }
    int getPageCount() const { return static_cast<int>(pages.size()); }

    bool onClick(ButtonBlit* button) override;

private:
    // The labels are this dialog's own, so a second help dialog on the same canvas cannot be served
    // the first one's pages.
    int current = 0;
    PixelFontLabel* chapter = nullptr;
    PixelFontLabel* pageNumber = nullptr;
    std::vector<PixelFontLabel*> pages;
};
