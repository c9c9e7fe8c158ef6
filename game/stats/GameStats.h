// The statistics records of play. `GameStats` counts one stretch of play (the play field keeps one for the
// level in progress and saves it as "LevelStats"); `LevelStats` adds what the play field needs about the
// whole game (saved as "GameStats"); `DifficultyStats` adds the start and game-over counts and is a
// player's total for one mode and difficulty, kept by the statistics manager.
//
// Times are milliseconds in memory everywhere, whole seconds in every file.
#pragma once

#include "runtime/scramble/ScrambledInt.h"

#include <cstdint>
#include <vector>

class TiXmlElement;

class GameStats {
public:
    GameStats() = default;
    GameStats(const GameStats&) = default;
    GameStats& operator=(const GameStats&) = default;
    virtual ~GameStats() = default;

    // Clears every counter and the id list; the time stays.
    virtual void reset();
    // Adds `other` in: larger of the two bests, sums of the counts and the time, ids appended in order.
    void add(const GameStats& other);

    // The integer attributes, "time" in whole seconds, then the "AquiredTreasures" child with its items.
    void saveXML(TiXmlElement* element) const;
    // Missing attributes leave their fields; ids are appended to the list (load into fresh records). An
    // item without a readable "id" is skipped.
    void loadXML(const TiXmlElement* element);

    // Play time in milliseconds.
    uint32_t time = 0;
    ScrambledInt clearcount;
    ScrambledInt blocksremoved;
    int32_t gold = 0;
    int32_t biggestgroup = 0;
    int32_t biggestscore = 0;
    // Ids of the treasures taken, in the order taken; an id may repeat.
    std::vector<int32_t> acquiredTreasures;
    int32_t treasuresdropped = 0;

protected:
    // Everything but the time, shared by the merges.
    void addCounts(const GameStats& other);
};

class LevelStats : public GameStats {
public:
    // Also restarts the idle measure at the current clock value.
    void reset() override;

    // The base attributes, then "depth" ("%f"), "speedupused" and "success_clicked".
    void saveXML(TiXmlElement* element) const;
    void loadXML(const TiXmlElement* element);

    // Clock value of the game start or of the player's last click (the hints measure idle time from it).
    uint32_t lastActionTime = 0;
    bool success_clicked = false;
    bool speedupused = false;
    // The place this game reached in the highscore table, -1 none; not stored.
    int32_t highscorePlace = -1;
    // Depth reached in mode "ENDLESS".
    double depth = 0.0;
};

class DifficultyStats : public GameStats {
public:
    // The merge of `add`, the time included (milliseconds on both sides); the start and game-over counts
    // stay.
    void addGame(const GameStats& game);
    // Copies `other` into a fresh record (ids appended).
    void assign(const DifficultyStats& other);

    int32_t gameovercount = 0;
    int32_t startcount = 0;
};
