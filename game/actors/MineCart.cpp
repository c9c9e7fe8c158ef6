#include "game/actors/MineCart.h"

#include "game/effects/Sparkle.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Blend.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/Random.h"
#include "runtime/strings/StringUtils.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

const ClassRecord MineCart::classRecord("MineCart", &BitmapSprite::classRecord);
const ClassRecord MineCartClassic::classRecord("MineCartClassic", &MineCart::classRecord);

namespace {

// Random points tried on the gold before the shown stage's set points are counted instead.
constexpr int kSparkleTries = 64;

int roll(int bound)
{
    return Random::global().nextInt(bound);
}

SurfaceHolder* heldImage(const std::string& id)
{
    SurfaceHolder* holder = ResourceManager::getImage(id);
    if (holder)
        holder->addRef();
    return holder;
}

int widthOf(const Surface* surface)
{
    return surface ? static_cast<int>(surface->getDesc().width) : 0;
}

int heightOf(const Surface* surface)
{
    return surface ? static_cast<int>(surface->getDesc().height) : 0;
}

std::uint8_t* maskBytes(Surface* map)
{
    return map ? static_cast<std::uint8_t*>(map->pixels()) : nullptr;
}

int maskPitch(const Surface* map)
{
    const int pitch = static_cast<int>(map->getDesc().pitch);
    return pitch > 0 ? pitch : static_cast<int>(map->getDesc().width);
}

void clipToGame(Sprite* sprite)
{
    sprite->setClipRect(0, 0, getResourceInt("INT_GAME_WIDTH"), getResourceInt("INT_GAME_HEIGHT"));
}

void takeOff(Sprite* sprite)
{
    if (sprite && sprite->getCanvas())
        sprite->getCanvas()->removeSprite(sprite);
}

} // namespace

MineCart::MineCart() = default;

MineCart::MineCart(const std::string& cartImageId, const std::string& goldImageId, const Point& goldOffset,
                   int stages)
{
    cartImage = heldImage(cartImageId);
    goldImage = heldImage(goldImageId);

    if (Surface* picture = cartImage ? cartImage->getSurface() : nullptr) {
        setMask(cartImage->getMask());
        // A copy of its own, so that the level number can be painted on it.
        DirectDrawSurface* own = createDirectDrawSurfaceFromDesc(ResourceManager::getDirectDraw(), picture->getDesc());
        if (own) {
            bltFastClipped(picture, 0, 0, widthOf(picture), heightOf(picture), own, 0, 0);
            setSurface(own);
            // The copy is kept twice, as every picture is, so that it comes back after a lost display.
            copyToOwnSurface();
        }
        fitSizeToImage();
    }
    clipToGame(this);

    gold = new BitmapSprite(nullptr, nullptr, getX() + goldOffset.x, getY() + goldOffset.y);
    gold->addRef();
    clipToGame(gold);
    Surface* strip = goldImage ? goldImage->getSurface() : nullptr;
    const int stripHeight = heightOf(strip);
    if (strip && stages > 0 && stripHeight / stages > 0) {
        stageCount = stages;
        stageHeight = stripHeight / stages;
        const int w = widthOf(strip);
        DirectDrawSurface* own =
            createDirectDrawSurface(ResourceManager::getDirectDraw(), static_cast<std::uint32_t>(w),
                                    static_cast<std::uint32_t>(stageHeight));
        if (own) {
            gold->setSurface(own);
            gold->copyToOwnSurface();
        }
        if (goldImage->getMask()) {
            goldMask = createMemorySurface(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(stageHeight));
            if (goldMask) {
                goldMask->addRef();
                gold->setMask(goldMask);
            }
        }
        gold->setSize(w, stageHeight);
    }
    setGoldLevel(0);
}

MineCart::~MineCart()
{
    if (gold) {
        gold->release();
        gold = nullptr;
    }
    if (goldMask)
        goldMask->release();
    if (goldImage)
        goldImage->release();
    if (cartImage)
        cartImage->release();
}

void MineCart::setGoldLevel(int n)
{
    n = std::clamp(n, 0, stageCount);
    if (n == goldLevel)
        return;
    goldLevel = n;
    if (!gold)
        return;
    if (n == 0) {
        gold->setAlpha(0);
        return;
    }
    const int top = (n - 1) * stageHeight;
    Surface* strip = goldImage ? goldImage->getSurface() : nullptr;
    if (strip && gold->getSurface()) {
        bltFastClipped(strip, 0, top, widthOf(strip), stageHeight, gold->getSurface(), 0, 0);
        // The stage shown is what a lost display must give back.
        if (Surface* kept = gold->getHolder()->getSource())
            bltFastClipped(strip, 0, top, widthOf(strip), stageHeight, kept, 0, 0);
    }
    std::uint8_t* to = maskBytes(goldMask);
    std::uint8_t* from = goldImage ? maskBytes(goldImage->getMask()) : nullptr;
    if (to && from) {
        const int w = std::min(widthOf(goldMask), widthOf(goldImage->getMask()));
        for (int y = 0; y < stageHeight; ++y)
            std::copy_n(from + (top + y) * maskPitch(goldImage->getMask()), w, to + y * maskPitch(goldMask));
    }
    gold->setDirty(true);
    gold->setAlpha(255);
}

void MineCart::setX(int x)
{
    const int dx = x - getX();
    BitmapSprite::setX(x);
    if (gold)
        gold->setX(gold->getX() + dx);
}

void MineCart::setY(int y)
{
    const int dy = y - getY();
    BitmapSprite::setY(y);
    if (gold)
        gold->setY(gold->getY() + dy);
}

void MineCart::onAddedToCanvas()
{
    BitmapSprite::onAddedToCanvas();
    if (gold && getCanvas())
        getCanvas()->addSpriteAfter(gold, this);
}

void MineCart::onRemovedFromCanvas()
{
    BitmapSprite::onRemovedFromCanvas();
    takeOff(gold);
}

bool MineCart::pickGoldPoint(int& x, int& y)
{
    const std::uint8_t* bytes = maskBytes(goldMask);
    if (!bytes)
        return false;
    const int w = widthOf(goldMask);
    const int h = heightOf(goldMask);
    const int pitch = maskPitch(goldMask);
    for (int tries = 0; tries < kSparkleTries; ++tries) {
        x = roll(w);
        y = roll(h);
        if (bytes[y * pitch + x] != 0)
            return true;
    }
    // Sparse gold: one of the set points, chosen evenly; a stage with none gets no sparkle.
    int count = 0;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            count += bytes[row * pitch + col] != 0;
    if (count == 0)
        return false;
    int pick = roll(count);
    for (y = 0; y < h; ++y)
        for (x = 0; x < w; ++x)
            if (bytes[y * pitch + x] != 0 && pick-- == 0)
                return true;
    return false;
}

void MineCart::tick()
{
    if (goldLevel <= 0 || !gold || !goldMask || !getCanvas())
        return;
    if (roll(1000) >= 25)
        return;
    int x = 0;
    int y = 0;
    if (!pickGoldPoint(x, y))
        return;
    const std::string id = "IMAGE_SPARKLE_BIG_ALPHA";
    SurfaceHolder* star = ResourceManager::getImage(id);
    Surface* map = star ? star->getMask() : nullptr;
    if (!map)
        map = ResourceManager::getMask(id);
    if (!map)
        return;
    auto* sparkle = new Sparkle(gold, map, x, y, -1, false);
    sparkle->addRef();
    sparkle->setName("SPRITE_SPARKLE");
    sparkle->setAnchor(AnchorCenter);
    getCanvas()->addSpriteBefore(sparkle, getCanvas()->findSprite("LAYER_SPARKLES"));
    sparkle->release();
}

MineCartClassic::MineCartClassic(int levelNumber)
    : MineCart("IMAGE_CART_CLASSIC", "IMAGE_CART_GOLD_CLASSIC", getResourcePoint("POINT_MINE_CART_GOLD_POS_CLASSIC"),
               getResourceInt("INT_NR_OF_MINE_CART_GOLD_STAGES_CLASSIC"))
{
    paintLevelNumber(levelNumber);
    const Point& place = getResourcePoint("POINT_MINE_CART_POS_CLASSIC");
    setPosition(place.x, place.y);

    SurfaceHolder* wheel = ResourceManager::getImage("IMAGE_WHEEL");
    const int frames = getResourceInt("INT_NR_OF_WHEEL_FRAMES");
    if (wheel) {
        for (int i = 1; i <= WheelCount; ++i) {
            const Point& at = getResourcePoint("POINT_MINE_CART_WHEEL" + std::to_string(i) + "_POS");
            auto* sprite = new BitmapSprite(wheel->getSurface(), wheel->getMask(), getX() + at.x, getY() + at.y);
            sprite->addRef();
            clipToGame(sprite);
            sprite->setFrameCountFromImage(frames);
            sprite->setFrameDirection(Backward);
            wheels.push_back(sprite);
        }
    }
    copyToOwnSurface();
}

MineCartClassic::~MineCartClassic()
{
    for (BitmapSprite* wheel : wheels)
        wheel->release();
}

void MineCartClassic::paintLevelNumber(int levelNumber)
{
    Surface* side = getSurface();
    BitmapFont* font = ResourceManager::getFont("FONT_LEVEL");
    if (!side || !font)
        return;
    const std::string text = intToString(levelNumber);
    PropertyManager* store = LayoutDocument::propertyStore();
    const std::uint32_t argb = store ? store->getColor("COLOR_MINE_CART_LEVEL_CLASSIC").packed : 0xFFFFFFFFu;
    const std::uint32_t colour = side->getDesc().format.packPixel(&argb);
    const int alpha = std::clamp(getResourceInt("INT_MINE_CART_LEVEL_ALPHA_CLASSIC"), 0, 255);
    const Point& centre = getResourcePoint("POINT_MINE_CART_LEVEL_POS_CLASSIC");
    font->drawStringTinted(side, centre.x - font->measure(text) / 2, centre.y - font->getLineHeight() / 2, text,
                           colour, static_cast<std::uint8_t>(alpha));
}

void MineCartClassic::setX(int x)
{
    const int dx = x - getX();
    MineCart::setX(x);
    const int frames = getResourceInt("INT_NR_OF_WHEEL_FRAMES");
    if (wheels.empty() || frames <= 0)
        return;
    int frame = static_cast<int>(std::abs(static_cast<double>(x)) * 0.15) % frames;
    for (BitmapSprite* wheel : wheels) {
        wheel->setX(wheel->getX() + dx);
        frame = (frame + 4) % frames;
        wheel->setFrame(frame);
    }
}

void MineCartClassic::setY(int y)
{
    const int dy = y - getY();
    MineCart::setY(y);
    for (BitmapSprite* wheel : wheels)
        wheel->setY(wheel->getY() + dy);
}

void MineCartClassic::onAddedToCanvas()
{
    MineCart::onAddedToCanvas();
    SpriteCanvas* owner = getCanvas();
    if (!owner)
        return;
    for (std::size_t i = 0; i < wheels.size(); ++i) {
        if (getResourceBool("BOOL_MINE_CART_WHEEL" + std::to_string(i + 1) + "_BEHIND"))
            owner->addSpriteBefore(wheels[i], this);
        else
            owner->addSpriteAfter(wheels[i], this);
    }
}

void MineCartClassic::onRemovedFromCanvas()
{
    MineCart::onRemovedFromCanvas();
    for (BitmapSprite* wheel : wheels)
        takeOff(wheel);
}
