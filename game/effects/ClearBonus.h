// The bonus for a cleared field: a headline drops in and sways, an invisible marker runs down a column
// of arrows that flash in turn as it passes, and once it arrives the bonus points rise as a floater.
// The marker owns the show: when it leaves the canvas the headline and the points fade out with it.
#pragma once

#include "toolkit/sprite/Sprite.h"

#include <vector>

class BitmapFont;
class BitmapSprite;
class Floater;
class TextSprite;

class ClearBonus : public Sprite {
public:
    // The arrows fill the column from bottomY up to the top of the area (x, y, width, height); a factor
    // of 2 or more shows as "+points x factor".
    ClearBonus(BitmapFont* textFont, BitmapFont* headlineFont, int points, int factor, int areaX, int areaY,
               int areaWidth, int areaHeight, int bottomY);
    ~ClearBonus() override;

    unsigned instanceSize() override { return sizeof(ClearBonus); }
    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    void tick() override;

    TextSprite* getHeadline() const { return headline; }
    Floater* getPoints() const { return points; }
    const std::vector<BitmapSprite*>& getArrows() const { return arrows; }
    int getCentreX() const { return centreX; }
    bool isFinished() const { return finished; }

private:
    TextSprite* headline = nullptr;
    int headlineTargetY = 0;
    Floater* points = nullptr;
    int centreX = 0;
    std::vector<BitmapSprite*> arrows;
    bool finished = false;
};
