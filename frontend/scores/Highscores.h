// The local highscore lists: one ranked list per game mode and group size (threes "TRIPLE", fours
// "QUATTRO"), kept in the configuration tree under "highscores". Results rank by depth, then score,
// level, gold and time, each larger-is-better; a new result goes above an older equal one.
#pragma once

#include <map>
#include <string>
#include <vector>

class Properties;

struct HighscoreEntry {
    std::string name;
    int level = 0;
    int score = 0;
    int time = 0;
    int gold = 0;
    double depth = 0.0;
};

class Highscores {
public:
    using Table = std::vector<HighscoreEntry>;

    Highscores() = default;
    virtual ~Highscores() = default;

    // The program's tables.
    static Highscores& instance();

    // Makes sure every mode of "LIST_GAMEMODE_NAMES" has both tables.
    void init();
    // Fills the tables from the configuration's "highscores" (made-up entries where it holds none).
    void read(Properties& config);
    void read();
    // Stores the tables into the configuration's "highscores".
    void write(Properties& config) const;
    void write();

    // The layout integer "INT_NUM_HIGHSCORES".
    static int getMaxEntries();
    bool qualifies(const std::string& mode, bool quattro, int level, int score, int time, int gold,
                   double depth);
    // Enters a result; its 1-based place, or 0 when it does not qualify. Records the place in the
    // configuration ("lastscoregame", "lastscorequattro", "lastscorerank") and saves it.
    int addScore(const std::string& mode, bool quattro, const std::string& name, int level, int score,
                 int time, int gold, double depth);
    // Refills every table with made-up entries from "LIST_HIGHSCORE_DUMMY_NAMES".
    void resetToDummies(Properties& config);
    void resetToDummies();
    // resetToDummies, then saves the configuration.
    void resetAndSave();
    // One table, created empty when absent.
    Table& table(const std::string& mode, bool quattro);
    const std::map<std::string, std::map<bool, Table>>& tables() const { return tables_; }

private:
    std::map<std::string, std::map<bool, Table>> tables_;
};
