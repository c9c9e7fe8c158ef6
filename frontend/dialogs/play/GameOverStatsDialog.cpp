#include "frontend/dialogs/play/GameOverStatsDialog.h"

#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <stdexcept>

GameOverStatsDialog::GameOverStatsDialog(int x, int y, int width, int height, const std::string& headerText,
                                         const std::vector<std::string>& rowTexts,
                                         const std::vector<std::string>& rowValues)
    : Dialog(x, y, width, height)
{
    // Checked before anything is built, so a caller's mistake leaves nothing half made behind.
    if (rowValues.size() < rowTexts.size())
        throw std::out_of_range("GameOverStatsDialog: fewer row values than row texts");

    header = createPixelFontLabel(headerText, findLayoutElement("LABEL_HEADER"));
    header->addRef();
    fitChildWidth(header);
    header->invalidate();
    header->fitHeightToText();
    addChild(header, PlaceBelowCenter);

    const int previousGap = getGapV();
    setGapV(3);
    for (std::size_t i = 0; i < rowTexts.size(); ++i) {
        PixelFontLabel* description = createPixelFontLabel(rowTexts[i], findLayoutElement("LABEL_DESCRIPTION"));
        fitChildWidth(description);
        description->invalidate();
        description->fitHeightToText();
        // The value shares the description's box; its own alignment puts it at the row's right end.
        PixelFontLabel* value = createPixelFontLabel(rowValues[i], findLayoutElement("LABEL_VALUE"));
        fitChildWidth(value);
        value->invalidate();
        value->fitHeightToText();
        addChild(description, PlaceBelowCenter);
        addChild(value, PlaceOnCorner);
    }
    setGapV(previousGap);

    ButtonBlit* button = createDialogButton("BUTTON_CONTINUE", findLayoutElement("BUTTON_CONTINUE"), this);
    addChild(button, PlaceBelowCenter);

    fitHeightToChildren();
    setPosition(x, y + height / 2 - getHeight() / 2);
}

GameOverStatsDialog::~GameOverStatsDialog()
{
    if (header)
        header->release();
}
