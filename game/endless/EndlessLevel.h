// The level of the mode "ENDLESS": the field never fills from a pipe but scrolls upward without end
// while new rows are pushed in from below. On top of the common level model it keeps the scroll
// position, the depth reached (six block rows of scrolling are one unit), the depth span of the current
// level and the scroll-speed curve that rises smoothly across that span.
//
// Built from the layout element "endlesslevel"; every random draw comes from the program-wide Random.
#pragma once

#include "game/level/Level.h"

#include <cstdint>

class EndlessLevel : public Level {
public:
    // Block rows of scrolling per unit of depth.
    static constexpr double kRowsPerDepth = 6.0;

    EndlessLevel() = default;

    // The factory's creator: a new level that has read the element.
    static void* create(const TiXmlElement* element);

    unsigned instanceSize() override { return sizeof(EndlessLevel); }

    // The base state, then "nrlinescreated", "prevlevelend" and "nextlevelend".
    void saveState(TiXmlElement* element) override;
    void loadState(const TiXmlElement* element) override;
    // The base start, then the next depth span: it begins where the last one ended.
    void startLevel() override;
    // Levels past the last definition keep the last definition.
    void extendLevel(int) override {}
    void createInitialLines() override;
    Block* createNextBlock(int x, int y) override;
    double scrollRemainder() override;
    // Pushes the field up one row; the picture does not move because the remainder grows by one row.
    void insertRow() override;
    // The base reader, then "leveldepth", "minspeed" and "maxspeed" of the same element.
    void readXML(const TiXmlElement* element) override;

    // The field's scroll position in pixels; every block takes it and the depth follows from it.
    void setScrollPosition(double y);
    // The next block of the row waiting below the field (the level's next-row step), placed one row
    // below the bottom row so that it is drawn where it will stand once the row is pushed in.
    Block* makeWaitingBlock();
    float getSpeed() const;
    bool isLevelEnd() const;
    float getDepth() const { return depth; }

    int getPrevLevelEnd() const { return prevLevelEnd; }
    int getNextLevelEnd() const { return nextLevelEnd; }
    double getScrollPosition() const { return levelYPos; }
    int getPixelsCreated() const { return pixelsCreated; }
    int getLevelDepth() const { return levelDepth; }
    float getMinSpeed() const { return minSpeed; }
    float getMaxSpeed() const { return maxSpeed; }

private:
    bool acceptsSpecial() const;
    // Puts every block of the grid and of the waiting row at its own home y again.
    void placeBlocksAgain();

    std::int32_t prevLevelEnd = 0;
    std::int32_t nextLevelEnd = 0;
    double levelYPos = 0.0;
    std::int32_t pixelsCreated = 0;
    float depth = 0.0f;
    float minSpeed = 0.0f;
    float maxSpeed = 0.0f;
    std::int32_t levelDepth = 0;
};
