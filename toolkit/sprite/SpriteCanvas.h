// The per-scene sprite manager. It keeps the scene's sprites in drawing order (first drawn first, the
// last on top), runs their per-frame update and unlinks the ones marked obsolete once every sprite has
// been updated, repaints only the tiles marked dirty, and hands keyboard and mouse input to the sprites
// under the pointer, from the top down, until one consumes the event. A sprite with the input-barrier
// state (a modal panel) counts as hit everywhere and hides everything below it from input.
//
// The canvas holds one reference on each listed sprite; a sprite keeps a plain pointer back to it. It
// listens to the application's input manager from its set-up until it is destroyed.
#pragma once

#include "platform/app/InputListener.h"
#include "runtime/RefCounted.h"
#include "runtime/values/Rect.h"
#include "toolkit/sprite/FrameRate.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class FrameTime;
class Sprite;
class Surface;

// One bit per tile: the bit of column c and row r is bit (i mod 32) of word (i div 32), i = r * width + c.
class BitGrid {
public:
    BitGrid() = default;
    BitGrid(int width, int height) { resize(width, height); }

    void resize(int newWidth, int newHeight);
    void set(int column, int row, bool value);
    bool get(int column, int row) const;
    void clear();
    bool any() const;
    int getWidth() const { return width; }
    int getHeight() const { return height; }

private:
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> words;
};

class SpriteCanvas : public RefObject, public InputListener {
public:
    // The nominal rate every per-frame speed is given in.
    static constexpr float NominalRate = 50.0f;

    SpriteCanvas(int width, int height, int tileWidth, int tileHeight);
    SpriteCanvas(const SpriteCanvas&) = delete;
    SpriteCanvas& operator=(const SpriteCanvas&) = delete;
    ~SpriteCanvas() override;

    unsigned size() override { return instanceSize(); }
    virtual unsigned instanceSize() { return sizeof(SpriteCanvas); }
    // Sizes the tile grid (one tile when the canvas is a whole tile), makes the off-screen surfaces of
    // a tiled canvas and marks everything dirty.
    virtual void init(int width, int height, int tileWidth, int tileHeight);

    // Input, as the application's input manager delivers it. Each first clears the consumed mark.
    void keyPressed(int key) override;
    void keyReleased(int key) override;
    void keyTyped(char character) override;
    void mouseMoved(int x, int y, int buttons) override;
    // The left button: the input manager calls it mousePressed and mouseReleased.
    void mousePressed(int x, int y, int buttons, int doubleClick) override { leftPressed(x, y, buttons, doubleClick); }
    void mouseReleased(int x, int y, int buttons) override { leftReleased(x, y, buttons); }
    virtual void leftPressed(int x, int y, int buttons, int doubleClick);
    virtual void leftReleased(int x, int y, int buttons);
    void middlePressed(int x, int y, int buttons, int doubleClick) override;
    void middleReleased(int x, int y, int buttons) override;
    void rightPressed(int x, int y, int buttons, int doubleClick) override;
    void rightReleased(int x, int y, int buttons) override;

    // Holds the new background (or none), lets the old one go, marks every tile dirty.
    void setBackground(Surface* surface);
    Surface* getBackground() const { return background; }

    // Each takes one reference, sets the owner canvas, marks the sprite dirty and tells it.
    void addSprite(Sprite* sprite);
    // Directly after the reference; at the front (drawn first) when the reference is not listed.
    void addSpriteAfter(Sprite* sprite, Sprite* reference);
    // Directly before the reference; at the end (on top) when the reference is not listed.
    void addSpriteBefore(Sprite* sprite, Sprite* reference);
    // Moves a listed sprite before the list position (clamped to the list); an unlisted one stays out.
    void moveSprite(Sprite* sprite, int position);
    void bringToFront(Sprite* sprite);
    // Marks the sprite obsolete and its area dirty; it leaves the list at the next removeObsolete.
    void removeSprite(Sprite* sprite);
    void removeAll();
    void removeByName(const std::string& name);
    // The first listed sprite of that name that is not obsolete; null when none.
    Sprite* findSprite(const std::string& name) const;
    // The n-th (from 0) sprite from the top down that contains the point or is an input barrier.
    Sprite* hitTest(int x, int y, int n) const;

    // Once per frame: stores the frame values, updates every sprite that is not obsolete in list
    // order, then unlinks the obsolete ones.
    void update(float elapsedSeconds, int elapsedMs, float measuredRate);
    void update(const FrameTime& frame);
    // Repaints the dirty tiles onto the target.
    void render(Surface* target);
    // Unlinks every obsolete sprite, in passes until one removes nothing.
    void removeObsolete();
    void invalidateAll(bool value);
    void markRect(const Rect& rect, bool value);
    void markSprite(Sprite* sprite, bool value);
    void markArea(int x, int y, int width, int height, bool value);
    bool isAreaDirty(const Rect& rect) const;
    bool isTileDirty(int column, int row) const { return grid.get(column, row); }
    bool isAnyDirty() const { return anyDirty; }

    // Called by a sprite's input handler: the current event goes no further.
    void consumeEvent() { consumed = true; }
    bool isConsumed() const { return consumed; }

    const std::vector<Sprite*>& getSprites() const { return sprites; }
    int getSpriteCount() const { return static_cast<int>(sprites.size()); }
    int indexOf(const Sprite* sprite) const;
    const FrameRate& getFrameRate() const { return frameRate; }
    FrameRate& getFrameRate() { return frameRate; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const Rect& getArea() const { return area; }
    int getTileWidth() const { return tileWidth; }
    int getTileHeight() const { return tileHeight; }
    int getRows() const { return rows; }
    int getColumns() const { return columns; }
    bool isTiled() const { return tiled; }

    // True when both rectangles have a size and overlap.
    static bool overlaps(const Rect& a, const Rect& b);

private:
    enum class Receive { Key, LeftButton, OtherButton };

    void insertAt(std::size_t index, Sprite* sprite);
    // Fills the dispatch list for an event; see the input rules above.
    void gatherKey(std::uint32_t inputBit);
    void gatherHits(int x, int y, std::uint32_t inputBit, bool needsEnabled);
    void clearDispatch();
    void trackMouseOver(int x, int y, int buttons);
    // The tile range of a rectangle; false when it does not overlap the area.
    bool tileRange(long long x, long long y, long long w, long long h, int& c0, int& r0, int& c1, int& r1) const;
    void renderUntiled(Surface* target);
    void renderTiled(Surface* target);
    // A counted copy of the list, for walks during which handlers may change the list.
    std::vector<Sprite*> snapshot() const;
    static void releaseAll(std::vector<Sprite*>& list);
    // Hands the event to the sprites gathered for it, from the top, then lets them go.
    void deliverGathered(bool stopAtConsumed, const std::function<void(Sprite*)>& call);

    std::vector<Sprite*> sprites;
    std::vector<Sprite*> dispatch;
    int width = 0;
    int height = 0;
    Rect area;
    int tileWidth = 0;
    int tileHeight = 0;
    int rows = 0;
    int columns = 0;
    BitGrid grid;
    Surface* presentation = nullptr;
    Surface* composition = nullptr;
    Surface* background = nullptr;
    bool anyDirty = false;
    bool tiled = false;
    bool consumed = false;
    FrameRate frameRate{NominalRate};
};
