// A strip of copies of factory-made sprites: one copy after another along a direction, with a spacing,
// up to a count or until a bounds rectangle is covered, taking the factory's sprites in order or at
// random. It draws nothing itself; its copies are sprites of the same canvas, inserted right after it.
//
// For an endless strip (a scrolling background, a moving separator) the owner moves the copies (moving
// the strip moves every copy by the same difference) and calls wrapCopies after each move, which
// recycles the oldest copy once it has left the bounds and makes a new one beside the newest.
#pragma once

#include "runtime/values/Rect.h"
#include "toolkit/sprite/XMLSprite.h"

#include <memory>
#include <vector>

class AbstractXMLSpriteFactory;

class RepeatingSprite : public XMLSprite {
public:
    enum Direction : int { Right = 0, Left = 1, Down = 2, Up = 3 };
    enum RepeatType : int { Sequential = 0, RandomPick = 1, NoDoubles = 2 };
    enum AllocStyle : int { AllocDirect = 0, AllocJustInTime = 1, AllocManual = 2 };
    enum RepeatStyle : int { RepeatNumber = 0, RepeatWindow = 1, RepeatWrap = 2, RepeatInfinite = 3 };

    // Hand-edited layouts can ask for any number of copies; a strip never holds more than this.
    static constexpr int kMaxCopies = 1024;
    // All strips together hold at most this many copies (strips of strips multiply).
    static constexpr int kMaxLiveCopies = 16 * kMaxCopies;

    static const ClassRecord classRecord;

    RepeatingSprite();
    RepeatingSprite(const RepeatingSprite&) = delete;
    RepeatingSprite& operator=(const RepeatingSprite&) = delete;
    ~RepeatingSprite() override;

    unsigned instanceSize() override { return sizeof(RepeatingSprite); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // The XMLSprite attributes, then the factory child, the counts, the bounds child and the keywords;
    // finally the factory's sprite 0 becomes the template and gives the strip its size.
    void readXML(const TiXmlElement* element) override;

    // Computes how many copies cover the bounds, sizes the strip and makes the copies. Runs once: a
    // later call (the strip put on a canvas again) keeps the copies it has.
    void build();
    // Recycles the oldest copies that have left the bounds; each copy held at the call is looked at
    // once, so copies made here wait for the next call.
    void wrapCopies();

    // Move every copy by the same difference.
    void setX(int x) override;
    void setY(int y) override;
    // Put the copies on the canvas right after the strip, oldest first / take them off again.
    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;

    // Counted; replaces the factory and makes its sprite 0 the template (which sizes the strip).
    void setFactory(AbstractXMLSpriteFactory* newFactory);
    AbstractXMLSpriteFactory* getFactory() const { return factory; }
    void setRepeatBounds(const Rect& rect) { repeatBounds = std::make_unique<Rect>(rect); }
    const Rect* getRepeatBounds() const { return repeatBounds.get(); }

    void setRepeatCount(int n) { repeatCount = n; }
    int getRepeatCount() const { return repeatCount; }
    // Copies needed to cover the bounds, as build computed it.
    int getCopiesNeeded() const { return copiesNeeded; }
    int getCreated() const { return created; }
    void setSpacing(int gap) { spacing = gap; }
    int getSpacing() const { return spacing; }
    void setDirection(int value) { direction = value; }
    int getDirection() const { return direction; }
    void setRepeatType(int value) { repeatType = value; }
    int getRepeatType() const { return repeatType; }
    void setAllocStyle(int value) { allocStyle = value; }
    int getAllocStyle() const { return allocStyle; }
    void setRepeatStyle(int value) { repeatStyle = value; }
    int getRepeatStyle() const { return repeatStyle; }
    int getLastIndex() const { return lastIndex; }
    Sprite* getTemplate() const { return templateSprite; }
    // The copies, oldest first.
    const std::vector<Sprite*>& getCopies() const { return copyList; }

private:
    // Picks the factory index, makes the sprite, places it and lists it; false when nothing was made.
    bool makeCopy();
    void place(Sprite* copy);
    bool isOutside(const Sprite* copy, const Rect& area) const;
    void releaseTemplate();

    int repeatCount = 1;
    int copiesNeeded = 1;
    int created = 0;
    int spacing = 0;
    std::unique_ptr<Rect> repeatBounds;
    int lastIndex = -1;
    AbstractXMLSpriteFactory* factory = nullptr;
    Sprite* templateSprite = nullptr;
    int direction = Down;
    int repeatType = NoDoubles;
    int allocStyle = AllocJustInTime;
    int repeatStyle = RepeatWindow;
    std::vector<Sprite*> copyList;
    bool built = false;
    bool reportedFailure = false;
};
