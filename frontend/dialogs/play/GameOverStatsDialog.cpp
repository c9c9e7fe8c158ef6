#include "frontend/dialogs/play/GameOverStatsDialog.h"

#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <stdexcept>

namespace {

// A button the layout lacks must still let the player go on: a plain clickable area of the usual
// button size under the expected name.
ButtonBlit* createContinueButton()
{
    const std::string id = "BUTTON_CONTINUE";
    ButtonBlit* button = nullptr;
    if (const TiXmlElement* element = findLayoutElement(id)) {
        if (Sprite* made = createSpriteFromXml(element)) {
            if (made->isKindOf(&ButtonBlit::classRecord)) {
                button = static_cast<ButtonBlit*>(made);
            } else {
                made->addRef();
                made->setObsolete(true);
                made->release();
            }
        }
    }
    if (!button) {
        DebugLog::instance().log("Dialog button \"" + id + "\" is missing from the layout\n");
        button = new ButtonBlit;
        button->setName(id);
        button->setSize(120, 32);
    }
    return button;
}

} // namespace

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

    ButtonBlit* button = createContinueButton();
    button->setListener(this);
    addChild(button, PlaceBelowCenter);

    fitHeightToChildren();
    setPosition(x, y + height / 2 - getHeight() / 2);
}

GameOverStatsDialog::~GameOverStatsDialog()
{
    if (header)
        header->release();
}
