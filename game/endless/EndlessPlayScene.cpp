// The endless field: its table entries, the scroll that brings new rows in from below, the speed that
// follows the depth, the top alarm with its countdown, and the rock fall of a lost game.
#include "game/endless/EndlessPlayScene.h"

#include "compat/win32/system/machine/timer.h"
#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/endless/EndlessActors.h"
#include "game/endless/EndlessLevel.h"
#include "game/field/FieldServices.h"
#include "game/stats/StatsManager.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/strings/StringUtils.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationFollow.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/ScrollSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

const ClassRecord EndlessPlayScene::classRecord("EndlessPlayScene", &PlayScene::classRecord);

std::string formatDepth(const std::string& format, double depth)
{
    // Find the conversions; "%%" is a literal percent sign.
    int conversions = 0;
    bool floating = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        ++conversions;
        std::size_t j = i + 1;
        while (j < format.size() && std::strchr("-+ #0", format[j]))
            ++j;
        while (j < format.size() && (std::isdigit(static_cast<unsigned char>(format[j])) || format[j] == '.'))
            ++j;
        floating = j < format.size() && std::strchr("fFeEgG", format[j]);
        i = j;
    }
    char text[256];
    if (conversions == 1 && floating) {
        const int written = std::snprintf(text, sizeof text, format.c_str(), depth);
        if (written >= 0)
            return text;
    }
    std::snprintf(text, sizeof text, "%.1f", depth);
    return format + text;
}

EndlessPlayScene::EndlessPlayScene(GameSettings* gameSettings) : PlayScene(gameSettings)
{
    endlessLevel = dynamic_cast<EndlessLevel*>(level);
    requirePlayable("Endless", "an endless", endlessLevel != nullptr);

    setSharedActions();
    setAction(PlayPhase::LevelUp, PlayEvent::StepDone, PlayAction::SettleField);
    setAction(PlayPhase::Menu, PlayEvent::MenuLeave, PlayAction::EndlessEnd);
    setAction(PlayPhase::GameOver, PlayEvent::DialogClosed, PlayAction::EndlessEnd);
    setAction(PlayPhase::EndlessEnd, PlayEvent::StepDone, PlayAction::Leave);

    // The menu button slides in from the left, the depth label beside it.
    const int buttonWidth = menuButton->getWidth();
    menuButton->setAlpha(0);
    menuButton->setX(-buttonWidth);
    // Without its fade the button would slide in at alpha 0 and never be seen.
    ModifierAlpha::start(menuButton, 0, 255, 1.0f, Modifier::OptionBlocking);
    if (ModifierLocationLine* move =
            ModifierLocationLine::start(menuButton, menuButton->getX(), 0, 0, 0, 0.05f, Modifier::OptionBlocking)) {
        move->setAdjustY(false);
        move->setEaseInOut(true);
    }
    if (const TiXmlElement* element = findLayoutElement("LABEL_DEPTH_ENDLESS"))
        depthLabel = dynamic_cast<PixelFontLabel*>(createSpriteFromXml(element));
    if (depthLabel) {
        depthLabel->addRef();
        depthLabel->fitHeightToText();
        const int home = depthLabel->getX();
        if (ModifierLocationLine* move = ModifierLocationLine::start(depthLabel, home - buttonWidth, 0, home, 0, 0.05f,
                                                                     Modifier::OptionBlocking)) {
            move->setAdjustY(false);
            move->setEaseInOut(true);
        }
        depthLabel->setX(home - buttonWidth);
    }
    if (const TiXmlElement* element = findLayoutElement("SCROLL_GAME_ENDLESS"))
        scrollSprite = dynamic_cast<ScrollSprite*>(createSpriteFromXml(element));
    if (!scrollSprite)
        scrollSprite = new ScrollSprite;
    scrollSprite->addRef();

    SurfaceHolder* bottomImage = ResourceManager::getImage("IMAGE_GAME_ENDLESS_MINE_BOTTOM");
    auto* bottom = new BitmapSprite(bottomImage ? bottomImage->getSurface() : nullptr,
                                    bottomImage ? bottomImage->getMask() : nullptr);
    bottom->fitSizeToImage();
    bottom->setPosition(level->getX(),
                        level->getY() + (level->getRows() + 1) * level->getBlockHeight() - bottom->getHeight());
    bottom->addRef();
    mineBottom = bottom;

    // The miner rides in the elevator cart, which waits above the screen's top right corner.
    jack = new JackEndless;
    jack->addRef();
    jack->addStateFlags(StateRelative);
    auto* cart = new MineCartEndless(level->getLevelNumber(), jack);
    cart->addRef();
    mineCart = cart;
    if (settings->continueSaved && savedGame) {
        int gold = 0;
        savedGame->QueryIntAttribute("minecartgoldamount", &gold);
        cart->setGoldLevel(gold);
    }
    cart->setPosition(getResourceInt("INT_GAME_WIDTH") - cart->getWidth(), -cart->getHeight());

    addStateFlags(4);
    setPhase(PlayPhase::Created);
}

EndlessPlayScene::~EndlessPlayScene()
{
    if (auto* cart = dynamic_cast<MineCartEndless*>(mineCart))
        cart->dropRider();
    if (jack)
        jack->setParent(nullptr);
    dropSprite(jack);
    dropSprite(mineCart);
    dropSprite(scrollSprite);
    dropSprite(mineBottom);
    dropSprite(depthLabel);
}

double EndlessPlayScene::getScrollPosition() const
{
    return scrollSprite ? scrollSprite->getScrollOffset() : 0.0;
}

void EndlessPlayScene::onAddedToCanvas()
{
    PlayScene::onAddedToCanvas();
    if (!canvas)
        return;
    addSpriteAtLayer(scrollSprite, "LAYER_BACKGROUND");
    addSpriteAtLayer(mineBottom, "LAYER_MINEBOTTOM");
    addSpriteAtLayer(mineCart, "LAYER_MINECART");
    if (jack && mineCart && mineCart->getCanvas() == canvas)
        canvas->addSpriteAfter(jack, mineCart);
    if (depthLabel && menuButton && menuButton->getCanvas() == canvas) {
        const int at = canvas->indexOf(menuButton);
        canvas->addSprite(depthLabel);
        if (at >= 0)
            canvas->moveSprite(depthLabel, at + 1);
    }
    updateDepthLabel();
    registerInput();
    setPhase(PlayPhase::Shown);
}

void EndlessPlayScene::onRemovedFromCanvas()
{
    SpriteCanvas* owner = canvas;
    PlayScene::onRemovedFromCanvas();
    if (owner) {
        for (Sprite* sprite : {static_cast<Sprite*>(scrollSprite), mineBottom, static_cast<Sprite*>(depthLabel),
                               static_cast<Sprite*>(mineCart), static_cast<Sprite*>(jack)})
            if (sprite && sprite->getCanvas() == owner)
                owner->removeSprite(sprite);
    }
    if (jack)
        jack->setParent(nullptr);
    unregisterInput();
}

void EndlessPlayScene::sendEvent(int event)
{
    switch (getAction(phase, event)) {
    case PlayAction::Begin: setPhase(PlayPhase::Starting); break;
    case PlayAction::StartGame: startGame(); break;
    case PlayAction::SpeedUp: speedUp(); break;
    case PlayAction::GoldDone: goldDone(); break;
    case PlayAction::EndlessEnd: setPhase(PlayPhase::EndlessEnd); break;
    default: PlayScene::sendEvent(event); break;
    }
}

void EndlessPlayScene::startGame()
{
    const std::uint32_t now = timeGetTime();
    beginLevelStart(now);
    level->startLevel();

    if (!settings->continueSaved || !savedGame) {
        speedUpActive = true;
        saveState = SaveState::Playing;
        level->createInitialLines();
        startLevelTimers(now, false);
        fillNewRow();
    } else {
        int inProgress = 0;
        savedGame->QueryIntAttribute("isgameinprogress", &inProgress);
        saveState = inProgress != 0 ? SaveState::Playing : SaveState::Ended;
        level->loadState(savedGame);
        double offset = 0.0;
        savedGame->QueryDoubleAttribute("levelypos", &offset);
        // The game writes a whole number of pixels; what no game writes (not a number, beyond int) came
        // from a damaged file and counts as missing.
        if (!std::isfinite(offset) || offset < std::numeric_limits<int>::min() ||
            offset > std::numeric_limits<int>::max())
            offset = 0.0;
        scrollSprite->scroll(-offset);
        speedUpActive = false;
        const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_" + getName());
        for (int i = 0; i < level->getColumns(); ++i)
            if (Block* block = level->getNewRowBlock(i)) {
                block->setClipRectFrom(&clip);
                block->setY(level->getY() + level->getRows() * level->getBlockHeight());
                if (canvas)
                    block->addToCanvas(canvas);
            }
        resumeSavedTimers(false);
    }

    finishLevelStart(now, getResourceFloat("INT_LEVEL_RESUME_FADE_SPEED_ENDLESS"));
    endlessLevel->setScrollPosition(getScrollPosition());
    baseSpeed = endlessLevel->getSpeed();
    speedUpRow = level->getRowsAdded();
    scrollSprite->setSpeed(baseSpeed, 0);
    setPhase(PlayPhase::Intro);
}

void EndlessPlayScene::speedUp()
{
    if (level->isTopReached() || speedUpActive)
        return;
    speedUpActive = true;
    speedUpUsed = true;
    speedUpRow = level->getRowsAdded();
}

void EndlessPlayScene::goldDone()
{
    // The selected gold flies into the cart, piece by piece; its points count at once, the floaters of
    // the level-up phase only show them.
    const LayoutIntegerList& xOffsets = getResourceVector("INT_MINE_CART_GOLD_XOFFSET_ENDLESS");
    const LayoutIntegerList& yOffsets = getResourceVector("INT_MINE_CART_GOLD_YOFFSET_ENDLESS");
    const int perGold = propertyInt("INT_SCORE_PER_GOLD");
    Sprite* cartGold = mineCart ? static_cast<Sprite*>(mineCart->getGoldSprite()) : nullptr;
    if (!cartGold)
        cartGold = mineCart;
    int n = 0;
    for (int x = level->getColumns() - 1; x >= 0; --x)
        for (int y = level->getRows() - 1; y >= 0; --y) {
            Block* block = level->getBlock(x, y);
            if (!block || block->getType() != BlockTypeGold || block->getState() != 2)
                continue;
            score.set(score.get() + perGold);
            Sprite* gold = block->getIcon();
            if (!gold || !cartGold) {
                ++n;
                continue;
            }
            takeGoldIcon(block, cartGold, 20.0 * n);
            const int last = static_cast<int>(xOffsets.size()) - 1;
            const int wanted = n + std::max(0, mineCart->getGoldLevel());
            const int k = last < 0 ? -1 : std::min(wanted, last);
            const int dx = k >= 0 ? xOffsets[static_cast<std::size_t>(k)] : 0;
            const int dy = k >= 0 && k < static_cast<int>(yOffsets.size()) ? yOffsets[static_cast<std::size_t>(k)] : 0;
            ModifierLocationFollow::start(gold, cartGold, static_cast<float>(dx), static_cast<float>(dy), 1.0f, 1.0f,
                                          true, Modifier::OptionBlocking);
            ModifierSound::start(gold, "SOUND_GOLD_INTO_CART", Modifier::OptionRemoveParent);
            ++n;
        }
    if (headerSprite && canvas)
        if (Sprite* floaters = getLayerMarker("LAYER_FLOATERS")) {
            const int at = canvas->indexOf(floaters);
            if (at >= 0)
                canvas->moveSprite(headerSprite, at);
        }
    if (jack)
        jack->setPose(3);
    startLevelUp();
}

void EndlessPlayScene::runLevelUp()
{
    if (!pendingSprites.empty()) {
        // The points counted when the gold left the field; a cart on its own way up does not rock.
        landGoldIcons(propertyInt("INT_SCORE_PER_GOLD"), [this] {
            auto* cart = dynamic_cast<MineCartEndless*>(mineCart);
            return cart && cart->getModifiers().empty() && !cart->isLeaving();
        });
        return;
    }
    if (subStep != 0)
        return;
    subStep = 1;
    level->applyGravity();
    if (jack && jack->getPose() == 3)
        jack->setPose(1);
    sendEvent(PlayEvent::StepDone);
}

int EndlessPlayScene::clearBonusPoints()
{
    return propertyInt("INT_SCORE_PER_CLEAR");
}

int EndlessPlayScene::clearBonusFactor()
{
    return gameStats.clearcount.get() + levelStats.clearcount.get();
}

void EndlessPlayScene::updatePhase()
{
    switch (phase) {
    case PlayPhase::Shown: sendEvent(PlayEvent::StepDone); break;
    case PlayPhase::Intro:
        if (level->getLevelNumber() == 1 || phaseFrames() > 3)
            sendEvent(PlayEvent::StepDone);
        break;
    case PlayPhase::LevelUp: runLevelUp(); break;
    case PlayPhase::RockFall: updateRockFall(); break;
    case PlayPhase::EndlessEnd: updateEndlessEnd(); break;
    default: PlayScene::updatePhase(); break;
    }
}

void EndlessPlayScene::updateRockFall()
{
    PlayScene::updateRockFall({"LAYER_MENU_BUTTON", level->getBlockHeight(), true, 35});
}

void EndlessPlayScene::updateEndlessEnd()
{
    if (subStep == 0) {
        if (menuButton) {
            const int width = menuButton->getWidth();
            if (ModifierLocationLine* move = ModifierLocationLine::start(menuButton, menuButton->getX(), 0, -width, 0,
                                                                         0.2f, Modifier::OptionBlocking)) {
                move->setAdjustY(false);
                move->setEaseInOut(true);
            }
            if (depthLabel)
                if (ModifierLocationLine* move =
                        ModifierLocationLine::start(depthLabel, depthLabel->getX(), 0,
                                                    depthLabel->getX() - menuButton->getX() - width, 0, 0.2f,
                                                    Modifier::OptionBlocking)) {
                    move->setAdjustY(false);
                    move->setEaseInOut(true);
                }
        }
        subStep = 1;
    } else if (subStep == 1) {
        if (menuButton && !menuButton->getModifiers().empty())
            return;
        subStep = 2;
        sendEvent(PlayEvent::StepDone);
    }
}

void EndlessPlayScene::updateGame()
{
    const double position = getScrollPosition();
    const int h = level->getBlockHeight();
    const int rowsAdded = level->getRowsAdded();

    if (phaseFrames() > 25 && subStep == 0) {
        subStep = 1;
        FieldServices::get().fadeMusicIn(0.5f);
    }

    // The next row is due but the top row is occupied: the field stands still and the countdown runs.
    const bool blocked = (rowsAdded + 1) * h + position < 0 && level->isTopReached();
    const Block* top = level->getTopBlock();
    const int freeHeight = top ? top->getY() - level->getY() : level->getRows() * h;
    const bool nearTop = freeHeight <= getResourceInt("INT_ENDLESS_SLOWDOWN_HEIGHT");

    if (blocked && !topAlarm) {
        topAlarm = true;
        showTopRowWarnings();
        playSound("SOUND_TOP_REACHED", 255);
        FieldServices::get().fadeMusicHalf(0.5f);
        if (jack)
            jack->setPose(4);
    } else if (!blocked && topAlarm) {
        topAlarm = false;
        if (earthquakeChannel != -1) {
            stopSound(earthquakeChannel);
            FieldServices::get().fadeMusicIn(0.5f);
            earthquakeChannel = -1;
        }
        if (jack)
            jack->setPose(1);
    }

    const bool hourglass = hourglassTimer.isRunning();
    updateGameOverTimer(!hourglass && blocked);
    if (phase != PlayPhase::Playing)
        return;

    if (position <= -(speedUpRow + 1.0) * h)
        speedUpActive = false;

    float speed = endlessLevel->getSpeed();
    if (speedUpActive)
        speed = getResourceFloat("FLOAT_ENDLESS_SPEEDUP_SCROLL_SPEED");
    else if (nearTop)
        speed *= getResourceFloat("FLOAT_ENDLESS_SLOWDOWN_SCROLL_SPEED_MULTIPLIER");
    scrollSprite->setSpeed(speed, 0);

    if (hourglass && !speedUpActive)
        updateHourglass();
    else if (!blocked)
        scrollSprite->tick();

    const double scrolled = getScrollPosition();
    endlessLevel->setScrollPosition(scrolled);
    while (level->scrollRemainder() < 0 && !level->isTopReached()) {
        speedUpActive = false;
        level->insertRow();
        fillNewRow();
        clearSelection();
    }
    endlessLevel->setScrollPosition(scrolled);

    updateDepthLabel();
    gameStats.depth = endlessLevel->getDepth();

    if (auto* cart = dynamic_cast<MineCartEndless*>(mineCart)) {
        cart->followScroll(scrolled);
        // A full cart rises out of the screen once the last gold has landed.
        if (!cart->isLeaving() && cart->getGoldLevel() >= cart->getStageCount() && cart->getStageCount() > 0 &&
            level->getRemovingCount() == 0) {
            cart->setLeaving(true);
            dropModifiers(cart);
            if (ModifierLocationLine* move = ModifierLocationLine::start(
                    cart, cart->getX(), cart->getY(), cart->getX(), -cart->getHeight(),
                    getResourceFloat("FLOAT_ENDLESS_MINE_CART_DELIVER_SPEED"), Modifier::OptionBlocking)) {
                move->setAdjustX(false);
                move->setEaseInOut(true);
            }
        }
    }

    if (endlessLevel->isLevelEnd()) {
        gameStats.add(levelStats);
        levelStats.reset();
        level->setLevelNumber(level->getLevelNumber() + 1);
        level->startLevel();
    }

    PlayScene::updateGame();
}

void EndlessPlayScene::fillNewRow()
{
    const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_" + getName());
    for (int i = 0; i < level->getColumns(); ++i) {
        Block* block = endlessLevel->makeWaitingBlock();
        if (!block)
            continue;
        block->setClipRectFrom(&clip);
        if (canvas)
            block->addToCanvas(canvas);
    }
}

void EndlessPlayScene::putBlocksOnCanvas(bool hide)
{
    PlayScene::putBlocksOnCanvas(hide);
    if (!hide)
        return;
    for (Block* block : level->getNewRow())
        if (block)
            block->setAlpha(0);
}

void EndlessPlayScene::updateDepthLabel()
{
    if (!depthLabel)
        return;
    depthLabel->setText(formatDepth(getResourceString("STRING_DEPTH_LABEL_TEMPLATE"), endlessLevel->getDepth()));
}

void EndlessPlayScene::saveModeState(TiXmlElement* element)
{
    if (!element)
        return;
    // Whole pixels, truncated; a position beyond int (never reached in play) is held at its bound.
    const double position = getScrollPosition();
    const double bounded = std::isfinite(position) ? std::clamp(position, static_cast<double>(std::numeric_limits<int>::min()),
                                                                static_cast<double>(std::numeric_limits<int>::max()))
                                                   : 0.0;
    element->SetAttribute("levelypos", static_cast<int>(bounded));
    element->SetAttribute("minecartgoldamount", mineCart ? mineCart->getGoldAmount() : 0);
}

void EndlessPlayScene::openDialog(int kind)
{
    if (kind != PlayDialog::GameOver)
        return PlayScene::openDialog(kind);
    const std::vector<std::string> texts = {"STRING_GAMEOVER_DEPTH_REACHED", "STRING_GAMEOVER_SCORE",
                                            "STRING_GAMEOVER_BLOCKS", "STRING_GAMEOVER_GOLD",
                                            "STRING_GAMEOVER_TREASURES_FOUND"};
    const std::vector<std::string> values = {
        formatDepth(getResourceString("STRING_GAMEOVER_DEPTH_FORMAT"), gameStats.depth), intToString(shownScore.get()),
        intToString(gameStats.blocksremoved.get()), intToString(gameStats.gold),
        intToString(static_cast<int>(gameStats.acquiredTreasures.size()))};
    openStatsDialog("STRING_GAMEOVER_HEADER", texts, values, "DIALOG_HIGHSCORE_STATS");
}
