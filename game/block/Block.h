// One cell of the play field: a bitmap sprite that knows its level, its cell, its kind (type, colour,
// score multiplier) and its state, renders its own picture into a surface of its own and carries an icon
// sprite for gold, treasure and tool blocks. It animates itself: falling to a new row, sliding to a new
// column, shaking, fading in after being enabled, cycling colours (rainbow) and sparkling (gold).
//
// The level owns its blocks through counted references and decides where they go; a block keeps only a
// plain pointer to its level, guarded by the level's token: once the level is gone the token says so and
// the block touches it no more (a block may outlive its level on the canvas during a removal animation).
//
// The picture is rendered only when something it shows changed (needsRender); a frame otherwise only
// blits the own surface.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

#include <cstdint>

class BlockIcon;
class GameTimer;
class Level;
class LevelToken;
class SpriteCanvas;
class Surface;
struct Rect;

enum BlockType : std::int32_t {
    BlockTypeNone = 0,
    BlockTypeColour = 1,
    BlockTypeGold = 2,
    BlockTypeBlocker = 3,
    BlockTypeTreasure = 4,
    BlockTypeBomb = 5,
    BlockTypeColorBomb = 6,
    BlockTypeLineBomb = 7,
    BlockTypeHammer = 8,
    BlockTypeBucket = 9,
    BlockTypeHourglass = 10,
    BlockTypeRainbow = 11,
    BlockTypeTnt = 12,
};

enum BlockState : std::int32_t {
    BlockStateNormal = 0,
    // Part of the group the mouse is over.
    BlockStateSelected = 2,
    // Its group is being removed; the level counts these.
    BlockStateRemoving = 3,
    // The removal animation took it off the canvas.
    BlockStateRemoved = 4,
};

class Block : public BitmapSprite {
public:
    // Colours 0..4.
    static constexpr int ColourCount = 5;

    Block(Level* level, int column, int row, int type, int colour, int multiplier, bool enabled);
    ~Block() override;

    unsigned instanceSize() override { return sizeof(Block); }

    // Removed from a canvas: calls onRemoved.
    void onRemovedFromCanvas() override;
    void tick() override;
    void draw(Surface* target) override;
    void setEnabled(bool enabled) override;
    void setX(int x) override;
    void setY(int y) override;
    void setClipRectFrom(const Rect* rect) override;
    void setClipRect(int x, int y, int width, int height) override;
    void setAlpha(int alpha) override;
    // After a lost display: calls restoreSurface.
    void restoreImage() override;

    // A block being removed lowers its level's count of removals (while the level lives); the state
    // becomes BlockStateRemoved.
    virtual void onRemoved();
    virtual void setColour(int newColour);
    // A new own surface, rendered again, with a new icon.
    virtual void restoreSurface();

    void setType(int newType);
    void setState(int newState);
    void setCell(int newColumn, int newRow);
    void setShaking(bool on);
    // Falls from where it stands to the row (and takes that cell at once).
    void startFall(int newRow);
    // Slides from where it stands to the column (and takes that cell at once). An acceleration of 0 or
    // less eases in and out.
    void startSlide(int newColumn, float speed, float acceleration);

    // Same type and colour; false for null.
    bool isSameKind(const Block* other) const;

    // Inserts the block before its layer marker ("LAYER_BLOCKS" or "LAYER_SPECIALBLOCKS"), then its icon.
    void addToCanvas(SpriteCanvas* target);
    void addIconToCanvas(SpriteCanvas* target);
    // Makes the icon anew (taking the old one off the canvas and putting the new one on).
    void refreshIcon();
    // Lets go of the icon without taking it off the canvas (a play field took it over).
    void removeIcon();

    // The block set every block draws (a column of the block sheets).
    static void setBlockSet(int index);
    static int getBlockSet();

    Level* getLevel() const { return level; }
    LevelToken* getLevelToken() const { return levelToken; }
    // True while the level the block was made for exists.
    bool isLevelAlive() const;
    BlockIcon* getIcon() const { return icon; }
    GameTimer* getRainbowTimer() const { return rainbowTimer; }
    int getColumn() const { return column; }
    int getRow() const { return row; }
    int getType() const { return type; }
    int getColour() const { return colour; }
    int getMultiplier() const { return multiplier; }
    int getState() const { return state; }
    int getHomeX() const { return homeX; }
    int getHomeY() const { return homeY; }
    int getShakeX() const { return shakeX; }
    int getShakeY() const { return shakeY; }
    bool isShaking() const { return shaking; }
    bool isFalling() const { return fallStartY != fallTargetY; }
    bool isSliding() const { return slideStartX != slideTargetX; }
    int getFallTargetY() const { return fallTargetY; }
    float getFallSpeed() const { return fallSpeed; }
    int getSlideTargetX() const { return slideTargetX; }
    bool getNeedsRender() const { return needsRender; }
    int getDrawnBlockSet() const { return drawnBlockSet; }
    float getFade() const { return fade; }

protected:
    // Renders the picture into the own surface (and the icon's).
    virtual void render();
    void createIcon();
    void redrawIcon();
    // Darkens a surface by the fade when the block is disabled or still fading in.
    void applyFade(Surface* surface);
    // One step of the rainbow's colour, skipping colours the level never deals.
    void stepRainbowColour();
    // The own display surface of the block's size (replacing any).
    void makeOwnSurface();
    // needsRender, and the sprite marked so that the canvas draws the new picture.
    void invalidatePicture();
    // A gold sparkle over the block, on the block's canvas.
    void sparkle();
    // The level's geometry while it lives (the block's own size once it is gone).
    int levelX() const;
    int levelY() const;
    int cellWidth() const;
    int cellHeight() const;

    Level* level = nullptr;
    LevelToken* levelToken = nullptr;
    BlockIcon* icon = nullptr;
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::int32_t homeX = 0;
    std::int32_t homeY = 0;
    std::int32_t shakeX = 0;
    std::int32_t shakeY = 0;
    std::int32_t fallStartY = 0;
    std::int32_t fallTargetY = 0;
    float fallProgress = 0.0f;
    float fallSpeed = 0.0f;
    float fallAcceleration = 0.0f;
    bool fallStarted = false;
    std::int32_t slideStartX = 0;
    std::int32_t slideTargetX = 0;
    float slideProgress = 0.0f;
    float slideSpeed = 0.0f;
    float slideAcceleration = 0.0f;
    std::int32_t colour = 0;
    GameTimer* rainbowTimer = nullptr;
    std::int32_t type = BlockTypeNone;
    std::int32_t multiplier = 1;
    std::int32_t state = BlockStateNormal;
    bool needsRender = true;
    std::int32_t drawnBlockSet = 0;
    bool shaking = false;
    float fade = 0.0f;

    static std::int32_t currentBlockSet;
};
