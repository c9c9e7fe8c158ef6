#include "frontend/dialogs/info/HelpDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <algorithm>
#include <string>

namespace {

// A chapter list shorter than the pages leaves the later pages without a title rather than reading
// past its end.
std::string chapterTitle(int page)
{
    const LayoutStringList& chapters = getResourceList("HELP_CHAPTERS");
    return page >= 0 && page < static_cast<int>(chapters.size()) ? chapters[static_cast<std::size_t>(page)]
                                                                  : std::string();
}

std::string pageNumberText(int current, int count)
{
    return std::to_string(count > 0 ? current + 1 : 0) + "/" + std::to_string(count);
}

} // namespace

HelpDialog::HelpDialog()
    : GameDialog({"DIALOG_HELP", "IMAGE_DIALOG_HELP", "IMAGE_DIALOG_BOTTOM_BIG", 0, 0, 450, false})
{
    // Chapter row: PREV, the chapter title, NEXT.
    auto* row = new SpriteContainer(0, 0, getWidth(), getHeight(), 0, 0, 0, 0, kButtonRowGap, kButtonRowGap);
    ButtonBlit* prev = makeButton("BUTTON_PREV");
    ButtonBlit* next = makeButton("BUTTON_NEXT");
    chapter = createPixelFontLabel(chapterTitle(0), findLayoutElement("LABEL_HELP_CHAPTER"));
    chapter->addRef();
    chapter->invalidate();
    chapter->fitHeightToText();
    row->addChild(prev, PlaceBelowCenter);
    row->addChild(chapter, PlaceRightMiddle);
    row->addChild(next, PlaceRightMiddle);
    row->fitSizeToChildren();
    addChild(row, PlaceBelowCenter);

    // Every page sits at the same place below the chapter row; the dialog is as tall as the tallest.
    const float refX = getReferenceX();
    const float refY = getReferenceY();
    const float refW = getReferenceWidth();
    const float refH = getReferenceHeight();
    const LayoutStringList& texts = getResourceList("HELP_TEXTS");
    int tallest = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        PixelFontLabel* page = createPixelFontLabel(texts[i], findLayoutElement("LABEL_HELP_TEXT"));
        page->setName("LABEL_HELP_TEXT" + std::to_string(i));
        fitChildWidth(page);
        page->invalidate();
        page->fitHeightToText();
        setReferenceBox(refX, refY, refW, refH);
        addChild(page, PlaceBelowCenter);
        page->setVisible(i == 0);
        page->addRef();
        pages.push_back(page);
        tallest = std::max(tallest, static_cast<int>(page->getHeight()));
    }
    current = 0;
    if (!pages.empty())
        setReferenceSize(getReferenceWidth(), static_cast<float>(tallest));

    ButtonBlit* ok = addButton("BUTTON_OK");

    pageNumber = createPixelFontLabel(pageNumberText(current, getPageCount()), findLayoutElement("LABEL_HELP_PAGE_NR"));
    pageNumber->addRef();
    fitChildWidth(pageNumber);
    pageNumber->invalidate();
    pageNumber->fitHeightToText();
    moveReference(0, -static_cast<float>(ok->getHeight()));
    addChild(pageNumber, PlaceBelowCenter);

    finish();
}

HelpDialog::~HelpDialog()
{
    for (PixelFontLabel* page : pages)
        page->release();
    if (pageNumber)
        pageNumber->release();
    if (chapter)
        chapter->release();
}

void HelpDialog::showPage(int n)
{
    const int count = getPageCount();
    current = n < 0 ? count - 1 : n >= count ? 0 : n;
    if (count == 0)
        current = 0;
    pageNumber->setText(pageNumberText(current, count));
    chapter->setText(chapterTitle(current));
    for (int i = 0; i < count; ++i)
        pages[static_cast<std::size_t>(i)]->setVisible(i == current);
}

bool HelpDialog::onClick(ButtonBlit* button)
{
    const std::string& name = button->getName();
    if (name == "BUTTON_PREV")
        showPage(current - 1);
    else if (name == "BUTTON_NEXT")
        showPage(current + 1);
    else if (name == "BUTTON_OK")
        return GameDialog::onClick(button);
    return true;
}

Dialog* openHelpDialog()
{
    return new HelpDialog;
}
