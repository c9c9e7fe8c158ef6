#include "frontend/dialogs/play/MainMenuPanel.h"

#include "compat/win32/system/process/shell.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/java/URLEncoder.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"

#include <tinyxml.h>

#include <cstdlib>

const char* const MainMenuPanel::kButtonIds[6] = {"BUTTON_MAINMENU_HELP",     "BUTTON_MAINMENU_OPTIONS",
                                                  "BUTTON_MAINMENU_HIGHSCORE", "BUTTON_MAINMENU_TREASURE",
                                                  "BUTTON_MAINMENU_STOP",     "BUTTON_MAINMENU_RESUME"};
const char* const MainMenuPanel::kScoreListServer = "https://scores.quarrytide.example";

namespace {

constexpr float kSlideOutSpeed = 0.08f;
constexpr std::size_t kMaxUserName = 127;

ButtonBlit* createMenuButton(const std::string& id)
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
    // A missing button would leave the player without a way back into the game.
    DebugLog::instance().log("Menu button \"" + id + "\" is missing from the layout\n");
    auto* button = new ButtonBlit;
    button->setName(id);
    button->setSize(160, 32);
    return button;
}

} // namespace

MainMenuPanel::MainMenuPanel(const std::string& imageId, int topMargin, int clipX, int clipY, int clipWidth,
                             int clipHeight)
{
    image = ResourceManager::getImage(imageId);
    if (image) {
        image->addRef();
        if (Surface* surface = image->getSurface())
            setSize(static_cast<int>(surface->getDesc().width), static_cast<int>(surface->getDesc().height));
    }
    setMarginTop(topMargin);
    resetReference();

    column = new SpriteContainer;
    column->addRef();
    for (const char* id : kButtonIds) {
        ButtonBlit* button = createMenuButton(id);
        button->setListener(this);
        button->setClipRect(clipX, clipY, clipWidth, clipHeight);
        column->addChild(button, PlaceBelowCenter);
    }
    column->fitSizeToChildren();
    column->setPosition(getWidth() / 2 - column->getWidth() / 2,
                        getHeight() / 2 - column->getHeight() / 2 + getResourceInt("INT_MAINMENU_BUTTONS_YOFFSET"));
    addChild(column, PlaceAsIs);
    setClipRect(clipX, clipY, clipWidth, clipHeight);
}

MainMenuPanel::~MainMenuPanel()
{
    if (image)
        image->release();
    if (column)
        column->release();
}

void MainMenuPanel::onRemovedFromCanvas()
{
    notifyListener();
    Dialog::onRemovedFromCanvas();
}

void MainMenuPanel::draw(Surface* target)
{
    const Rect* clip = getClipRect();
    if (clip)
        drawImage(image, target, getAbsoluteX(), getAbsoluteY(), clip->x, clip->y, clip->width, clip->height);
    else
        drawImage(image, target, getAbsoluteX(), getAbsoluteY(), getAbsoluteX(), getAbsoluteY(), getWidth(),
                  getHeight());
}

void MainMenuPanel::openAbove(Dialog* dialog, bool closeOnButton)
{
    if (!dialog)
        return;
    dialog->setListener(this);
    dialog->setCloseOnButton(closeOnButton);
    if (SpriteCanvas* canvas = getCanvas())
        canvas->addSprite(dialog);
}

bool MainMenuPanel::onClick(ButtonBlit* button)
{
    if (resuming)
        return true;
    setResult(button);
    const std::string& name = button->getName();
    if (name == "BUTTON_MAINMENU_OPTIONS") {
        openAbove(openOptionsDialog());
    } else if (name == "BUTTON_MAINMENU_HELP") {
        openAbove(openHelpDialog());
    } else if (name == "BUTTON_MAINMENU_HIGHSCORE") {
        std::string user;
        const bool signedIn = Application::instance() && signedInUser(Application::instance()->getArguments(), user);
        const std::string address = scoreListAddress(signedIn, user);
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL_OPEN);
    } else if (name == "BUTTON_MAINMENU_TREASURE") {
        openAbove(openTreasureChestDialog());
    } else if (name == "BUTTON_MAINMENU_RESUME") {
        resuming = true;
        if (ModifierLocationLine* slide =
                ModifierLocationLine::startFromCurrent(this, 0, -getHeight(), kSlideOutSpeed, Modifier::OptionRemoveParent)) {
            slide->setAdjustX(false);
            slide->setEaseInOut(false);
        }
    } else if (name == "BUTTON_MAINMENU_STOP") {
        openAbove(openStopGameDialog(), false);
    }
    return true;
}

void MainMenuPanel::onDialogClosed(Dialog* dialog)
{
    if (!dialog || dialog->getName() != "DIALOG_STOP_GAME")
        return;
    ButtonBlit* answer = dialog->getResult();
    const std::string name = answer ? answer->getName() : std::string();
    if (name == "BUTTON_YES" || name == "BUTTON_NO") {
        setResult(answer);
        notifyListener();
    } else if (name == "BUTTON_CANCEL") {
        dialog->setObsolete(true);
    }
}

std::string scoreListAddress(bool signedIn, const std::string& userName)
{
    std::string address = std::string(MainMenuPanel::kScoreListServer) + "/interface/ScoreList.jsp?id=tbnq&type=0";
    if (signedIn)
        address += "&name=" + URLEncoder::encode(userName);
    return address;
}

bool signedInUser(const std::vector<std::string>& arguments, std::string& userName)
{
    userName.clear();
    if (arguments.size() < 5 || arguments[3].size() < 2 || arguments[4].size() < 2)
        return false;
    if (std::atoi(arguments[3].c_str() + 1) == 0)
        return false;
    userName = arguments[4].substr(1, kMaxUserName);
    return true;
}

Dialog* openMainMenu(const std::string& imageId, int topMargin, int /*unused*/, int clipX, int clipY, int clipWidth,
                     int clipHeight)
{
    return new MainMenuPanel(imageId, topMargin, clipX, clipY, clipWidth, clipHeight);
}
