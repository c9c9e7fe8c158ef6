#include "frontend/screens/TitleScene.h"

#include "compat/win32/path.h"
#include "compat/win32/system/process/shell.h"
#include "frontend/app/GameApp.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/GameDialog.h"
#include "frontend/dialogs/play/MainMenuPanel.h"
#include "frontend/dialogs/title/NameEntryDialog.h"
#include "frontend/dialogs/title/NameSelectDialog.h"
#include "frontend/dialogs/title/StartGameDialog.h"
#include "game/actors/Jack.h"
#include "game/effects/Sparkle.h"
#include "game/field/ScoreHandOver.h"
#include "game/screen/GameScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/properties/Properties.h"
#include "runtime/Random.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/TooltipManagerSprite.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Looking for a lit point of a glow's mask gives up after this many tries (a dark mask makes no sparkle).
constexpr int kSparkleTries = 64;
// The portal shell is told that the game closes.
constexpr unsigned kShellGameClosing = 0x2B1B;

std::string& signedInUser()
{
    static std::string user;
    return user;
}

bool sameName(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// A sprite made from the layout element `id`, or null (logged) when the layout lacks it.
Sprite* makeFromLayout(const std::string& id)
{
    Sprite* sprite = nullptr;
    if (const TiXmlElement* element = findLayoutElement(id))
        sprite = createSpriteFromXml(element);
    if (!sprite)
        DebugLog::instance().log("The title screen has no \"" + id + "\"\n");
    return sprite;
}

// Only sprites of the expected kind are kept; anything else is freed.
template <class T> T* makeFromLayoutAs(const std::string& id)
{
    Sprite* sprite = makeFromLayout(id);
    if (auto* typed = dynamic_cast<T*>(sprite))
        return typed;
    if (sprite) {
        sprite->addRef();
        sprite->setObsolete(true);
        sprite->release();
    }
    return nullptr;
}

int modeKind(const std::string& buttonName)
{
    if (sameName(buttonName, "BUTTON_TITLE_CLASSIC"))
        return 1;
    if (sameName(buttonName, "BUTTON_TITLE_ENDLESS"))
        return 2;
    return 0;
}

const char* modeOfKind(int kind)
{
    return kind == 1 ? "CLASSIC" : "ENDLESS";
}

bool savedGameOf(const char* mode)
{
    const std::string player = GameApp::getCurrentPlayer();
    return !player.empty() && GameApp::saveGameExists(mode, player, "savegames");
}

std::string formatWithText(const std::string& format, const std::string& text)
{
    const std::size_t at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + text + format.substr(at + 2);
}

// The text with every '%' doubled, so that, put into a format, it stands for itself.
std::string literalInFormat(const std::string& text)
{
    std::string literal;
    for (char c : text) {
        literal += c;
        if (c == '%')
            literal += '%';
    }
    return literal;
}

std::string formatWithTextAndNumber(const std::string& format, const std::string& text, double number)
{
    // The description's format holds one text and one number, in that order. The text comes from the
    // saved game (a difficulty's name, or the entry it names), so it goes in as text, never as format.
    const std::string withText = formatWithText(format, literalInFormat(text));
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, withText.c_str(), number); // NOLINT: a data-set format
    return buffer;
}

} // namespace

TitleScene::TitleScene(Application* owner) : TransitionScene(owner, "SCENE_TITLE", 640, 480, 640, 480) {}

TitleScene::~TitleScene()
{
    unregisterInput();
    if (tooltipManager)
        tooltipManager->release();
}

void TitleScene::setSignedInUser(const std::string& name)
{
    signedInUser() = name;
}

std::string TitleScene::scoreListAddress(const std::string& user)
{
    // The same list the in-game menu opens; a signed-in player's own line is asked for by name.
    return ::scoreListAddress(!user.empty(), user);
}

bool TitleScene::enteredFromLoad() const
{
    // The first entry follows the load screen; a title made without it (no previous screen) counts
    // as the first entry too.
    return previousScene == nullptr || cameFrom("SCENE_LOAD");
}

GameSettings* TitleScene::playSettings() const
{
    Application* app = getOwner();
    auto* play = app ? dynamic_cast<GameScene*>(app->findScene("SCENE_PLAY")) : nullptr;
    return play ? &play->getSettings() : nullptr;
}

void TitleScene::enter()
{
    auto* tooltips = makeFromLayoutAs<TooltipManagerSprite>("TOOLTIPS_DEFAULT");
    if (tooltips)
        tooltips->addRef();
    if (tooltipManager)
        tooltipManager->release();
    tooltipManager = tooltips;

    if (SurfaceHolder* background = ResourceManager::getImage("IMAGE_TITLESCENE_BACKGROUND"))
        canvas->setBackground(background->getSurface());

    auto addButton = [&](SpriteContainer* box, const char* id, int mode, bool listens, bool tooltip) {
        auto* button = makeFromLayoutAs<ButtonBlit>(id);
        if (!button)
            return static_cast<ButtonBlit*>(nullptr);
        if (listens)
            button->setListener(this);
        if (box)
            box->addChild(button, mode);
        else
            canvas->addSprite(button);
        if (tooltip && tooltips)
            tooltips->addSource(button);
        return button;
    };

    auto* column = new SpriteContainer(60, 68, 0, 0, 0, 0, 0, 0, 0, -7);
    column->setName("SPRITE_CONTAINER");
    addButton(column, "BUTTON_TITLE_CLASSIC", SpriteContainer::PlaceBelowCenter, true, true);
    column->moveReference(0, -5);
    addButton(column, "BUTTON_TITLE_ENDLESS", SpriteContainer::PlaceBelowCenter, true, true);

    auto* small = new SpriteContainer(0, 0, 0, 0, 0, 0, 0, 0, -10, -10);
    addButton(small, "BUTTON_TITLE_HELP", SpriteContainer::PlaceBelowLeft, true, true);
    addButton(small, "BUTTON_TITLE_HIGHSCORE", SpriteContainer::PlaceRightTop, true, true);
    addButton(small, "BUTTON_TITLE_QUIT", SpriteContainer::PlaceBelowLeft, true, true);
    addButton(small, "BUTTON_TITLE_OPTIONS", SpriteContainer::PlaceLeftTop, true, true);
    small->fitSizeToChildren();

    column->moveReference(-4, 0);
    column->addChild(small, SpriteContainer::PlaceBelowCenter);
    column->fitSizeToChildren();
    canvas->addSprite(column);

    chestButton = makeFromLayoutAs<ButtonBlit>("BUTTON_TITLE_TREASURECHEST");
    if (chestButton) {
        chestButton->setListener(this);
        chestButton->setEnabled(false);
        canvas->addSprite(chestButton);
        if (tooltips)
            tooltips->addSource(chestButton);
    }

    balloon = makeFromLayoutAs<PixelFontLabel>("LABEL_TITLE_BALLOON");
    if (balloon)
        canvas->addSprite(balloon);

    closedGlow = makeFromLayoutAs<BitmapSprite>("SPRITE_TREASURECHEST_GLOW_CLOSED");
    openedGlow = makeFromLayoutAs<BitmapSprite>("SPRITE_TREASURECHEST_GLOW_OPENED");
    for (BitmapSprite* glow : {closedGlow, openedGlow}) {
        if (glow) {
            glow->setMaskColor(0xFFFFAA);
            canvas->addSprite(glow);
        }
    }
    currentGlow = closedGlow;
    if (currentGlow)
        currentGlow->setAlpha(1);
    glowRising = true;

    saveGameIcon = makeFromLayoutAs<BitmapSprite>("SPRITE_SAVEGAME_ICON");
    if (saveGameIcon) {
        saveGameIcon->setAlpha(0);
        saveGameIconY = saveGameIcon->getY();
        canvas->addSprite(saveGameIcon);
    }

    if (Sprite* arm = makeFromLayout("SPRITE_JACK_ARM_TITLE"))
        canvas->addSprite(arm);
    addButton(nullptr, "BUTTON_TITLE_CHANGENAME", 0, true, false);
    if (tooltips)
        canvas->addSprite(tooltips);
    canvas->addSprite(new Jack("SPRITE_JACK_BLINK_TITLE"));

    updateTexts();

    setTransition(nullptr);
    if (enteredFromLoad()) {
        setTransitionFromLayout("TRANSITION_LOAD_TO_TITLE");
    } else if (cameFrom("SCENE_PLAY")) {
        if (GameSettings* settings = playSettings())
            setTransitionFromLayout("TRANSITION_" + settings->mode + "_TO_TITLE");
    } else if (cameFrom("SCENE_TREASURE")) {
        setTransitionFromLayout("TRANSITION_TREASURE_TO_TITLE");
    }
    TransitionScene::enter();

    if (GameApp::getCurrentPlayer().empty())
        if (Dialog* entry = openNameEntryDialog(true))
            showDialog(entry, true);
}

void TitleScene::onTransitionFinished()
{
    if (!enteredFromLoad()) {
        GameApp::playMusic("STRING_MUSIC_SELECTIONSCREEN", 0.5f);
        Application* app = getOwner();
        if (previousScene && app)
            if (auto* left = dynamic_cast<SpriteScene*>(app->findScene(previousScene->getSceneName())))
                if (left != this && left->getCanvas()) {
                    left->getCanvas()->removeAll();
                    left->getCanvas()->removeObsolete();
                }
    }
    registerInput();
    if (chestButton)
        chestButton->setEnabled(true);
    // A game that just earned a place in the local tables shows them with its line marked; the dialog
    // takes the mark along, so it comes once per result.
    if (cameFrom("SCENE_PLAY") && GameApp::getConfig().has("lastscorerank") &&
        GameApp::getConfig().getInt("lastscorerank") > 0)
        showDialog(openHighscoreDialog(), true);
}

void TitleScene::leave()
{
    unregisterInput();
    removeAllChildren();
    balloon = nullptr;
    chestButton = nullptr;
    closedGlow = openedGlow = currentGlow = nullptr;
    saveGameIcon = nullptr;
    if (tooltipManager) {
        tooltipManager->release();
        tooltipManager = nullptr;
    }
    GameApp::fadeMusicOut(3.0f);
}

void TitleScene::updateSelf(Surface* target, const FrameTime& frameInfo)
{
    TransitionScene::updateSelf(target, frameInfo);
    animateChest();
}

Surface* TitleScene::takeSnapshot(const std::string&)
{
    return snapshotCanvas();
}

void TitleScene::updateTexts()
{
    std::string classicTip = layoutString("TOOLTIP_TITLE_START_CLASSIC");
    std::string endlessTip = layoutString("TOOLTIP_TITLE_START_ENDLESS");
    glowRising = true;
    const std::string player = GameApp::getCurrentPlayer();
    std::string welcome;
    if (player.empty()) {
        welcome = layoutString("STRING_TOOLTIP_WELCOME_NONAME");
    } else {
        // The layout reader drops the note's leading blank, so the words are kept apart here.
        const std::string savedNote = " " + layoutString("TOOLTIP_SAVEGAME");
        if (savedGameOf("CLASSIC"))
            classicTip += savedNote;
        if (savedGameOf("ENDLESS"))
            endlessTip += savedNote;
        // The player's name is text, never a format.
        welcome = formatWithText(layoutString("STRING_TOOLTIP_WELCOME"), player);
    }
    if (auto* label = dynamic_cast<PixelFontLabel*>(canvas->findSprite("LABEL_TITLE_BALLOON")))
        label->setText(welcome);
    if (auto* button = dynamic_cast<ButtonBlit*>(canvas->findSprite("BUTTON_TITLE_CLASSIC")))
        button->setTooltip(classicTip);
    if (auto* button = dynamic_cast<ButtonBlit*>(canvas->findSprite("BUTTON_TITLE_ENDLESS")))
        button->setTooltip(endlessTip);
}

void TitleScene::setTooltipsEnabled(bool enabled)
{
    if (tooltipManager)
        tooltipManager->setEnabled(enabled);
}

void TitleScene::showDialog(Dialog* dialog, bool closeOnButton)
{
    if (!dialog)
        return;
    dialog->setListener(this);
    if (!closeOnButton)
        dialog->setCloseOnButton(false);
    canvas->addSprite(dialog);
}

bool TitleScene::onClick(ButtonBlit* button)
{
    idle = false;
    if (!button)
        return false;
    const std::string& name = button->getName();
    if (sameName(name, "BUTTON_TITLE_CHANGENAME")) {
        setTooltipsEnabled(false);
        showDialog(openNameSelectDialog(), true);
    } else if (sameName(name, "BUTTON_TITLE_HELP")) {
        setTooltipsEnabled(false);
        showDialog(openHelpDialog(), true);
    } else if (sameName(name, "BUTTON_TITLE_HIGHSCORE")) {
        const std::string address = scoreListAddress(signedInUser());
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else if (sameName(name, "BUTTON_TITLE_OPTIONS")) {
        setTooltipsEnabled(false);
        showDialog(openOptionsDialog(), true);
    } else if (sameName(name, "BUTTON_TITLE_QUIT")) {
        setTooltipsEnabled(false);
        showDialog(showYesNoDialog("DIALOG_EXIT_GAME", "IMAGE_DIALOG_CLOSE_GAME",
                                   layoutString("STRING_EXITGAME_QUESTION")),
                   true);
    } else if (sameName(name, "BUTTON_TITLE_TREASURECHEST")) {
        Application* app = getOwner();
        Scene* treasure = app ? app->findScene("SCENE_TREASURE") : nullptr;
        if (treasure) {
            if (chestButton)
                chestButton->setEnabled(false);
            if (auto* screen = dynamic_cast<TransitionScene*>(treasure))
                screen->setPreviousScene(this);
            app->setPendingScene(treasure);
        }
    } else if (int kind = modeKind(name)) {
        startMode(modeOfKind(kind));
    }
    return true;
}

void TitleScene::startMode(const std::string& mode)
{
    setTooltipsEnabled(false);
    if (Application* app = getOwner())
        app->setCursorShape(2);
    GameSettings* settings = playSettings();
    if (!settings)
        return;
    settings->mode = mode;
    Dialog* dialog = nullptr;
    if (savedGameOf(mode.c_str()))
        dialog = savedGameQuestion(*settings);
    if (!dialog)
        dialog = openStartGameDialog(mode);
    showDialog(dialog, false);
}

Dialog* TitleScene::savedGameQuestion(GameSettings& settings)
{
    const std::string path = GameApp::getSaveGamePath(settings.mode, GameApp::getCurrentPlayer(), "savegames");
    TiXmlDocument document;
    const std::string error = layoutString("STRING_ERROR_READING_SAVEGAME_TEXT");
    if (!loadXMLDocument(document, path, error.c_str(), true) || document.Error())
        return nullptr;
    // The game is the first "SaveGame" child of the document's first element, whatever that is named.
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* save = root ? root->FirstChildElement("SaveGame") : nullptr;
    if (!save)
        return nullptr;
    const bool classic = settings.mode == "CLASSIC";
    const TiXmlElement* numbered = classic ? save : save->FirstChildElement("GameStats");
    double number = 0.0;
    const char* difficulty = save->Attribute("difficulty");
    // A saved game lacking what the question shows is offered as a new game instead.
    if (!numbered || !difficulty ||
        numbered->QueryDoubleAttribute(classic ? "levelnr" : "depth", &number) != TIXML_SUCCESS)
        return nullptr;
    int blockset = 0;
    int quattro = 0;
    save->QueryIntAttribute("blockset", &blockset);
    save->QueryIntAttribute("isquattro", &quattro);
    settings.difficulty = difficulty;
    settings.blockset = blockset;
    settings.quattro = quattro != 0;

    const std::string description =
        formatWithTextAndNumber(layoutString("STRING_START_SAVEGAME_DESCRIPTION_" + settings.mode),
                                layoutString("STRING_" + settings.difficulty), number);
    return showYesNoDialog("DIALOG_START_SAVEGAME_QUESTION", "IMAGE_DIALOG_START_SAVEGAME",
                           layoutString("MESSAGE_START_SAVED_GAME") + description);
}

void TitleScene::onDialogClosed(Dialog* dialog)
{
    setTooltipsEnabled(true);
    idle = true;
    if (!dialog)
        return;
    const std::string& name = dialog->getName();
    ButtonBlit* result = dialog->getResult();
    const std::string pressed = result ? result->getName() : std::string();
    GameSettings* settings = playSettings();

    if (sameName(name, "DIALOG_EXIT_GAME")) {
        if (sameName(pressed, "BUTTON_YES")) {
            if (ShellLink::get().hasShellWindow())
                ShellLink::get().postToShell(kShellGameClosing, 0, 0);
            if (Application* app = getOwner())
                app->requestQuit();
        }
    } else if (sameName(name, "DIALOG_NAME_ENTRY")) {
        if (sameName(pressed, "BUTTON_OK"))
            if (auto* entry = dynamic_cast<NameEntryDialog*>(dialog)) {
                // The optional entry lets OK through with nothing typed: the current player stays.
                if (!entry->getEnteredName().empty())
                    GameApp::selectPlayer(entry->getEnteredName());
                updateTexts();
            }
    } else if (sameName(name, "DIALOG_NAME_SELECT")) {
        if (sameName(pressed, "BUTTON_OK"))
            if (auto* list = dynamic_cast<NameSelectDialog*>(dialog)) {
                if (!list->getSelectedName().empty())
                    GameApp::selectPlayer(list->getSelectedName());
                updateTexts();
            }
    } else if (sameName(name, "DIALOG_START_GAME")) {
        auto* start = dynamic_cast<StartGameDialog*>(dialog);
        if (sameName(pressed, "BUTTON_OK") && start && settings) {
            const LayoutStringList& names = getResourceList("LIST_DIFFICULTY_NAMES");
            const int difficulty = start->getDifficulty();
            if (difficulty >= 0 && static_cast<std::size_t>(difficulty) < names.size())
                settings->difficulty = names[static_cast<std::size_t>(difficulty)];
            settings->blockset = start->getBlockSet();
            settings->quattro = start->getGroupSize() == 4;
            settings->continueSaved = 0;
            startGame();
        } else if (sameName(pressed, "BUTTON_CANCEL")) {
            canvas->removeSprite(dialog);
        }
    } else if (sameName(name, "DIALOG_START_SAVEGAME_QUESTION") && settings) {
        if (sameName(pressed, "BUTTON_YES")) {
            settings->continueSaved = 1;
            startGame();
        } else if (sameName(pressed, "BUTTON_NO")) {
            idle = false;
            canvas->removeSprite(dialog);
            showDialog(openStartGameDialog(settings->mode), false);
        }
    }
}

void TitleScene::startGame()
{
    Application* app = getOwner();
    auto* play = app ? dynamic_cast<GameScene*>(app->findScene("SCENE_PLAY")) : nullptr;
    if (!play)
        return;
    GameSettings& settings = play->getSettings();
    if (!settings.continueSaved) {
        const std::string path = GameApp::getSaveGamePath(settings.mode, GameApp::getCurrentPlayer(), "savegames");
        std::remove(compat::hostPath((path + ".!").c_str()).c_str());
        std::remove(compat::hostPath(path.c_str()).c_str());
    }
    play->setPreviousScene(this);
    StatsManager::instance().onGameStarted(settings);
    app->setPendingScene(play);
}

bool TitleScene::onEnter(ButtonBlit* button)
{
    if (!button)
        return false;
    const int kind = modeKind(button->getName());
    if (kind != 0) {
        if (saveGameIcon && savedGameOf(modeOfKind(kind))) {
            // The layout places the icon beside the classic button; it stands as far beside the button
            // whose saved game it marks.
            const Sprite* classic = canvas->findSprite("BUTTON_TITLE_CLASSIC");
            const int shift = classic ? button->getAbsoluteY() - classic->getAbsoluteY() : 0;
            saveGameIcon->setY(saveGameIconY + shift);
            saveGameIcon->setAlpha(255);
            saveGameIcon->setMaskColor(static_cast<std::uint32_t>(kind));
        }
    } else if (sameName(button->getName(), "BUTTON_TITLE_TREASURECHEST") && closedGlow && openedGlow) {
        openedGlow->setAlpha(closedGlow->getAlpha());
        closedGlow->setAlpha(0);
        currentGlow = openedGlow;
    }
    return true;
}

bool TitleScene::onLeave(ButtonBlit* button)
{
    if (!button)
        return false;
    const int kind = modeKind(button->getName());
    if (kind != 0) {
        if (saveGameIcon && saveGameIcon->getMaskColor() == static_cast<std::uint32_t>(kind))
            saveGameIcon->setAlpha(0);
    } else if (sameName(button->getName(), "BUTTON_TITLE_TREASURECHEST") && closedGlow && openedGlow) {
        closedGlow->setAlpha(openedGlow->getAlpha());
        openedGlow->setAlpha(0);
        currentGlow = closedGlow;
    }
    return true;
}

void TitleScene::animateChest()
{
    if (!chestButton || !chestButton->isEnabled() || !idle || !currentGlow || GameApp::getCurrentPlayer().empty())
        return;
    const double progress = StatsManager::instance().getTreasureProgress();
    if (!(progress > 0.0))
        return;

    const int base = currentGlow == openedGlow ? 250 : 100;
    const int n = static_cast<int>(progress * base);
    if (Random::global().nextInt(n + 300) > 288)
        makeSparkle(progress);

    const int high = static_cast<int>(std::min(progress * 128.0 + 127.0, 255.0));
    const int low = static_cast<int>(std::max(high / 1.8, 1.0));
    int alpha = currentGlow->getAlpha() + (glowRising ? 2 : -1);
    if (alpha <= low) {
        alpha = low;
        glowRising = true;
    } else if (alpha >= high) {
        alpha = high;
        glowRising = false;
    }
    currentGlow->setAlpha(alpha);
}

void TitleScene::makeSparkle(double)
{
    Surface* glowMask = currentGlow->getMask();
    Surface* sparkleMask = ResourceManager::getMask("IMAGE_SPARKLE_BIG_ALPHA");
    if (!glowMask || !sparkleMask || !glowMask->pixels())
        return;
    const SurfaceDesc& desc = glowMask->getDesc();
    const int width = std::min(currentGlow->getWidth(), static_cast<int>(desc.width));
    const int height = std::min(currentGlow->getHeight(), static_cast<int>(desc.height));
    if (width <= 0 || height <= 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(glowMask->pixels());
    for (int attempt = 0; attempt < kSparkleTries; ++attempt) {
        const int x = Random::global().nextInt(width);
        const int y = Random::global().nextInt(height);
        const std::size_t at =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(desc.pitch) + static_cast<std::size_t>(x);
        const int coverage = bytes[at];
        if (coverage == 0)
            continue;
        auto* sparkle = new Sparkle(currentGlow, sparkleMask, x, y, std::min(coverage, 180), false);
        ModifierFrame::start(sparkle, 300, 1, Modifier::OptionRemoveParent);
        sparkle->setName("SPRITE_TREASURECHEST_SPARKLE");
        sparkle->setAnchor(4);
        canvas->addSprite(sparkle);
        return;
    }
}
