#include "game/block/Block.h"

#include "compat/win32/system/machine/timer.h"
#include "game/block/BlockIcon.h"
#include "game/effects/Sparkle.h"
#include "game/level/Level.h"
#include "game/stats/GameTimer.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Blend.h"
#include "platform/raster/Convert.h"
#include "platform/raster/Fill.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/Random.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <set>
#include <string>

std::int32_t Block::currentBlockSet = 0;

namespace {

const char* const kSelectedSuffix = "_SELECTED";

// What a type draws: the background of its own surface, its icon, the icon's offset keys and layer.
struct TypeLook {
    const char* background;     // null: the own surface stays invisible under an all-zero mask
    bool backgroundIsSheet;     // a sheet of cells: column = block set, row = colour
    const char* icon;           // null: no icon
    bool iconHasSelected;       // the icon has a "_SELECTED" variant
    const char* offsetX;
    const char* offsetY;
    const char* iconLayer;
};

const TypeLook kNoLook = {nullptr, false, nullptr, false, nullptr, nullptr, nullptr};

const TypeLook& lookOf(int type)
{
    static const TypeLook looks[] = {
        kNoLook,
        // colour
        {"IMAGE_BLOCKS", true, nullptr, false, nullptr, nullptr, nullptr},
        // gold
        {nullptr, false, "IMAGE_GOLD", true, "INT_BLOCK_GOLD_XOFFSET", "INT_BLOCK_GOLD_YOFFSET", "LAYER_GOLD"},
        // blocker
        {"IMAGE_BLOCKER", false, nullptr, false, nullptr, nullptr, nullptr},
        // treasure
        {nullptr, false, "IMAGE_BLOCK_TREASURE", true, "INT_BLOCK_TREASURE_XOFFSET", "INT_BLOCK_TREASURE_YOFFSET",
         "LAYER_TREASURES"},
        // bomb
        {"IMAGE_BLOCK_BACK_BLACK", false, "IMAGE_BLOCK_DYNAMITE", false, "INT_BLOCK_DYNAMITE_XOFFSET",
         "INT_BLOCK_DYNAMITE_YOFFSET", "LAYER_SMALL_BLOCKICONS"},
        // colorbomb
        {"IMAGE_BLOCK_BACK_COLOR", true, "IMAGE_BLOCK_PICKAXE", false, "INT_BLOCK_PICKAXE_XOFFSET",
         "INT_BLOCK_PICKAXE_YOFFSET", "LAYER_SMALL_BLOCKICONS"},
        // linebomb
        {"IMAGE_BLOCK_BACK_BLACK", false, "IMAGE_BLOCK_SHOVEL", false, "INT_BLOCK_SHOVEL_XOFFSET",
         "INT_BLOCK_SHOVEL_YOFFSET", "LAYER_SMALL_BLOCKICONS"},
        // hammer
        {"IMAGE_BLOCK_BACK_BLACK", false, "IMAGE_BLOCK_HAMMER", false, "INT_BLOCK_HAMMER_XOFFSET",
         "INT_BLOCK_HAMMER_YOFFSET", "LAYER_SMALL_BLOCKICONS"},
        // bucket: the icon is a strip of one cell per colour
        {nullptr, false, "IMAGE_BLOCK_BUCKET", true, "INT_BLOCK_BUCKET_XOFFSET", "INT_BLOCK_BUCKET_YOFFSET",
         "LAYER_LARGE_BLOCKICONS"},
        // hourglass
        {"IMAGE_BLOCK_BACK_BLACK", false, "IMAGE_BLOCK_HOURGLASS", false, "INT_BLOCK_HOURGLASS_XOFFSET",
         "INT_BLOCK_HOURGLASS_YOFFSET", "LAYER_LARGE_BLOCKICONS"},
        // rainbow
        {"IMAGE_BLOCK_BACK_COLOR", true, "IMAGE_BLOCK_PICKAXE", false, "INT_BLOCK_PICKAXE_XOFFSET",
         "INT_BLOCK_PICKAXE_YOFFSET", "LAYER_SMALL_BLOCKICONS"},
        // tnt
        {nullptr, false, "IMAGE_BLOCK_TNT", false, "INT_BLOCK_TNT_XOFFSET", "INT_BLOCK_TNT_YOFFSET",
         "LAYER_LARGE_BLOCKICONS"},
    };
    if (type < 0 || type > BlockTypeTnt)
        return kNoLook;
    return looks[type];
}

// The drawable surface of an image resource, null when the catalogue has none.
Surface* imageSurface(const std::string& id)
{
    SurfaceHolder* holder = ResourceManager::getImage(id);
    return holder ? holder->getSurface() : nullptr;
}

MemorySurface* imageMask(const std::string& id)
{
    SurfaceHolder* holder = ResourceManager::getImage(id);
    return holder ? holder->getMask() : nullptr;
}

// A picture the data set lacks is reported once per identifier, not once per block and frame.
void reportMissing(const std::string& id)
{
    static std::set<std::string> reported;
    if (reported.insert(id).second)
        DebugLog::instance().log("Block picture " + id + " is missing: that part of the block is not drawn\n");
}

int surfaceWidth(Surface* surface)
{
    return surface ? static_cast<int>(surface->getDesc().width) : 0;
}

int surfaceHeight(Surface* surface)
{
    return surface ? static_cast<int>(surface->getDesc().height) : 0;
}

// An 8-bit map of the size, all zero (nothing of the surface under it shows); reference count 0.
MemorySurface* clearMap(int width, int height)
{
    if (width < 1 || height < 1)
        return nullptr;
    MemorySurface* map = createMemorySurface(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    if (map)
        fillRect8(map, 0, 0, width, height, 0);
    return map;
}

float interpolate(float a, float b, float t)
{
    return a + (b - a) * t;
}

float smoothStep(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

Block::Block(Level* owner, int newColumn, int newRow, int newType, int newColour, int newMultiplier, bool enabled)
    : level(owner), colour(newColour), multiplier(newMultiplier)
{
    levelToken = owner ? owner->getToken() : nullptr;
    if (levelToken)
        levelToken->addRef();
    needsRender = true;
    drawnBlockSet = currentBlockSet;
    shaking = false;
    fade = 0.0f;
    setName("SPRITE_BLOCK");
    setState(BlockStateNormal);
    setEnabled(enabled);
    if (!enabled)
        fade = 1.0f;
    setCell(newColumn, newRow);
    setBounds(levelX() + newColumn * cellWidth(), levelY() + newRow * cellHeight(), cellWidth(), cellHeight());
    makeOwnSurface();
    setType(newType);
}

Block::~Block()
{
    if (icon) {
        if (SpriteCanvas* iconCanvas = icon->getCanvas())
            iconCanvas->removeSprite(icon);
        icon->release();
        icon = nullptr;
    }
    delete rainbowTimer;
    if (levelToken)
        levelToken->release();
}

bool Block::isLevelAlive() const
{
    return level && levelToken && levelToken->alive;
}

int Block::levelX() const
{
    return isLevelAlive() ? level->getX() : 0;
}

int Block::levelY() const
{
    return isLevelAlive() ? level->getY() : 0;
}

int Block::cellWidth() const
{
    return isLevelAlive() ? level->getBlockWidth() : getWidth();
}

int Block::cellHeight() const
{
    return isLevelAlive() ? level->getBlockHeight() : getHeight();
}

void Block::invalidatePicture()
{
    needsRender = true;
    // The canvas repaints only what is marked; a new picture must be marked too.
    setDirty(true);
}

void Block::makeOwnSurface()
{
    Surface* own = nullptr;
    if (getWidth() > 0 && getHeight() > 0)
        own = createDirectDrawSurface(ResourceManager::getDirectDraw(), static_cast<std::uint32_t>(getWidth()),
                                      static_cast<std::uint32_t>(getHeight()));
    if (own)
        own->fill(0);
    setSurface(own);
}

void Block::setType(int newType)
{
    type = newType;
    if (type == BlockTypeRainbow && !rainbowTimer)
        rainbowTimer = new GameTimer();

    const TypeLook& look = lookOf(type);
    MemorySurface* newMask = nullptr;
    if (type == BlockTypeColour || !look.background) {
        // Colour blocks copy their cell of the sheet's mask into this one when rendered.
        newMask = clearMap(getWidth(), getHeight());
    } else if (imageSurface(look.background)) {
        newMask = imageMask(look.background);
    } else {
        // Without its background the block shows nothing of its own surface.
        reportMissing(look.background);
        newMask = clearMap(getWidth(), getHeight());
    }
    if (newMask)
        newMask->addRef();
    setMask(newMask);
    if (newMask)
        newMask->release();

    refreshIcon();
    invalidatePicture();
}

void Block::setColour(int newColour)
{
    colour = newColour;
    invalidatePicture();
}

void Block::setState(int newState)
{
    if (newState == state)
        return;
    state = newState;
    setDirty(true);
    needsRender = true;
}

void Block::setCell(int newColumn, int newRow)
{
    column = newColumn;
    row = newRow;
    setShaking(isLevelAlive() && newRow < level->getShakingRows());
    setDirty(true);
}

void Block::setShaking(bool on)
{
    if (on == shaking)
        return;
    shaking = on;
    setDirty(true);
    if (!on) {
        shakeX = 0;
        shakeY = 0;
        setX(homeX);
        setY(homeY);
    }
}

void Block::startFall(int newRow)
{
    fallStarted = true;
    fallStartY = homeY;
    fallTargetY = levelY() + newRow * cellHeight();
    // Upward (a row pushed in from below) starts faster than a fall into a gap.
    fallSpeed = fallTargetY < fallStartY ? 0.12f : 0.07f;
    fallAcceleration = 0.002f;
    fallProgress = 0.0f;
    setCell(column, newRow);
}

void Block::startSlide(int newColumn, float speed, float acceleration)
{
    slideStartX = homeX;
    slideTargetX = levelX() + newColumn * cellWidth();
    slideSpeed = speed;
    slideAcceleration = acceleration;
    slideProgress = 0.0f;
    setCell(newColumn, row);
}

void Block::setX(int x)
{
    homeX = x;
    BitmapSprite::setX(x + shakeX);
    if (icon)
        icon->setX(getX());
}

void Block::setY(int y)
{
    homeY = y;
    const double remainder = isLevelAlive() ? level->scrollRemainder() : 0.0;
    BitmapSprite::setY(static_cast<int>(y + shakeY + remainder));
    if (icon)
        icon->setY(getY());
}

void Block::setEnabled(bool enabled)
{
    if (enabled != isEnabled())
        invalidatePicture();
    BitmapSprite::setEnabled(enabled);
}

void Block::setAlpha(int newAlpha)
{
    BitmapSprite::setAlpha(newAlpha);
    if (icon)
        icon->setAlpha(newAlpha);
}

void Block::setClipRect(int x, int y, int width, int height)
{
    BitmapSprite::setClipRect(x, y, width, height);
    if (icon)
        icon->setClipRect(x, y, width, height);
}

void Block::setClipRectFrom(const Rect* rect)
{
    BitmapSprite::setClipRectFrom(rect);
    if (icon)
        icon->setClipRectFrom(rect);
}

bool Block::isSameKind(const Block* other) const
{
    return other && other->type == type && other->colour == colour;
}

void Block::addToCanvas(SpriteCanvas* target)
{
    if (!target)
        return;
    const char* marker = type == BlockTypeColour ? "LAYER_BLOCKS" : "LAYER_SPECIALBLOCKS";
    target->addSpriteBefore(this, target->findSprite(marker));
    addIconToCanvas(target);
}

void Block::addIconToCanvas(SpriteCanvas* target)
{
    if (!target || !icon)
        return;
    const char* marker = lookOf(type).iconLayer;
    target->addSpriteBefore(icon, marker ? target->findSprite(marker) : nullptr);
}

void Block::refreshIcon()
{
    if (icon) {
        if (SpriteCanvas* iconCanvas = icon->getCanvas())
            iconCanvas->removeSprite(icon);
        icon->release();
        icon = nullptr;
    }
    createIcon();
    if (icon && getCanvas())
        addIconToCanvas(getCanvas());
}

void Block::removeIcon()
{
    if (icon) {
        icon->release();
        icon = nullptr;
    }
}

void Block::setBlockSet(int index)
{
    currentBlockSet = index;
}

int Block::getBlockSet()
{
    return currentBlockSet;
}

void Block::onRemovedFromCanvas()
{
    BitmapSprite::onRemovedFromCanvas();
    onRemoved();
}

void Block::onRemoved()
{
    if (state == BlockStateRemoving && isLevelAlive())
        level->setRemovingCount(level->getRemovingCount() - 1);
    setState(BlockStateRemoved);
}

void Block::restoreImage()
{
    restoreSurface();
}

void Block::restoreSurface()
{
    makeOwnSurface();
    render();
    refreshIcon();
    setDirty(true);
}

void Block::applyFade(Surface* surface)
{
    if (!surface)
        return;
    if (!isEnabled() || fade > 0.0f)
        Surface::blendRect(surface, 0, 0, surfaceWidth(surface), surfaceHeight(surface), fade);
}

// The source rectangle of the icon picture: the whole image, or the bucket's cell of its colour.
namespace {
void iconSource(int type, int colour, Surface* image, int& x, int& width)
{
    width = surfaceWidth(image);
    x = 0;
    if (type == BlockTypeBucket) {
        width /= Block::ColourCount;
        x = colour * width;
    }
}
} // namespace

void Block::createIcon()
{
    const TypeLook& look = lookOf(type);
    if (!look.icon)
        return;
    Surface* image = imageSurface(look.icon);
    if (!image)
        return;
    int sourceX = 0;
    int sourceWidth = 0;
    iconSource(type, colour, image, sourceX, sourceWidth);
    const int sourceHeight = surfaceHeight(image);
    if (sourceWidth < 1 || sourceHeight < 1)
        return;

    Surface* surface = createDirectDrawSurface(ResourceManager::getDirectDraw(), static_cast<std::uint32_t>(sourceWidth),
                                               static_cast<std::uint32_t>(sourceHeight));
    MemorySurface* map =
        createMemorySurface(static_cast<std::uint32_t>(sourceWidth), static_cast<std::uint32_t>(sourceHeight));
    if (surface)
        surface->addRef();
    if (map)
        map->addRef();
    if (surface && map) {
        surface->fill(0);
        bltFastClipped(image, sourceX, 0, sourceWidth, sourceHeight, surface, 0, 0);
        if (MemorySurface* imageMap = imageMask(look.icon)) {
            fillRect8(map, 0, 0, sourceWidth, sourceHeight, 0);
            combineMask(imageMap, sourceX, 0, sourceWidth, sourceHeight, map, 0, 0, MaskCopy);
        } else {
            // A picture without a mask shows whole.
            fillRect8(map, 0, 0, sourceWidth, sourceHeight, 0xFF);
        }
        applyFade(surface);

        const int centreX = getWidth() / 2 + getResourceInt(look.offsetX);
        const int centreY = getHeight() / 2 + getResourceInt(look.offsetY);
        icon = new BlockIcon(surface, map, centreX, centreY);
        icon->addRef();
        icon->setAlpha(getAlpha());
        const char* frameKey = type == BlockTypeGold       ? "INT_GOLD_ICON_FRAME_COUNT"
                               : type == BlockTypeTreasure ? "INT_TREASURE_ICON_FRAME_COUNT"
                                                           : "INT_TOOL_ICON_FRAME_COUNT";
        icon->setFrameCountFromImage(getResourceInt(frameKey));
        icon->setAnchor(Sprite::AnchorCenter);
        icon->setPosition(getAbsoluteX(), getAbsoluteY());
        icon->setFrameWrap(Sprite::WrapBounce);
        if (const Rect* clip = getClipRect())
            icon->setClipRectFrom(clip);
    }
    if (surface)
        surface->release();
    if (map)
        map->release();
}

void Block::redrawIcon()
{
    const TypeLook& look = lookOf(type);
    if (!icon || !look.icon)
        return;
    Surface* target = icon->getSurface();
    MemorySurface* targetMap = dynamic_cast<MemorySurface*>(icon->getMask());
    if (!target)
        return;
    std::string id = look.icon;
    Surface* image = nullptr;
    if (look.iconHasSelected && state == BlockStateSelected)
        image = imageSurface(id + kSelectedSuffix);
    if (image)
        id += kSelectedSuffix;
    else
        image = imageSurface(id);
    if (!image)
        return;
    const int width = surfaceWidth(target);
    const int height = surfaceHeight(target);
    const int sourceX = type == BlockTypeBucket ? colour * width : 0;
    bltFastClipped(image, sourceX, 0, width, height, target, 0, 0);
    if (MemorySurface* imageMap = imageMask(id); imageMap && targetMap)
        combineMask(imageMap, sourceX, 0, width, height, targetMap, 0, 0, MaskCopy);
    applyFade(target);
    icon->setDirty(true);
}

void Block::render()
{
    Surface* own = getSurface();
    if (!own)
        return;
    const int width = getWidth();
    const int height = getHeight();
    const TypeLook& look = lookOf(type);

    if (look.background) {
        const std::string plain = look.background;
        Surface* picture = state == BlockStateSelected ? imageSurface(plain + kSelectedSuffix) : nullptr;
        if (!picture)
            picture = imageSurface(plain);
        const int sourceX = look.backgroundIsSheet ? width * currentBlockSet : 0;
        const int sourceY = look.backgroundIsSheet ? height * colour : 0;
        if (!picture) {
            reportMissing(plain);
        } else if (look.backgroundIsSheet) {
            bltFastClipped(picture, sourceX, sourceY, width, height, own, 0, 0);
        } else {
            bltFastClipped(picture, 0, 0, surfaceWidth(picture), surfaceHeight(picture), own, 0, 0);
        }
        if (type == BlockTypeColour) {
            // The selected picture shares the plain one's shape.
            auto* ownMap = dynamic_cast<MemorySurface*>(getMask());
            MemorySurface* sheetMap = imageMask(plain);
            if (ownMap && sheetMap && picture)
                combineMask(sheetMap, sourceX, sourceY, width, height, ownMap, 0, 0, MaskCopy);
            BitmapFont* font = isLevelAlive() ? level->getMultiplierFont() : nullptr;
            if (multiplier > 1 && currentBlockSet == 0 && font) {
                const std::string text = "x" + std::to_string(multiplier);
                font->drawStringBlended(own, (width - font->measure(text)) / 2, (height - font->getLineHeight()) / 2,
                                        text, 128);
            }
        }
    }
    if (look.icon)
        redrawIcon();
    applyFade(own);
    setDirty(true);
}

void Block::draw(Surface* target)
{
    if (drawnBlockSet != currentBlockSet) {
        // A block set beyond the sheet (or no sheet at all) draws set 0 for every block.
        const int sheetWidth = surfaceWidth(imageSurface("IMAGE_BLOCKS"));
        if (currentBlockSet < 0 || static_cast<long long>(currentBlockSet + 1LL) * getWidth() > sheetWidth)
            currentBlockSet = 0;
        setDirty(true);
        needsRender = true;
        drawnBlockSet = currentBlockSet;
    }
    if (needsRender) {
        needsRender = false;
        render();
    }
    BitmapSprite::draw(target);
}

void Block::stepRainbowColour()
{
    // Only colours the level deals; a level that deals none (a broken definition) steps plainly
    // instead of searching for ever.
    bool anyDealt = false;
    for (int c = 0; c < ColourCount && isLevelAlive(); ++c)
        anyDealt = anyDealt || level->getColourRatio(c) > 0;
    do {
        colour = colour >= ColourCount - 1 ? 0 : colour + 1;
    } while (anyDealt && level->getColourRatio(colour) <= 0);
    invalidatePicture();
}

void Block::tick()
{
    const float f = getFrameRate().ratio();

    if (isEnabled() && fade > 0.0f) {
        const int steps = getResourceInt("INT_DEBUG_ENDLESS_NUM_FADE_STEPS");
        fade = steps > 0 ? fade - 1.0f / static_cast<float>(steps) : 0.0f;
        if (fade < 0.0f)
            fade = 0.0f;
        invalidatePicture();
    }

    if (type == BlockTypeGold && state == BlockStateSelected && getAlpha() == 255 && getCanvas()) {
        if (Random::global().nextInt(1000) < 3)
            sparkle();
    }

    if (type == BlockTypeRainbow && rainbowTimer && isLevelAlive() &&
        rainbowTimer->getElapsedScaled(getFrameRate().getRate()) >= level->getRainbowChangeTime()) {
        rainbowTimer->restart(timeGetTime());
        stepRainbowColour();
        if (state == BlockStateSelected && level->getSelectionOrigin() == this) {
            // The selection follows the new colour.
            level->deselectAll();
            level->setSelectionOrigin(this);
            level->selectGroup(this);
        }
    }

    if (fallStarted && isLevelAlive()) {
        const int target = level->getY() + row * cellHeight();
        if (fallTargetY != target) {
            // The level moved under a falling block: the whole move goes along.
            const int shift = target - fallTargetY;
            fallStartY += shift;
            fallTargetY += shift;
        }
    }
    if (fallStartY != fallTargetY) {
        fallProgress += f * fallSpeed;
        fallSpeed += f * fallAcceleration;
        setY(static_cast<int>(interpolate(static_cast<float>(fallStartY), static_cast<float>(fallTargetY), fallProgress)));
        if (fallProgress > 1.0f) {
            setY(fallTargetY);
            fallStartY = fallTargetY;
        }
    }

    if (slideStartX != slideTargetX) {
        slideProgress += f * slideSpeed;
        slideSpeed += f * slideAcceleration;
        const float t = slideAcceleration <= 0.0f ? smoothStep(slideProgress) : slideProgress;
        setX(static_cast<int>(interpolate(static_cast<float>(slideStartX), static_cast<float>(slideTargetX), t)));
        if (slideProgress > 1.0f) {
            slideProgress = 1.0f;
            setX(slideTargetX);
            slideStartX = slideTargetX;
        }
    }

    if (shaking) {
        const float r1 = Random::global().nextFloat();
        const float r2 = Random::global().nextFloat();
        shakeX = static_cast<int>(r1 - 1.5f) + 1;
        shakeY = static_cast<int>(r2 - 1.5f);
        setX(homeX);
        setY(homeY);
    }
}

void Block::sparkle()
{
    const std::string id = "IMAGE_SPARKLE_BIG_ALPHA";
    Surface* map = imageMask(id);
    if (!map)
        map = ResourceManager::getMask(id);
    if (!map)
        return;
    const int w = surfaceWidth(map);
    const int frames = getResourceInt("INT_NR_OF_SPARKLE_FRAMES");
    const int n = frames > 0 ? frames : 1;
    auto* star = new Sparkle(this, map, -w / 2, -(w / n) / 2, getResourceInt("INT_SPARKLE_ALPHA"), false);
    star->addRef();
    getCanvas()->addSpriteBefore(star, getCanvas()->findSprite("LAYER_SPARKLES"));
    star->release();
}
