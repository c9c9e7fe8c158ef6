// The play field's life outside the phase machine: construction of a new or restored game, the layers
// and widgets it puts on the canvas, the score count-up of every frame, and the player's input.
#include "game/field/PlayScene.h"

#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/effects/HintSprite.h"
#include "game/field/FieldServices.h"
#include "game/field/GroupScore.h"
#include "game/level/Level.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "runtime/strings/StringUtils.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/modifier/ModifierLocationWave.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <algorithm>

bool scorePending = false;
int uploadScore = 0;
int scoreUploadState = 0;
int scoreUploadResult = 0;

const ClassRecord PlayScene::classRecord("PlayScene", &Sprite::classRecord);

int PlayScene::shineFrameCounter = 0;
int PlayScene::treasureBlinkStart = 0;
BitmapFont* PlayScene::floaterFont = nullptr;
BitmapFont* PlayScene::bigFont = nullptr;

const char* const PlayScene::kLayerNames[kLayerCount] = {
    "LAYER_BACKGROUND",  "LAYER_BLOCKS",       "LAYER_SPECIALBLOCKS", "LAYER_STARS",
    "LAYER_GOLD",        "LAYER_SHINES",       "LAYER_LARGE_BLOCKICONS", "LAYER_TREASURES",
    "LAYER_SMALL_BLOCKICONS", "LAYER_WARNINGS", "LAYER_MINEBOTTOM",   "LAYER_SCORELABEL",
    "LAYER_HINTDIALOG",  "LAYER_MENU",         "LAYER_PIPE",          "LAYER_JACK",
    "LAYER_MINECART",    "LAYER_MENU_BUTTON",  "LAYER_FLYING_GOLD",   "LAYER_SPARKLES",
    "LAYER_FLOATERS",    "LAYER_TOP",
};

namespace {

void logMissing(const std::string& what, const std::string& id)
{
    DebugLog::instance().log("Play field: no " + what + " \"" + id + "\" in the layout; going on without it\n");
}

// A sprite of the layout element `id` that is of kind T, or null (logged) when the layout lacks it.
template <class T> T* createFromLayout(const std::string& id, const char* what)
{
    const TiXmlElement* element = findLayoutElement(id);
    Sprite* sprite = element ? createSpriteFromXml(element) : nullptr;
    T* made = dynamic_cast<T*>(sprite);
    if (!made) {
        if (sprite) {
            sprite->addRef();
            sprite->release();
        }
        logMissing(what, id);
        return nullptr;
    }
    made->addRef();
    return made;
}

} // namespace

PlayScene::PlayScene(GameSettings* gameSettings) : settings(gameSettings)
{
    static GameSettings fallbackSettings;
    if (!settings)
        settings = &fallbackSettings;

    const std::string& mode = settings->mode;
    const std::string& difficulty = settings->difficulty;

    bool restored = false;
    if (settings->continueSaved)
        restored = restoreSavedGame();
    if (!restored) {
        // A new game (also when the saved game could not be taken up).
        shownScore.set(0);
        score.set(0);
        const LayoutIntegerList& counts = getResourceVector("LIST_HINT_COUNTS_PER_GAME");
        const int n = std::min(static_cast<int>(counts.size()), kHintKinds);
        for (int i = 0; i < n; ++i)
            hintCounts[i] = counts[static_cast<std::size_t>(i)];
        hourglassTimer.stop();
        treasureTimer.stop();
    }

    setName(mode);
    setBoundsFrom(getResourceRect("RECT_" + mode + "_GAME_SIZE_AND_POSITION"));
    scoreMultiplier = getResourceFloat("FLOAT_SCORE_MULTIPLIER_" + difficulty);
    Block::setBlockSet(settings->blockset);

    Properties& config = FieldServices::get().getConfig();
    config.setInt("game_x", getX());
    config.setInt("game_y", getY());
    config.setInt("game_width", getWidth());
    config.setInt("game_height", getHeight());

    const std::string levelId = "LEVEL_" + difficulty + "_" + mode;
    level = createFromLayout<Level>(levelId, "level");
    if (level) {
        level->setPosition(getX(), getY());
        level->setPlayField(this);
        int levelNumber = 1;
        if (savedGame && savedGame->QueryIntAttribute("levelnr", &levelNumber) != TIXML_SUCCESS)
            levelNumber = 1;
        level->setLevelNumber(std::max(levelNumber, 1));
    }

    for (int phaseIndex = 0; phaseIndex < PlayPhase::Count; ++phaseIndex)
        for (int event = 0; event < PlayEvent::Count; ++event)
            actionTable[phaseIndex][event] = PlayAction::None;
    for (auto& row : actionTable)
        row[PlayEvent::Pause] = PlayAction::RequestMenu;
    // While the menu is open a further request would only reopen it right after the player resumes.
    actionTable[PlayPhase::Menu][PlayEvent::Pause] = PlayAction::None;

    readStarColours();
    createLayerMarkers();
    floaterFont = ResourceManager::getFont("FONT_FLOATER");
    bigFont = ResourceManager::getFont("FONT_BIG");
    createButtonsAndLabel();

    setPhase(PlayPhase::Created);
    movieState().y = 188;
}

PlayScene::~PlayScene()
{
    if (openDialogSprite) {
        if (auto* dialog = dynamic_cast<Dialog*>(openDialogSprite))
            if (dialog->getListener() == this)
                dialog->setListener(nullptr);
    }
    if (menuButton)
        menuButton->setListener(nullptr);
    if (newRowButton)
        newRowButton->setListener(nullptr);
    unregisterInput();

    savedGame = nullptr;
    delete savedDocument;
    savedDocument = nullptr;
    dropSprite(openDialogSprite);
    dropSprite(headerSprite);
    dropSprite(statsDialog);
    if (level)
        level->setPlayField(nullptr);
    dropSprite(level);
    for (Sprite* sprite : pendingSprites)
        sprite->release();
    pendingSprites.clear();
    dropSprite(droppedTreasure);
    dropSprite(treasureSprite);
    dropSprite(hourglassSprite);
    dropSprite(previewFloater);
    for (Sprite*& marker : layers)
        dropSprite(marker);
    dropSprite(hint);
    dropSprite(scoreLabel);
    dropSprite(menuButton);
    dropSprite(newRowButton);
    dropSprite(jack);
    dropSprite(mineCart);
}

void PlayScene::readStarColours()
{
    StarColourTable table;
    PropertyManager* store = LayoutDocument::propertyStore();
    if (store) {
        try {
            table.read(*store);
        } catch (const GameException&) {
            DebugLog::instance().log("Play field: star colours missing from the properties; stars stay black\n");
        }
    }
    for (int type = 0; type < kStarTypes; ++type)
        for (int colour = 0; colour < kStarColours; ++colour)
            starColours[type][colour] = table.get(type, colour);
}

std::uint32_t PlayScene::getStarColour(int type, int colour) const
{
    if (type < 0 || type >= kStarTypes)
        return 0;
    if (colour < 0 || colour >= kStarColours)
        colour = 0;
    return starColours[type][colour];
}

void PlayScene::createLayerMarkers()
{
    for (int i = 0; i < kLayerCount; ++i) {
        auto* marker = new Sprite(0, 0, 0, 0);
        marker->addRef();
        marker->setName(kLayerNames[i]);
        layers[i] = marker;
    }
}

void PlayScene::createButtonsAndLabel()
{
    const std::string& mode = settings->mode;
    menuButton = createFromLayout<ButtonBlit>("BUTTON_GAME_MENU_" + mode, "menu button");
    if (menuButton)
        menuButton->setListener(this);

    scoreLabel = createFromLayout<PixelFontLabel>("LABEL_SCORE_" + mode, "score label");
    if (scoreLabel) {
        scoreLabel->setText(intToString(shownScore.get()));
        scoreLabel->setWidth(300);
        BitmapFont* font = scoreLabel->getFont();
        scoreLabel->setHeight((font ? font->getLineHeight() : 0) + 6);
        scoreLabel->invalidate();
    }

    if (mode == "CLASSIC") {
        newRowButton = createFromLayout<ButtonBlit>("BUTTON_NEW_ROW", "new-row button");
        if (newRowButton)
            newRowButton->setListener(this);
    }
}

Sprite* PlayScene::getLayerMarker(const char* layer) const
{
    for (int i = 0; i < kLayerCount; ++i)
        if (std::string(kLayerNames[i]) == layer)
            return layers[i];
    return nullptr;
}

void PlayScene::addSpriteAtLayer(Sprite* sprite, const char* layer)
{
    if (!sprite || !canvas)
        return;
    Sprite* marker = getLayerMarker(layer);
    if (marker && marker->getCanvas() == canvas)
        canvas->addSpriteBefore(sprite, marker);
    else
        canvas->addSprite(sprite);
}

void PlayScene::onAddedToCanvas()
{
    Sprite::onAddedToCanvas();
    if (!canvas)
        return;
    for (int i = 0; i < kLayerCount; ++i)
        canvas->addSprite(layers[i]);
    if (scoreLabel)
        addSpriteAtLayer(scoreLabel, "LAYER_SCORELABEL");
    if (menuButton)
        addSpriteAtLayer(menuButton, "LAYER_MENU_BUTTON");
    if (newRowButton)
        addSpriteAtLayer(newRowButton, "LAYER_PIPE");
}

void PlayScene::onRemovedFromCanvas()
{
    unregisterInput();
    if (auto* dialog = dynamic_cast<Dialog*>(openDialogSprite))
        dialog->setListener(nullptr);
    if (SpriteCanvas* owner = canvas) {
        for (Sprite* marker : layers)
            owner->removeSprite(marker);
        if (scoreLabel)
            owner->removeSprite(scoreLabel);
        if (menuButton)
            owner->removeSprite(menuButton);
        if (newRowButton)
            owner->removeSprite(newRowButton);
    }
    Sprite::onRemovedFromCanvas();
}

void PlayScene::tick()
{
    updatePhase();

    const int shown = shownScore.get();
    const int target = score.get();
    if (shown < target) {
        const int gap = target - shown;
        int step = 1;
        if (gap > 2000)
            step = 1000;
        else if (gap > 200)
            step = 100;
        else if (gap > 20)
            step = 10;
        const FrameRate& rate = getFrameRate();
        const double factor =
            rate.getPeriod() > 0.0f ? static_cast<double>(rate.getElapsedSeconds()) / rate.getPeriod() : 0.0;
        // Never past the score: a long frame would otherwise show more than was earned.
        const int next = std::min(target, static_cast<int>(shown + step * factor));
        shownScore.set(next);
        if (scoreLabel)
            scoreLabel->setText(intToString(next));
    }

    uploadScore = shownScore.get();
    if (scorePending)
        updateScoreUpload();
}

int PlayScene::phaseFrames() const
{
    return phaseTimer.getElapsedScaled(getFrameRate().getRate());
}

void PlayScene::requirePlayable(const char* field, const char* kind, bool levelOfKind) const
{
    const std::string prefix = std::string(field) + " field: ";
    const std::string levelId = "LEVEL_" + settings->difficulty + "_" + settings->mode;
    if (!level)
        throw GameTextException(0, (prefix + "the layout has no level \"%s\"\n").c_str(), levelId.c_str());
    if (!levelOfKind)
        throw GameTextException(0, (prefix + "the layout's level \"%s\" is not " + kind + " level\n").c_str(),
                                levelId.c_str());
    if (!menuButton) {
        const std::string id = "BUTTON_GAME_MENU_" + settings->mode;
        throw GameTextException(0, (prefix + "the layout has no menu button \"%s\"\n").c_str(), id.c_str());
    }
}

int PlayScene::propertyInt(const char* id)
{
    Application* app = Application::instance();
    PropertyManager* store = app ? app->getPropertyManager() : nullptr;
    if (!store)
        throw GameTextException(0, "ID not found: %s\n", id);
    return store->getInteger(id);
}

Sprite* PlayScene::takeGoldIcon(Block* block, Sprite* cartGold, double delay)
{
    Sprite* gold = block->getIcon();
    gold->addRef();
    pendingSprites.push_back(gold);
    block->removeIcon();
    if (canvas && cartGold && gold->getCanvas() == canvas) {
        const int at = canvas->indexOf(cartGold);
        if (at >= 0)
            canvas->moveSprite(gold, at);
    }
    gold->setClipRect(0, 0, getResourceInt("INT_GAME_WIDTH"), getResourceInt("INT_GAME_HEIGHT"));
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(gold))
        bitmap->setAlpha(255);
    ModifierFrame::start(gold, getResourceInt("INT_TOOL_ICON_REMOVE_MOVES_PER_FRAME"), 2, Modifier::OptionBlocking);
    ModifierDelay::start(gold, delay, Modifier::OptionBlocking);
    return gold;
}

int PlayScene::landGoldIcons(int points, const std::function<bool()>& cartMayRock)
{
    int landed = 0;
    std::vector<Sprite*> flying;
    for (Sprite* gold : pendingSprites) {
        if (!gold->isObsolete()) {
            flying.push_back(gold);
            continue;
        }
        ++landed;
        createFloater("+" + intToString(points), gold->getX(), gold->getY(), 0xFFFFFF);
        if (mineCart) {
            mineCart->setGoldLevel(std::max(0, mineCart->getGoldLevel()) + 1);
            if (cartMayRock())
                if (ModifierLocationWave* wave = ModifierLocationWave::start(mineCart, mineCart->getX(),
                                                                             mineCart->getY(), 4, 0, 0.0f, 100.0f,
                                                                             0.06f, 0.004f, 1))
                    wave->setAdjustX(false);
        }
        gold->release();
    }
    pendingSprites.swap(flying);
    return landed;
}

void PlayScene::startLevelUp()
{
    if (mouseCellX >= 0 && mouseCellY >= 0)
        if (Block* hovered = level->getBlock(mouseCellX, mouseCellY))
            level->removeGroup(hovered, 0);
    setPhase(PlayPhase::LevelUp);
}
