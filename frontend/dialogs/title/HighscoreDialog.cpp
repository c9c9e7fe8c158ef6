#include "frontend/dialogs/title/HighscoreDialog.h"

#include "frontend/app/GameApp.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/scores/Highscores.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/properties/Properties.h"
#include "toolkit/dialog/DataFormat.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <algorithm>
#include <cctype>
#include <strings.h>
#include <vector>

namespace {

const char* const kTableNames[] = {"CLASSIC", "ENDLESS", "CLASSICQUATTRO", "ENDLESSQUATTRO"};

std::string headerText(std::size_t index)
{
    const LayoutStringList& headers = getResourceList("HIGHSCORE_HEADERS");
    return index < headers.size() ? headers[index] : std::string();
}

// A column list the property file lacks is read as empty: the table is then built without columns
// rather than stopping the game.
std::vector<std::string> propertyStrings(const std::string& id)
{
    std::vector<std::string> out;
    PropertyManager* store = Application::instance() ? Application::instance()->getPropertyManager() : nullptr;
    if (!store)
        return out;
    try {
        if (PropertyManager::StringArray* list = store->getArrayString(id))
            for (unsigned i = 0; i < list->size(); ++i)
                if (const std::string* item = list->elementAt(i))
                    out.push_back(*item);
    } catch (...) {
        out.clear();
    }
    return out;
}

std::vector<int> propertyIntegers(const std::string& id)
{
    std::vector<int> out;
    PropertyManager* store = Application::instance() ? Application::instance()->getPropertyManager() : nullptr;
    if (!store)
        return out;
    try {
        if (PropertyManager::IntegerArray* list = store->getArrayInteger(id))
            for (unsigned i = 0; i < list->size(); ++i)
                out.push_back(list->elementAt(i));
    } catch (...) {
        out.clear();
    }
    return out;
}

bool sameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string cellText(const std::string& key, const HighscoreEntry& entry, int rank)
{
    if (key.empty())
        return std::to_string(rank);
    if (sameText(key, "name"))
        return entry.name;
    if (sameText(key, "score"))
        return std::to_string(entry.score);
    if (sameText(key, "level"))
        return std::to_string(entry.level);
    if (sameText(key, "gold"))
        return std::to_string(entry.gold);
    if (sameText(key, "depth"))
        return formatDataText(layoutString("STRING_GAMEOVER_DEPTH_FORMAT"), {entry.depth});
    return std::string();
}

PixelFontLabel* columnLabel(const std::string& text, int width)
{
    PixelFontLabel* label = createPixelFontLabel(std::string(), findLayoutElement("LABEL_HIGHSCORE_COLUMN"));
    label->setText(text);
    label->setSize(width, label->getHeight());
    label->invalidate();
    label->fitHeightToText();
    return label;
}

} // namespace

HighscoreDialog::HighscoreDialog()
    : GameDialog({"DIALOG_HIGHSCORE", "IMAGE_DIALOG_HIGHSCORE", "IMAGE_DIALOG_BOTTOM_BIG", 0, 0, 450, false})
{
    Properties& config = GameApp::getConfig();
    // The newest result is marked in the first dialog opened after it only.
    lastScoreRank = config.getInt("lastscorerank");
    config.setInt("lastscorerank", 0);

    auto* row = new SpriteContainer();
    ButtonBlit* prev = makeButton("BUTTON_PREV");
    ButtonBlit* next = makeButton("BUTTON_NEXT");
    headerLabel = createPixelFontLabel(headerText(0), findLayoutElement("LABEL_HIGHSCORE_HEADER"));
    headerLabel->addRef();
    headerLabel->invalidate();
    headerLabel->fitHeightToText();
    row->addChild(prev, PlaceBelowCenter);
    row->addChild(headerLabel, PlaceRightMiddle);
    row->addChild(next, PlaceRightMiddle);
    row->fitSizeToChildren();
    addChild(row, PlaceBelowCenter);

    showTable(config.getString("lastscoregame"), config.getInt("lastscorequattro") != 0, true);

    std::vector<ButtonBlit*> buttons;
    addButtonRow({"BUTTON_OK", "BUTTON_CLEAR"}, &buttons);
    // The clear button's template is shared with the name list; here it empties the tables.
    buttons[1]->setTooltip(layoutString("TOOLTIP_HIGHSCORE_CLEAR"));
    finish();
}

HighscoreDialog::~HighscoreDialog()
{
    if (headerLabel)
        headerLabel->release();
    if (table)
        table->release();
}

std::string HighscoreDialog::getTableName() const { return table ? table->getName() : std::string(); }

void HighscoreDialog::showTable(const std::string& mode, bool quattro, bool visible)
{
    float oldX = 0.0f;
    float oldY = 0.0f;
    const bool replacing = table != nullptr;
    if (replacing) {
        oldX = table->getX();
        oldY = table->getY();
        table->setObsolete(true);
        auto it = std::find(children.begin(), children.end(), table);
        if (it != children.end()) {
            children.erase(it);
            table->release();
        }
        table->release();
        table = nullptr;
    }
    table = new SpriteContainer();
    table->addRef();
    table->setName(mode + (quattro ? "QUATTRO" : ""));

    const LayoutStringList& headings = getResourceList(mode + "_HIGHSCORE_HEADER_TEXTS");
    const std::vector<std::string> keys = propertyStrings(mode + "_HIGHSCORE_COLUMNS");
    const std::vector<int> widths = propertyIntegers(mode + "_HIGHSCORE_LABEL_WIDTHS");
    const Highscores::Table& entries = Highscores::instance().table(mode, quattro);
    // Only as many columns as every list describes.
    const std::size_t columns = std::min({headings.size(), keys.size(), widths.size()});

    Properties& config = GameApp::getConfig();
    const bool marked = lastScoreRank >= 1 && sameText(config.getString("lastscoregame"), mode) &&
                        (config.getInt("lastscorequattro") != 0) == quattro;

    for (std::size_t i = 0; i < columns; ++i) {
        std::string text;
        for (std::size_t r = 0; r < entries.size(); ++r) {
            text += cellText(keys[i], entries[r], static_cast<int>(r) + 1);
            if (r + 1 < entries.size())
                text += "\n";
        }
        auto* column = new SpriteContainer();
        PixelFontLabel* heading = columnLabel(headings[i], widths[i]);
        column->addChild(heading, PlaceBelowCenter);
        PixelFontLabel* values = columnLabel(text, widths[i]);

        if (i == 0 && marked) {
            const float refX = table->getReferenceX();
            const float refY = table->getReferenceY();
            const float refW = table->getReferenceWidth();
            const float refH = table->getReferenceHeight();
            BitmapSprite* bar = createImageSpriteFromImage(ResourceManager::getImage("IMAGE_HIGHSCORE_HIGHLIGHT"));
            const double fontLine = values->getFont() ? values->getFont()->getLineHeight() : 0;
            bar->setPosition(-15, static_cast<int>(
                                         kGameDialogGap + static_cast<int>(refY) +
                                         lastScoreRank * values->getLineHeight() * fontLine));
            bar->setName("IMAGE_HIGHSCORE_HIGHLIGHT");
            table->addChild(bar, PlaceAsIs);
            table->setReferenceBox(static_cast<float>(static_cast<int>(refX)), static_cast<float>(static_cast<int>(refY)),
                                   static_cast<float>(static_cast<int>(refW)), static_cast<float>(static_cast<int>(refH)));
        }
        column->addChild(values, PlaceBelowCenter);
        column->fitSizeToChildren();
        table->addChild(column, PlaceRightTop);
        if (i >= 2) {
            heading->setAlignH(1);
            values->setAlignH(1);
        }
    }

    const std::string name = table->getName();
    for (std::size_t k = 0; k < 4; ++k)
        if (name == kTableNames[k])
            headerLabel->setText(headerText(k));

    table->fitSizeToChildren();
    table->setVisible(visible);
    if (replacing) {
        table->setPosition(static_cast<int>(oldX), static_cast<int>(oldY));
        addChild(table, PlaceAsIs);
    } else {
        addChild(table, PlaceBelowCenter);
    }
}

bool HighscoreDialog::onClick(ButtonBlit* button)
{
    const std::string& name = button->getName();
    if (name == "BUTTON_CLEAR") {
        setResult(button);
        FramedDialog* confirm = showYesNoDialog("CONFIRM_CLEAR_HIGHSCORE_DIALOG", "IMAGE_DIALOG_ERASE_SCORES",
                                                layoutString("HIGHSCORE_CONFIRM_CLEAR"));
        confirm->setListener(this);
        if (getCanvas())
            getCanvas()->addSprite(confirm);
        return true;
    }
    if (name == "BUTTON_PREV" || name == "BUTTON_NEXT") {
        setResult(button);
        const bool next = name == "BUTTON_NEXT";
        const bool fours = StatsManager::instance().isUnlocked(5);
        const std::string shown = getTableName();
        if (shown == "CLASSIC")
            showTable("ENDLESS", next ? false : fours, true);
        else if (shown == "ENDLESS")
            showTable("CLASSIC", next ? fours : false, true);
        else if (shown == "CLASSICQUATTRO")
            showTable("ENDLESS", next, true);
        else
            showTable("CLASSIC", !next, true);
        return true;
    }
    return GameDialog::onClick(button);
}

void HighscoreDialog::onDialogClosed(Dialog* dialog)
{
    setEnabled(true);
    if (!dialog || !dialog->getResult() || dialog->getResult()->getName() != "BUTTON_YES")
        return;
    Highscores::instance().resetAndSave();
    // The newest result is gone with the clear: no made-up line is marked.
    lastScoreRank = 0;
    const std::string shown = getTableName();
    for (const char* known : kTableNames)
        if (shown == known) {
            const bool quattro = shown.size() > 7 && shown.compare(shown.size() - 7, 7, "QUATTRO") == 0;
            showTable(shown.substr(0, shown.size() - (quattro ? 7 : 0)), quattro, true);
        }
}

Dialog* openHighscoreDialog()
{
    return new HighscoreDialog;
}
