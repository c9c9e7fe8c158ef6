// The base of the animations that lead from one screen into the next: it carries a picture of the screen
// that was left and one of the screen that is entered, each in a bitmap sprite, and a state that the
// scene playing it watches. A concrete transition places and adds the two pictures when it starts
// (state Running) and reports the end of its animation (state Finished); the scene then takes it down
// (state Done). It answers with the XMLSprite class record, having none of its own.
#pragma once

#include "toolkit/sprite/XMLSprite.h"

class BitmapSprite;

class TransitionSprite : public XMLSprite {
public:
    enum State : int { Constructed = 0, ImagesSet = 1, Running = 2, Finished = 3, Done = 4 };

    TransitionSprite() = default;
    ~TransitionSprite() override;

    unsigned instanceSize() override { return sizeof(TransitionSprite); }
    // Enabled exactly while the animation runs.
    bool isEnabled() const override { return state == Running; }
    // Takes both pictures off the canvas too.
    void onRemovedFromCanvas() override;

    // Makes the two pictures (each a bitmap sprite at (0, 0) sized to its surface; the sprites hold their
    // own references on the surfaces) and sets state ImagesSet. Either surface may be null.
    void setImages(Surface* fromSurface, Surface* toSurface);
    // Sets state Done.
    void finish() { state = Done; }

    int getState() const { return state; }
    void setState(int newState) { state = newState; }
    BitmapSprite* getFromImage() const { return fromImage; }
    BitmapSprite* getToImage() const { return toImage; }

protected:
    // Marks both pictures obsolete on the canvas they are on (the one the transition plays on).
    void removeImages();

    BitmapSprite* fromImage = nullptr;
    BitmapSprite* toImage = nullptr;
    int state = Constructed;
};
