#include "toolkit/sprite/SpriteCanvas.h"

#include "platform/app/FrameTime.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Blend.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/SurfaceFactory.h"
#include "toolkit/sprite/Sprite.h"

#include <algorithm>

void BitGrid::resize(int newWidth, int newHeight)
{
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    words.assign((bits + 31) / 32, 0u);
}

void BitGrid::set(int column, int row, bool value)
{
    if (column < 0 || row < 0 || column >= width || row >= height)
        return;
    const std::size_t i = static_cast<std::size_t>(row) * width + column;
    const std::uint32_t bit = 1u << (i % 32);
    if (value)
        words[i / 32] |= bit;
    else
        words[i / 32] &= ~bit;
}

bool BitGrid::get(int column, int row) const
{
    if (column < 0 || row < 0 || column >= width || row >= height)
        return false;
    const std::size_t i = static_cast<std::size_t>(row) * width + column;
    return (words[i / 32] >> (i % 32)) & 1u;
}

void BitGrid::clear()
{
    std::fill(words.begin(), words.end(), 0u);
}

bool BitGrid::any() const
{
    return std::any_of(words.begin(), words.end(), [](std::uint32_t w) { return w != 0; });
}

SpriteCanvas::SpriteCanvas(int width, int height, int tileWidth, int tileHeight)
{
    init(width, height, tileWidth, tileHeight);
}

SpriteCanvas::~SpriteCanvas()
{
    removeAll();
    removeObsolete();
    unregisterInput();
    // Sprites that could not be unlinked as obsolete (a subclass refusing the mark) are let go too.
    std::vector<Sprite*> rest;
    rest.swap(sprites);
    for (Sprite* sprite : rest) {
        sprite->onRemovedFromCanvas();
        sprite->setCanvas(nullptr);
        sprite->release();
    }
    clearDispatch();
    if (presentation)
        presentation->release();
    if (composition)
        composition->release();
    if (background)
        background->release();
}

void SpriteCanvas::init(int newWidth, int newHeight, int newTileWidth, int newTileHeight)
{
    registerInput();
    width = newWidth;
    height = newHeight;
    anyDirty = false;
    if (presentation)
        presentation->release();
    if (composition)
        composition->release();
    if (background)
        background->release();
    presentation = composition = background = nullptr;

    // A tile must have a size; a canvas without one becomes a single tile of its own size.
    if (newTileWidth < 1 || newTileHeight < 1) {
        newTileWidth = std::max(newWidth, 1);
        newTileHeight = std::max(newHeight, 1);
    }
    tileWidth = newTileWidth;
    tileHeight = newTileHeight;
    tiled = !(newWidth == newTileWidth && newHeight == newTileHeight && newWidth % newTileWidth == 0 &&
              newHeight % newTileHeight == 0);
    if (!tiled) {
        rows = columns = 1;
    } else {
        const int w = std::max(newWidth, 0);
        const int h = std::max(newHeight, 0);
        rows = h / tileHeight + (h % tileHeight != 0 ? 1 : 0);
        columns = w / tileWidth + (w % tileWidth != 0 ? 1 : 0);
    }
    area = Rect(0, 0, columns * tileWidth, rows * tileHeight);
    if (tiled && area.width > 0 && area.height > 0) {
        IDirectDraw4* directDraw = ResourceManager::getDirectDraw();
        presentation = createDirectDrawSurface(directDraw, area.width, area.height);
        if (presentation)
            presentation->addRef();
        composition = createDirectDrawSurface(directDraw, area.width, area.height);
        if (composition)
            composition->addRef();
    }
    grid.resize(columns, rows);
    invalidateAll(true);
}

void SpriteCanvas::setBackground(Surface* surface)
{
    if (surface)
        surface->addRef();
    if (background)
        background->release();
    background = surface;
    invalidateAll(true);
}

int SpriteCanvas::indexOf(const Sprite* sprite) const
{
    auto it = std::find(sprites.begin(), sprites.end(), sprite);
    return it == sprites.end() ? -1 : static_cast<int>(it - sprites.begin());
}

void SpriteCanvas::insertAt(std::size_t index, Sprite* sprite)
{
    sprite->setCanvas(this);
    sprite->addRef();
    sprites.insert(sprites.begin() + static_cast<std::ptrdiff_t>(std::min(index, sprites.size())), sprite);
    sprite->setDirty(true);
    sprite->onAddedToCanvas();
}

void SpriteCanvas::addSprite(Sprite* sprite)
{
    if (sprite)
        insertAt(sprites.size(), sprite);
}

void SpriteCanvas::addSpriteAfter(Sprite* sprite, Sprite* reference)
{
    if (!sprite)
        return;
    const int at = reference ? indexOf(reference) : -1;
    insertAt(at < 0 ? 0 : static_cast<std::size_t>(at) + 1, sprite);
}

void SpriteCanvas::addSpriteBefore(Sprite* sprite, Sprite* reference)
{
    if (!sprite)
        return;
    const int at = reference ? indexOf(reference) : -1;
    insertAt(at < 0 ? sprites.size() : static_cast<std::size_t>(at), sprite);
}

void SpriteCanvas::moveSprite(Sprite* sprite, int position)
{
    if (!sprite)
        return;
    int held = 0;
    for (auto it = sprites.begin(); it != sprites.end();) {
        if (*it == sprite) {
            it = sprites.erase(it);
            ++held;
        } else {
            ++it;
        }
    }
    if (held == 0)
        return;
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(position, 0)), sprites.size());
    sprites.insert(sprites.begin() + static_cast<std::ptrdiff_t>(at), sprite);
    // The list keeps one reference; duplicates that were merged give theirs back.
    while (held-- > 1)
        sprite->release();
    sprite->setDirty(true);
}

void SpriteCanvas::bringToFront(Sprite* sprite)
{
    moveSprite(sprite, static_cast<int>(sprites.size()));
}

void SpriteCanvas::removeSprite(Sprite* sprite)
{
    if (!sprite)
        return;
    sprite->setObsolete(true);
    markSprite(sprite, true);
}

void SpriteCanvas::removeAll()
{
    std::vector<Sprite*> all = snapshot();
    for (Sprite* sprite : all)
        removeSprite(sprite);
    releaseAll(all);
}

void SpriteCanvas::removeByName(const std::string& name)
{
    std::vector<Sprite*> all = snapshot();
    for (Sprite* sprite : all) {
        if (sprite->getName() == name)
            removeSprite(sprite);
    }
    releaseAll(all);
}

Sprite* SpriteCanvas::findSprite(const std::string& name) const
{
    for (Sprite* sprite : sprites) {
        if (!sprite->isObsolete() && sprite->getName() == name)
            return sprite;
    }
    return nullptr;
}

Sprite* SpriteCanvas::hitTest(int x, int y, int n) const
{
    int found = 0;
    for (auto it = sprites.rbegin(); it != sprites.rend(); ++it) {
        Sprite* sprite = *it;
        if (sprite->isInputBarrier() || sprite->contains(x, y)) {
            if (found == n)
                return sprite;
            ++found;
        }
    }
    return nullptr;
}

void SpriteCanvas::update(float elapsedSeconds, int elapsedMs, float measuredRate)
{
    frameRate.setFrame(elapsedSeconds, elapsedMs, measuredRate);
    std::vector<Sprite*> all = snapshot();
    for (Sprite* sprite : all) {
        if (!sprite->isObsolete())
            sprite->update();
    }
    releaseAll(all);
    removeObsolete();
}

void SpriteCanvas::update(const FrameTime& frame)
{
    update(frame.elapsedSeconds, frame.elapsedMs, frame.frameRate);
}

void SpriteCanvas::removeObsolete()
{
    bool removed = true;
    while (removed) {
        removed = false;
        for (std::size_t i = 0; i < sprites.size();) {
            Sprite* sprite = sprites[i];
            if (!sprite->isObsolete()) {
                ++i;
                continue;
            }
            sprite->onRemovedFromCanvas();
            markSprite(sprite, true);
            // The handler above may have changed the list: unlink by identity.
            auto it = std::find(sprites.begin(), sprites.end(), sprite);
            if (it != sprites.end()) {
                i = static_cast<std::size_t>(it - sprites.begin());
                sprites.erase(it);
            }
            if (std::find(sprites.begin(), sprites.end(), sprite) == sprites.end() && sprite->getCanvas() == this)
                sprite->setCanvas(nullptr);
            sprite->release();
            removed = true;
        }
    }
}

bool SpriteCanvas::overlaps(const Rect& a, const Rect& b)
{
    if (a.width < 1 || a.height < 1 || b.width < 1 || b.height < 1)
        return false;
    // In 64 bits an edge that would wrap in 32 bits simply lies far beyond.
    const long long aRight = static_cast<long long>(a.x) + a.width;
    const long long aBottom = static_cast<long long>(a.y) + a.height;
    const long long bRight = static_cast<long long>(b.x) + b.width;
    const long long bBottom = static_cast<long long>(b.y) + b.height;
    return aRight > b.x && bRight > a.x && aBottom > b.y && bBottom > a.y;
}

bool SpriteCanvas::tileRange(long long x, long long y, long long w, long long h, int& c0, int& r0, int& c1,
                             int& r1) const
{
    if (w < 1 || h < 1 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return false;
    if (!overlaps(Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)), area))
        return false;
    // An edge that ends exactly on a tile border also takes the tile behind it.
    c0 = static_cast<int>(std::max(x / tileWidth, 0LL));
    r0 = static_cast<int>(std::max(y / tileHeight, 0LL));
    c1 = static_cast<int>(std::min((x + w) / tileWidth, static_cast<long long>(columns - 1)));
    r1 = static_cast<int>(std::min((y + h) / tileHeight, static_cast<long long>(rows - 1)));
    return true;
}

void SpriteCanvas::markArea(int x, int y, int w, int h, bool value)
{
    int c0, r0, c1, r1;
    if (!tileRange(x, y, w, h, c0, r0, c1, r1))
        return;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            grid.set(c, r, value);
    anyDirty = true;
}

void SpriteCanvas::markRect(const Rect& rect, bool value)
{
    markArea(rect.x, rect.y, rect.width, rect.height, value);
}

void SpriteCanvas::markSprite(Sprite* sprite, bool value)
{
    if (sprite)
        markArea(sprite->getAbsoluteX(), sprite->getAbsoluteY(), sprite->getWidth(), sprite->getHeight(), value);
}

void SpriteCanvas::invalidateAll(bool value)
{
    markRect(area, value);
}

bool SpriteCanvas::isAreaDirty(const Rect& rect) const
{
    int c0, r0, c1, r1;
    if (!tileRange(rect.x, rect.y, rect.width, rect.height, c0, r0, c1, r1))
        return false;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            if (grid.get(c, r))
                return true;
    return false;
}

namespace {

// Where a sprite is on the canvas: its bounds at its absolute position.
Rect screenBounds(const Sprite* sprite)
{
    return Rect(sprite->getAbsoluteX(), sprite->getAbsoluteY(), sprite->getWidth(), sprite->getHeight());
}

} // namespace

void SpriteCanvas::render(Surface* target)
{
    for (Sprite* sprite : sprites) {
        if (!sprite->isDirty())
            continue;
        const Rect now = screenBounds(sprite);
        markRect(now, true);
        if (now != sprite->getDrawnBounds())
            markRect(sprite->getDrawnBounds(), true);
    }
    if (!grid.any())
        return;
    if (tiled && presentation && composition)
        renderTiled(target);
    else
        renderUntiled(target);
}

void SpriteCanvas::renderUntiled(Surface* target)
{
    if (background && target)
        drawSurfaceClipped(background, target, 0, 0);
    std::vector<Sprite*> all = snapshot();
    for (Sprite* sprite : all) {
        if (!sprite->isVisible() || !isAreaDirty(screenBounds(sprite)))
            continue;
        const std::uint32_t failures = drawErrorCount();
        sprite->draw(target);
        // A sprite whose picture went with a lost display rebuilds it when its blit fails; it stays
        // marked and is drawn in the next frame.
        if (drawErrorCount() == failures)
            sprite->setDirty(false);
    }
    releaseAll(all);
    grid.clear();
    anyDirty = false;
}

void SpriteCanvas::renderTiled(Surface* target)
{
    if (background) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                if (grid.get(c, r))
                    bltFastClipped(background, c * tileWidth, r * tileHeight, tileWidth, tileHeight, composition,
                                   c * tileWidth, r * tileHeight);
    }
    std::vector<Sprite*> all = snapshot();
    std::vector<Sprite*> failed;
    for (Sprite* sprite : all) {
        const Rect now = screenBounds(sprite);
        // Invisible sprites are not drawn here either.
        if (sprite->isVisible() && isAreaDirty(now)) {
            const std::uint32_t failures = drawErrorCount();
            sprite->draw(composition);
            if (drawErrorCount() != failures)
                failed.push_back(sprite);
        }
        sprite->setDrawnBounds(now);
    }
    bool lost = false;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (grid.get(c, r))
                lost = FAILED(bltFastClipped(composition, c * tileWidth, r * tileHeight, tileWidth, tileHeight,
                                             presentation, c * tileWidth, r * tileHeight)) || lost;
    if (target)
        drawSurfaceClipped(presentation, target, 0, 0);
    // As in the untiled redraw, a sprite that failed to draw stays marked for the next frame.
    for (Sprite* sprite : all)
        sprite->setDirty(std::find(failed.begin(), failed.end(), sprite) != failed.end());
    releaseAll(all);
    grid.clear();
    anyDirty = false;
    if (lost) {
        // The two working surfaces went with the display: they hold nothing that the sprites cannot
        // paint again, so they are made anew and the whole canvas is painted in the next frame.
        composition->check();
        presentation->check();
        invalidateAll(true);
    }
}

std::vector<Sprite*> SpriteCanvas::snapshot() const
{
    std::vector<Sprite*> copy(sprites);
    for (Sprite* sprite : copy)
        sprite->addRef();
    return copy;
}

void SpriteCanvas::releaseAll(std::vector<Sprite*>& list)
{
    for (Sprite* sprite : list)
        sprite->release();
    list.clear();
}

void SpriteCanvas::clearDispatch()
{
    releaseAll(dispatch);
}

void SpriteCanvas::gatherKey(std::uint32_t inputBit)
{
    clearDispatch();
    for (auto it = sprites.rbegin(); it != sprites.rend(); ++it) {
        Sprite* sprite = *it;
        if (!sprite->isObsolete() && sprite->hasInputFlags(inputBit)) {
            sprite->addRef();
            dispatch.push_back(sprite);
        }
        if (sprite->isInputBarrier())
            break;
    }
}

void SpriteCanvas::gatherHits(int x, int y, std::uint32_t inputBit, bool needsEnabled)
{
    // The same walk as hitTest with n = 0, 1, 2, ...
    clearDispatch();
    for (auto it = sprites.rbegin(); it != sprites.rend(); ++it) {
        Sprite* sprite = *it;
        if (!sprite->isInputBarrier() && !sprite->contains(x, y))
            continue;
        if (!sprite->isObsolete() && sprite->hasInputFlags(inputBit) &&
            (!needsEnabled || sprite->hasStateFlags(Sprite::StateEnabled))) {
            sprite->addRef();
            dispatch.push_back(sprite);
        }
        if (sprite->isInputBarrier())
            break;
    }
}

namespace {

// Calls the handler on each gathered sprite from the top, skipping obsolete ones; stops after a
// handler consumed the event when `stopAtConsumed` is set.
template <class Call>
void deliver(const std::vector<Sprite*>& receivers, const SpriteCanvas& canvas, bool stopAtConsumed, Call call)
{
    for (Sprite* sprite : receivers) {
        if (stopAtConsumed && canvas.isConsumed())
            break;
        if (sprite->isObsolete())
            continue;
        call(sprite);
    }
}

} // namespace

void SpriteCanvas::deliverGathered(bool stopAtConsumed, const std::function<void(Sprite*)>& call)
{
    std::vector<Sprite*> receivers;
    receivers.swap(dispatch);
    deliver(receivers, *this, stopAtConsumed, call);
    releaseAll(receivers);
}

void SpriteCanvas::keyPressed(int key)
{
    consumed = false;
    gatherKey(Sprite::InputKeyPressed);
    deliverGathered(true, [&](Sprite* s) { s->onKeyPressed(key); });
}

void SpriteCanvas::keyReleased(int key)
{
    consumed = false;
    gatherKey(Sprite::InputKeyReleased);
    deliverGathered(true, [&](Sprite* s) { s->onKeyReleased(key); });
}

void SpriteCanvas::keyTyped(char character)
{
    consumed = false;
    gatherKey(Sprite::InputKeyTyped);
    deliverGathered(true, [&](Sprite* s) { s->onKeyTyped(static_cast<unsigned char>(character)); });
}

void SpriteCanvas::leftPressed(int x, int y, int buttons, int doubleClick)
{
    consumed = false;
    gatherHits(x, y, Sprite::InputLeftPressed, true);
    deliverGathered(true, [&](Sprite* s) { s->onLeftPressed(x, y, buttons, doubleClick); });
    trackMouseOver(x, y, buttons);
}

void SpriteCanvas::leftReleased(int x, int y, int buttons)
{
    consumed = false;
    gatherHits(x, y, Sprite::InputLeftReleased, true);
    deliverGathered(true, [&](Sprite* s) { s->onLeftReleased(x, y, buttons); });
    trackMouseOver(x, y, buttons);
}

void SpriteCanvas::middlePressed(int x, int y, int buttons, int doubleClick)
{
    consumed = false;
    gatherHits(x, y, Sprite::InputMiddlePressed, false);
    deliverGathered(true, [&](Sprite* s) { s->onMiddlePressed(x, y, buttons, doubleClick); });
}

void SpriteCanvas::middleReleased(int x, int y, int buttons)
{
    consumed = false;
    gatherHits(x, y, Sprite::InputMiddleReleased, false);
    deliverGathered(false, [&](Sprite* s) { s->onMiddleReleased(x, y, buttons); });
    trackMouseOver(x, y, buttons);
}

void SpriteCanvas::rightPressed(int x, int y, int buttons, int doubleClick)
{
    consumed = false;
    gatherHits(x, y, Sprite::InputRightPressed, false);
    deliverGathered(true, [&](Sprite* s) { s->onRightPressed(x, y, buttons, doubleClick); });
}

void SpriteCanvas::rightReleased(int x, int y, int buttons)
{
    consumed = false;
    gatherHits(x, y, Sprite::InputRightReleased, false);
    deliverGathered(false, [&](Sprite* s) { s->onRightReleased(x, y, buttons); });
    trackMouseOver(x, y, buttons);
}

void SpriteCanvas::mouseMoved(int x, int y, int buttons)
{
    consumed = false;
    trackMouseOver(x, y, buttons);
}

void SpriteCanvas::trackMouseOver(int x, int y, int buttons)
{
    std::vector<Sprite*> all = snapshot();
    bool blocked = false;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        Sprite* sprite = *it;
        if (sprite->hasInputFlags(Sprite::InputMouseOver)) {
            const bool inside = sprite->contains(x, y);
            if ((!inside || blocked) && sprite->hasStateFlags(Sprite::StateMouseInside)) {
                sprite->removeStateFlags(Sprite::StateMouseInside);
                sprite->onMouseExited(x, y);
                sprite->setDirty(true);
            } else if (inside && !blocked && !sprite->hasStateFlags(Sprite::StateMouseInside)) {
                sprite->addStateFlags(Sprite::StateMouseInside);
                sprite->onMouseEntered(x, y);
                sprite->setDirty(true);
            }
        }
        if (sprite->isInputBarrier())
            blocked = true;
    }
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        Sprite* sprite = *it;
        if (!sprite->isObsolete() && sprite->hasInputFlags(Sprite::InputMouseOver))
            sprite->onMouseMoved(x, y, buttons);
        if (sprite->isInputBarrier())
            break;
    }
    releaseAll(all);
}
