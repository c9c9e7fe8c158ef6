// The classic field: its table entries, the pipe and the rising rows, the start of each level, the rock
// fall of a lost game and the end of a level (gold into the cart, line bonus, statistics, cart change).
#include "game/field/ClassicPlayScene.h"

#include "compat/win32/system/machine/timer.h"
#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/block/TempBlock.h"
#include "game/effects/Sparkle.h"
#include "game/field/FieldServices.h"
#include "game/level/ClassicLevel.h"
#include "game/stats/StatsManager.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/strings/StringUtils.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationCubic.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>

const ClassRecord ClassicPlayScene::classRecord("ClassicPlayScene", &PlayScene::classRecord);

namespace {

// The colour of the score floaters, as the group click's.
constexpr std::uint32_t kFloaterColour = 0xFFFFFF;

// Phase-timer reading of the last line-bonus step, shared like the other counters of the program.
double lineBonusLastStep = 0.0;

void setOpacity(Sprite* sprite, int alpha)
{
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(sprite))
        bitmap->setAlpha(alpha);
}

// A decoration of the layout, referenced by the field; null (logged) when the layout lacks it.
Sprite* layoutSprite(const char* id)
{
    const TiXmlElement* element = findLayoutElement(id);
    Sprite* sprite = element ? createSpriteFromXml(element) : nullptr;
    if (!sprite) {
        DebugLog::instance().log(std::string("Classic field: no sprite \"") + id + "\" in the layout\n");
        return nullptr;
    }
    sprite->addRef();
    return sprite;
}

} // namespace

ClassicPlayScene::ClassicPlayScene(GameSettings* gameSettings) : PlayScene(gameSettings)
{
    classicLevel = dynamic_cast<ClassicLevel*>(level);
    requirePlayable("Classic", "a classic", classicLevel != nullptr);

    setActionTable(*this);

    background = layoutSprite("SPRITE_PLAYSCENE_BACKGROUND_CLASSIC");
    pipeTop = layoutSprite("SPRITE_PIPE_TOP_CLASSIC");
    pipeBottom = layoutSprite("SPRITE_PIPE_BOTTOM_CLASSIC");

    jack = new JackClassic;
    jack->addRef();
    mineCart = new MineCartClassic(level->getLevelNumber());
    mineCart->addRef();

    addStateFlags(4);
    setPhase(PlayPhase::Created);
}

ClassicPlayScene::~ClassicPlayScene()
{
    dropSprite(jack);
    dropSprite(mineCart);
    emptyPipe();
    dropSprite(background);
    dropSprite(pipeTop);
    dropSprite(pipeBottom);
}

void ClassicPlayScene::emptyPipe()
{
    std::vector<TempBlock*> held;
    held.swap(pipe);
    for (TempBlock* block : held)
        block->release();
}

void ClassicPlayScene::onAddedToCanvas()
{
    PlayScene::onAddedToCanvas();
    if (!canvas)
        return;
    addSpriteAtLayer(background, "LAYER_BACKGROUND");
    addSpriteAtLayer(pipeTop, "LAYER_PIPE");
    addSpriteAtLayer(pipeBottom, "LAYER_PIPE");
    addSpriteAtLayer(mineCart, "LAYER_MINECART");
    addSpriteAtLayer(jack, "LAYER_JACK");
    registerInput();
    setPhase(PlayPhase::Shown);
}

void ClassicPlayScene::onRemovedFromCanvas()
{
    SpriteCanvas* owner = canvas;
    PlayScene::onRemovedFromCanvas();
    emptyPipe();
    if (owner) {
        for (Sprite* sprite : {background, static_cast<Sprite*>(jack), pipeTop, pipeBottom,
                               static_cast<Sprite*>(mineCart)})
            if (sprite && sprite->getCanvas() == owner)
                owner->removeSprite(sprite);
    }
    unregisterInput();
}

void ClassicPlayScene::setActionTable(PlayScene& scene)
{
    scene.setSharedActions();
    scene.setAction(PlayPhase::LevelUp, PlayEvent::StepDone, PlayAction::LineBonus);
    scene.setAction(PlayPhase::LineBonus, PlayEvent::StepDone, PlayAction::LevelSummary);
    scene.setAction(PlayPhase::LevelSummary, PlayEvent::DialogClosed, PlayAction::CartLeaves);
    scene.setAction(PlayPhase::CartLeaves, PlayEvent::StepDone, PlayAction::StartGame);
    scene.setAction(PlayPhase::Menu, PlayEvent::MenuLeave, PlayAction::Leave);
    scene.setAction(PlayPhase::GameOver, PlayEvent::DialogClosed, PlayAction::Leave);
}

void ClassicPlayScene::sendEvent(int event)
{
    switch (getAction(phase, event)) {
    case PlayAction::Begin: setPhase(PlayPhase::Starting); break;
    case PlayAction::StartGame: startGame(); break;
    case PlayAction::SpeedUp: speedUp(); break;
    case PlayAction::GoldDone: goldDone(); break;
    case PlayAction::LineBonus: startLineBonus(); break;
    case PlayAction::LevelSummary: startLevelSummary(); break;
    case PlayAction::CartLeaves: cartLeaves(); break;
    default: PlayScene::sendEvent(event); break;
    }
}

void ClassicPlayScene::startGame()
{
    const std::uint32_t now = timeGetTime();
    beginLevelStart(now);
    if (canvas) {
        canvas->removeByName("SPRITE_TEMP_BLOCK");
        canvas->removeByName("SPRITE_BLOCK_ICON");
    }
    emptyPipe();
    speedUpActive = false;

    level->clear();
    level->startLevel();

    if (savedGame) {
        int inProgress = 0;
        savedGame->QueryIntAttribute("isgameinprogress", &inProgress);
        saveState = inProgress != 0 ? SaveState::Playing : SaveState::Ended;
    }

    if (!settings->continueSaved || saveState != SaveState::Playing) {
        gameStats.add(levelStats);
        levelStats.reset();
        saveState = SaveState::Playing;
        level->createInitialLines();
        startLevelTimers(now, true);
    } else {
        level->loadState(savedGame);
        for (int i = 0; i < level->getColumns(); ++i)
            if (Block* block = level->getNewRowBlock(i))
                addPipeBlock(block);
        resumeSavedTimers(true);
    }

    finishLevelStart(now, getResourceFloat("INT_LEVEL_RESUME_FADE_SPEED_CLASSIC"));
    setPhase(PlayPhase::Intro);
}

void ClassicPlayScene::speedUp()
{
    if (level->isTopReached())
        return;
    speedUpActive = true;
    speedUpUsed = true;
}

bool ClassicPlayScene::onClick(ButtonBlit* button)
{
    if (button && button->getName() == "BUTTON_NEW_ROW") {
        sendEvent(PlayEvent::SpeedUp);
        spendHint(1);
        return false;
    }
    return PlayScene::onClick(button);
}

int ClassicPlayScene::clearBonusPoints()
{
    return propertyInt("INT_SCORE_PER_CLEAR") * level->getLevelNumber();
}

int ClassicPlayScene::clearBonusFactor()
{
    return levelStats.clearcount.get();
}

void ClassicPlayScene::updatePhase()
{
    switch (phase) {
    case PlayPhase::Shown: sendEvent(PlayEvent::StepDone); break;
    case PlayPhase::Intro:
        if (level->getLevelNumber() == 1 || phaseFrames() > 3)
            sendEvent(PlayEvent::StepDone);
        break;
    case PlayPhase::LevelUp: updateLevelUp(); break;
    case PlayPhase::LineBonus: updateLineBonus(); break;
    case PlayPhase::LevelSummary: updateLevelSummary(); break;
    case PlayPhase::CartLeaves: updateCartLeaves(); break;
    case PlayPhase::RockFall: updateRockFall(); break;
    default: PlayScene::updatePhase(); break;
    }
}

void ClassicPlayScene::updateRockFall()
{
    PlayScene::updateRockFall({"LAYER_FLOATERS", 0, false, 20});
}

void ClassicPlayScene::updateGame()
{
    const bool hourglassHolds = updateHourglass();
    if (!hourglassHolds) {
        const int elapsed = blockTimer.getElapsed();
        const bool due = classicLevel->getBlockTime() < elapsed ||
                         (speedUpActive && propertyInt("INT_FAST_BLOCK_TIME") < elapsed);
        if (due) {
            blockTimer.restart(timeGetTime());
            if (static_cast<int>(level->getNewRow().size()) >= level->getColumns()) {
                if (level->isNewRowSettled()) {
                    const bool top = level->isTopReached();
                    updateGameOverTimer(top);
                    if (!top) {
                        for (TempBlock* block : pipe)
                            ModifierDelay::start(block, 100, Modifier::OptionRemoveParent);
                        emptyPipe();
                        playSound("SOUND_INSERT_LINE_CLASSIC", 255);
                        level->insertRow();
                        clearSelection();
                        if (level->isTopReached()) {
                            showTopRowWarnings();
                            playSound("SOUND_TOP_REACHED", 255);
                            if (jack)
                                jack->setPose(4);
                        }
                    }
                    speedUpActive = false;
                }
            } else {
                addPipeBlock(nullptr);
            }
        }
    }
    PlayScene::updateGame();
}

void ClassicPlayScene::addPipeBlock(Block* block)
{
    const Point& shift = getResourcePoint("POINT_PIPE_SHIFT_POS");
    const int blockWidth = level->getBlockWidth();
    const bool fresh = block == nullptr;
    const int slot = fresh ? static_cast<int>(level->getNewRow().size()) : block->getColumn();
    if (fresh)
        block = level->makeNextBlock();
    if (!block)
        return;
    const int targetX = shift.x - slot * blockWidth;
    if (fresh) {
        block->setPosition(shift.x - (level->getColumns() + 1) * blockWidth, shift.y);
        ModifierLocationDrop::startConstantSpeed(block, static_cast<float>(block->getX()), static_cast<float>(shift.y),
                                                 static_cast<float>(targetX), static_cast<float>(shift.y), 1.0f,
                                                 0.01f, Modifier::OptionBlocking);
        ModifierSound::start(block, "SOUND_GAME3", Modifier::OptionBlocking);
    } else {
        block->setPosition(targetX, shift.y);
    }
    const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_" + getName());
    block->setClipRectFrom(&clip);
    if (canvas)
        block->addToCanvas(canvas);

    auto* temp = new TempBlock(level, block);
    temp->setName("SPRITE_TEMP_BLOCK");
    temp->addRef();
    pipe.push_back(temp);
    // Like the block it mirrors, with its icon: a gold, treasure or tool block in the shaft would
    // otherwise show only its empty plate.
    if (canvas)
        temp->addToCanvas(canvas);
}

void ClassicPlayScene::openDialog(int kind)
{
    if (kind != PlayDialog::LevelStats && kind != PlayDialog::GameOver)
        return PlayScene::openDialog(kind);

    const char* header = nullptr;
    std::vector<std::string> texts;
    std::vector<std::string> values;
    std::string name;
    if (kind == PlayDialog::LevelStats) {
        header = "STRING_STATS_HEADER";
        const int ms = levelTimer.getElapsed();
        char time[32];
        std::snprintf(time, sizeof time, "%d:%.2d", ms / 60000, (ms % 60000) / 1000);
        texts = {"STRING_STATS_TIME", "STRING_STATS_BLOCKS", "STRING_STATS_BIGGROUP", "STRING_STATS_BIGSCORE"};
        values = {time, intToString(levelStats.blocksremoved.get()), intToString(levelStats.biggestgroup),
                  intToString(levelStats.biggestscore)};
    } else {
        header = "STRING_GAMEOVER_HEADER";
        name = "DIALOG_HIGHSCORE_STATS";
        texts = {"STRING_GAMEOVER_SCORE", "STRING_GAMEOVER_LEVEL", "STRING_GAMEOVER_BLOCKS", "STRING_GAMEOVER_GOLD",
                 "STRING_GAMEOVER_TREASURES_FOUND"};
        values = {intToString(shownScore.get()), intToString(level->getLevelNumber()),
                  intToString(gameStats.blocksremoved.get()), intToString(gameStats.gold),
                  intToString(static_cast<int>(gameStats.acquiredTreasures.size()))};
    }
    openStatsDialog(header, texts, values, name);
}

// The end of a level.

void ClassicPlayScene::goldDone()
{
    saveState = SaveState::LevelDone;
    level->setShakingRows(0);
    gameoverTimer.setPaused(true);
    hourglassTimer.stop();
    if (hourglassSprite) {
        if (SpriteCanvas* owner = hourglassSprite->getCanvas())
            owner->removeSprite(hourglassSprite);
        dropSprite(hourglassSprite);
    }
    if (droppedTreasure) {
        dropModifiers(droppedTreasure);
        setOpacity(droppedTreasure, 255);
    }
    stopSound(earthquakeChannel);
    earthquakeChannel = -1;
    if (jack)
        jack->setPose(3);
    hideHint();

    const LayoutIntegerList& xOffsets = getResourceVector("INT_MINE_CART_GOLD_XOFFSET_CLASSIC");
    const LayoutIntegerList& yOffsets = getResourceVector("INT_MINE_CART_GOLD_YOFFSET_ENDLESS");
    const Point& middle = getResourcePoint("POINT_MINE_CART_GOLD_COLLECT_MIDDLE_POS");
    const float speed = static_cast<float>(getResourceInt("INT_MINE_CART_GOLD_COLLECT_SPEED_CLASSIC"));
    int n = 0;
    for (int x = level->getColumns() - 1; x >= 0; --x)
        for (int y = level->getRows() - 1; y >= 0; --y) {
            Block* block = level->getBlock(x, y);
            if (!block || block->getType() != BlockTypeGold || block->getState() != 2 || !block->getIcon())
                continue;
            Sprite* cartGold = mineCart ? static_cast<Sprite*>(mineCart->getGoldSprite()) : nullptr;
            if (!cartGold)
                cartGold = mineCart;
            Sprite* gold = takeGoldIcon(block, cartGold, 20.0 * n + 25);
            const int last = std::max(0, static_cast<int>(xOffsets.size()) - 1);
            const int k = std::min(n, last);
            const int dx = k < static_cast<int>(xOffsets.size()) ? xOffsets[static_cast<std::size_t>(k)] : 0;
            const int dy = k < static_cast<int>(yOffsets.size()) ? yOffsets[static_cast<std::size_t>(k)] : 0;
            const int tx = (cartGold ? cartGold->getAbsoluteX() : 0) + dx;
            const int ty = (cartGold ? cartGold->getAbsoluteY() : 0) + dy;
            const int sx = gold->getX();
            const int sy = gold->getY();
            ModifierLocationCubic::start(gold, {sx - 15, sx, middle.x, tx - 15}, {sy - 15, middle.y, middle.y, ty - 15},
                                         speed, Modifier::OptionBlocking);
            ModifierSound::start(gold, "SOUND_GOLD_INTO_CART", Modifier::OptionRemoveParent);
            ++n;
        }

    startLevelUp();
}

void ClassicPlayScene::updateLevelUp()
{
    const int frames = phaseFrames();
    if (frames > 3 && subStep == 0) {
        subStep = 1;
        FieldServices::get().fadeMusicOut(0.5f);
        playSound("SOUND_LEVEL_UP", 255);
        hideScorePreview();
    } else if (frames > 6 && subStep == 1) {
        subStep = 2;
        lineEmpty = 0;
        lineColumn = 0;
        lineRow = 0;
        scorePending = true;
        showHeaderText("STRING_STATS_HEADER");
        addSpriteAtLayer(headerSprite, "LAYER_FLOATERS");
    }
    if (pendingSprites.empty()) {
        if (subStep == 2)
            sendEvent(PlayEvent::StepDone);
        return;
    }
    // Each gold counts as it lands in the cart.
    const int perGold = propertyInt("INT_SCORE_PER_GOLD");
    const int landed = landGoldIcons(perGold, [] { return true; });
    score.set(score.get() + perGold * landed);
    if (pendingSprites.empty())
        level->applyGravity();
}

void ClassicPlayScene::startLineBonus()
{
    Surface* mask = ResourceManager::getMask("IMAGE_SPARKLE_BIG_ALPHA");
    const Point& at = getResourcePoint("POINT_JACK_HAPPY_SPARKLE_POS_CLASSIC");
    auto* sparkle = new Sparkle(nullptr, mask, at.x, at.y, -1, false);
    sparkle->setName("SPRITE_SPARKLE");
    sparkle->setClipRect(0, 0, getResourceInt("INT_GAME_WIDTH"), getResourceInt("INT_GAME_HEIGHT"));
    sparkle->setAnchor(4);
    if (canvas)
        addSpriteAtLayer(sparkle, "LAYER_SPARKLES");
    else {
        sparkle->addRef();
        sparkle->release();
    }
    setPhase(PlayPhase::LineBonus);
}

void ClassicPlayScene::updateLineBonus()
{
    const double reading = phaseFrames();
    if (subStep == 0) {
        if (reading > 10) {
            lineBonusLastStep = reading;
            subStep = 1;
        }
        return;
    }
    const int width = level->getColumns();
    const int height = level->getRows();
    const int blockWidth = level->getBlockWidth();
    const int blockHeight = level->getBlockHeight();
    double d = reading - lineBonusLastStep;
    while (d > 0.5 && lineRow < height) {
        lineBonusLastStep = reading;
        d = static_cast<int>(d - 0.5);
        playSound("SOUND_GAME4", 255);
        const int cx = level->getX() + blockWidth * lineColumn + blockWidth / 2;
        const int cy = level->getY() + blockHeight * lineRow + blockHeight / 2;
        if (Block* block = level->getBlock(lineColumn, lineRow)) {
            if (block->getType() == BlockTypeTreasure)
                dropSprite(droppedTreasure);
            level->removeBlock(block, 0);
        } else {
            ++lineEmpty;
            createStar("IMAGE_STAR_MEDIUM_ALPHA", cx, cy, 0xFFFFFF00u);
        }
        ++lineColumn;
        if (lineColumn >= width) {
            if (lineEmpty == width) {
                const int bonus = propertyInt("INT_SCORE_PER_CLEAR_LINE") * level->getLevelNumber();
                score.set(score.get() + bonus);
                shownScore.set(score.get());
                if (scoreLabel)
                    scoreLabel->setText(intToString(score.get()));
                createFloater("+" + intToString(bonus), cx, cy, kFloaterColour);
                playSound("SOUND_GAME5", 255);
            }
            lineEmpty = 0;
            lineColumn = 0;
            ++lineRow;
        }
    }
    if (lineRow >= height)
        sendEvent(PlayEvent::StepDone);
}

void ClassicPlayScene::startLevelSummary()
{
    openDialog(PlayDialog::LevelStats);
    if (headerSprite) {
        dropModifiers(headerSprite);
        auto* dialog = dynamic_cast<Dialog*>(openDialogSprite);
        const int y = dialog ? FieldServices::get().getStatsDialogHeaderY(dialog) : headerSprite->getY();
        if (ModifierLocationLine* move = ModifierLocationLine::start(headerSprite, headerSprite->getX(),
                                                                     headerSprite->getY(), 0, y, 0.05f,
                                                                     Modifier::OptionBlocking)) {
            move->setAdjustX(false);
            move->setEaseInOut(true);
        }
    }
    level->fadeOutBlocks();
    setPhase(PlayPhase::LevelSummary);
}

void ClassicPlayScene::updateLevelSummary()
{
    const bool headerMoving = !headerSprite || !headerSprite->getModifiers().empty();
    if (headerMoving || subStep != 0) {
        if (phaseFrames() > 20 && subStep == 1 && jack)
            jack->setPose(1);
        // Without a header the dialog still comes rather than never.
        if (headerSprite || subStep != 0)
            return;
    }
    subStep = 1;
    showOpenDialog();
    // The score hand-over may put its question in the place of this dialog.
    if (openDialogSprite) {
        openDialogSprite->addRef();
        dropSprite(statsDialog);
        statsDialog = openDialogSprite;
    }
    if (headerSprite) {
        if (SpriteCanvas* owner = headerSprite->getCanvas())
            owner->removeSprite(headerSprite);
        dropSprite(headerSprite);
    }
    phaseTimer.restart(timeGetTime());
}

void ClassicPlayScene::cartLeaves()
{
    scorePending = false;
    if (jack)
        jack->setPose(1);
    if (auto* miner = dynamic_cast<JackClassic*>(jack)) {
        if (Sprite* arm = miner->getArm())
            arm->setFrame(0);
        miner->raiseArm();
    }

    const int gameWidth = getResourceInt("INT_GAME_WIDTH");
    if (mineCart) {
        ModifierDelay::start(mineCart, 15, Modifier::OptionBlocking);
        if (ModifierLocationLine* move = ModifierLocationLine::startConstantSpeed(
                mineCart, mineCart->getX(), mineCart->getY(), gameWidth, mineCart->getY(), 5.0f,
                Modifier::OptionRemoveParent))
            move->setEaseInOut(true);
        dropSprite(mineCart);
    }

    saveState = SaveState::Ended;
    level->setLevelNumber(level->getLevelNumber() + 1);

    auto* cart = new MineCartClassic(level->getLevelNumber());
    cart->addRef();
    mineCart = cart;
    const int homeX = cart->getX();
    ModifierDelay::start(cart, 15, Modifier::OptionBlocking);
    if (ModifierLocationLine* move = ModifierLocationLine::start(cart, -cart->getWidth(), 0, homeX, 0, 0.012f, 0)) {
        move->setEaseInOut(true);
        move->setAdjustY(false);
    }
    cart->setX(-cart->getWidth());
    addSpriteAtLayer(cart, "LAYER_MINECART");

    effectChannel = loopSound("SOUND_MINE_CART_LOOP", 255);
    setPhase(PlayPhase::CartLeaves);
}

void ClassicPlayScene::updateCartLeaves()
{
    if (effectChannel != -1 && mineCart && mineCart->getX() > getResourceInt("INT_MINE_CART_SOUND_STOP_X")) {
        stopSound(effectChannel);
        playSound("SOUND_MINE_CART_STOP", 255);
        effectChannel = -1;
    }
    if (mineCart && !mineCart->getModifiers().empty())
        return;
    if (auto* miner = dynamic_cast<JackClassic*>(jack)) {
        if (Sprite* arm = miner->getArm())
            arm->setFrame(1);
        miner->lowerArm();
    }
    sendEvent(PlayEvent::StepDone);
}
