// The play field of the mode "ENDLESS": the field scrolls up without end at a speed that follows the
// depth, a new row enters each time it has scrolled by one row, and the game is lost when a row is due
// while the top row is occupied and the game-over countdown runs out.
#pragma once

#include "game/field/PlayScene.h"

#include <string>

class EndlessLevel;
class PixelFontLabel;
class ScrollSprite;

// The depth written through a localised format: exactly one floating-point conversion is filled in;
// any other format is shown as it is with the depth appended, so translated text can never misuse it.
std::string formatDepth(const std::string& format, double depth);

class EndlessPlayScene : public PlayScene {
public:
    static const ClassRecord classRecord;

    // Throws a GameTextException naming the identifier when the layout lacks the mode's level or its
    // menu button.
    explicit EndlessPlayScene(GameSettings* settings);
    ~EndlessPlayScene() override;

    unsigned instanceSize() override { return sizeof(EndlessPlayScene); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    void start() override {}
    void updatePhase() override;
    void sendEvent(int event) override;
    void saveModeState(TiXmlElement* element) override;
    void updateGame() override;
    int clearBonusPoints() override;
    int clearBonusFactor() override;
    void openDialog(int kind) override;

    void fillNewRow();
    void putBlocksOnCanvas(bool hide);
    void updateDepthLabel();

    // Scrolled distance plus offset: negative and falling while the field moves up.
    double getScrollPosition() const;
    ScrollSprite* getScrollSprite() const { return scrollSprite; }
    PixelFontLabel* getDepthLabel() const { return depthLabel; }
    EndlessLevel* getEndlessLevel() const { return endlessLevel; }
    bool isTopAlarm() const { return topAlarm; }
    float getBaseSpeed() const { return baseSpeed; }

protected:
    void startGame();
    void speedUp();
    void goldDone();
    void runLevelUp();
    void updateRockFall();
    void updateEndlessEnd();

    EndlessLevel* endlessLevel = nullptr;
    ScrollSprite* scrollSprite = nullptr;
    Sprite* mineBottom = nullptr;
    PixelFontLabel* depthLabel = nullptr;
    float baseSpeed = 0.0f;
    bool topAlarm = false;
    int speedUpRow = -1;
};
