// Everything the game remembers about the current player apart from highscores and saved games: the
// totals per mode and difficulty, the settings last used per mode, the treasure collection with its drop
// countdown, and the hint switch with the hints left per kind. One instance serves the whole program
// (`instance`); it is filled from the player's statistics file when a player becomes current and written
// back when its owners ask and something changed.
//
// The statistics file is the player's data: it is replaced through a temporary file, so a failed write
// keeps the previous file, and the record stays dirty so the next save tries again.
#pragma once

#include "game/field/GameSettings.h"
#include "game/stats/GameStats.h"
#include "game/stats/TreasureDesc.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class PlayerFiles;
class TiXmlDocument;
class TiXmlElement;

class StatsManager {
public:
    static constexpr int kTreasureCount = 24;
    static constexpr int kHintKinds = 16;

    // The totals of one mode, difficulties in the order they were first met.
    struct ModeStats {
        std::string mode;
        std::vector<std::pair<std::string, std::unique_ptr<DifficultyStats>>> difficulties;
    };

    StatsManager();
    StatsManager(const StatsManager&) = delete;
    StatsManager& operator=(const StatsManager&) = delete;
    virtual ~StatsManager();

    // The program-wide statistics.
    static StatsManager& instance();
    // Appends a stock of hints as the statistics file and a saved game keep it: a "HintStats" element
    // with an "Item" of "id" and "count" for each kind.
    static void appendHintStats(TiXmlElement& parent, const int32_t (&counts)[kHintKinds]);

    // Who is playing and where their files are; not owned. Null: no player.
    void setPlayerFiles(PlayerFiles* files) { playerFiles = files; }
    PlayerFiles* getPlayerFiles() const { return playerFiles; }

    // Saves the player before, then starts the current player from the defaults and reads their file.
    // A player without a file starts silently from the defaults and stays dirty so the next save
    // creates it; a file that exists but cannot be read is reported and the defaults stand; damaged
    // entries keep their defaults.
    void load();
    // Writes the file when saving is enabled and something changed. False only when a write failed:
    // the message "STRING_ERROR_WRITING_STATS_TEXT" was reported, the previous file is untouched and
    // the record stays dirty.
    bool save();
    // The statistics file's path for the current player (without the ".!" of its stored form); empty
    // when no player is current.
    std::string statsFilePath() const;
    // Reads a statistics document into the record (steps after the defaults; used by load and by tools).
    void readDocument(const TiXmlDocument& document);
    // Builds the statistics document of the record.
    void writeDocument(TiXmlDocument& document) const;

    void onGameStarted(const GameSettings& settings);
    void onGameEnded(const GameStats& game);

    // Switching on refills the hint counts from "LIST_HINT_COUNTS_PER_PLAYER". No change: nothing, not
    // even dirty.
    void setHintsEnabled(bool flag);
    // (options dialog) Whether the play hints are on.
    bool areHintsEnabled() const { return hintsEnabled; }
    // Spends one hint of the kind; the last hint of all switches hints off. A kind outside 0-15 is
    // ignored.
    void useHint(int kind);

    // How many more different treasures until the next unlock; 0 when all are unlocked.
    int getTreasuresUntilUnlock() const;
    // Share of the 24 treasures owned, 0.0 to 1.0.
    double getTreasureProgress() const;
    // True once the player owns at least as many different treasures as entry `index` of
    // "VECTOR_TREASURE_UNLOCK_AMOUNT"; false for an index the list does not hold.
    bool isUnlocked(int index) const;

    // Fills the table from the children of "TREASURE_DESCRIPTIONS" (ids 0-23; surplus children ignored).
    void loadTreasureDescs();
    // The drop countdown has run out.
    bool isTreasureDue() const { return treasureCountdown < 1; }
    // Picks the next treasure (currentTreasure), restarts the countdown and counts the drop.
    void dropTreasure();
    // The player took currentTreasure; sets newBonus to the unlock it reached (0 none).
    void acquireTreasure();
    // The weighted draw of the next treasure into currentTreasure (-1 when the table is empty).
    void pickNextTreasure();
    // Countdown = "INT_TREASURE_DROP_BLOCK_MIN" plus a draw below MAX - MIN.
    void restartTreasureCountdown();

    // The totals of a mode and difficulty, made when missing.
    DifficultyStats& getStats(const std::string& mode, const std::string& difficulty);
    // Null when missing.
    const DifficultyStats* findStats(const std::string& mode, const std::string& difficulty) const;
    const std::vector<ModeStats>& getModeStats() const { return modeStats; }

    // Shared with the play field and the dialogs.
    bool hintsEnabled = true;
    int32_t hintCounts[kHintKinds] = {};
    TreasureDesc treasures[kTreasureCount];
    // The record of the game in progress; null before the first game.
    DifficultyStats* current = nullptr;
    std::map<std::string, GameSettings> prevSettings;
    int32_t newBonus = 0;
    bool saveEnabled = false;
    bool dirty = false;
    // The treasure chest opens on its gem page.
    bool lasttabpage = true;
    int32_t distinctOwned = 0;
    int32_t totalTaken = 0;
    // New blocks until the next treasure drop; the play field counts it down.
    int32_t treasureCountdown = -1;
    // Id of the treasure last picked for a drop, -1 none.
    int32_t currentTreasure = -1;
    int32_t droppedThisGame = 0;
    int32_t takenThisGame = 0;
    int32_t treasuresdroppedsince = 0;

private:
    void resetToDefaults();

    std::vector<ModeStats> modeStats;
    PlayerFiles* playerFiles = nullptr;
};
