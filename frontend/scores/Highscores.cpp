#include "frontend/scores/Highscores.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "frontend/app/GameApp.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/properties/Properties.h"
#include "runtime/properties/PropertiesValue.h"

namespace {

const char* groupKey(bool quattro) { return quattro ? "QUATTRO" : "TRIPLE"; }

// Larger-is-better by depth, score, level, gold, time: true when `a` ranks at or above `b`.
bool ranksAtOrAbove(const HighscoreEntry& a, const HighscoreEntry& b)
{
    if (a.depth != b.depth)
        return a.depth > b.depth;
    if (a.score != b.score)
        return a.score > b.score;
    if (a.level != b.level)
        return a.level > b.level;
    if (a.gold != b.gold)
        return a.gold > b.gold;
    if (a.time != b.time)
        return a.time > b.time;
    return true;
}

// The stored number `key` of an entry, when it is one; a value of another kind (a damaged file) leaves
// the made-up one in place.
void readNumber(const Properties& stored, const char* key, int& into)
{
    const PropertiesValue* value = stored.getValue(key);
    if (value != nullptr && value->isInt())
        into = value->getInt();
}

} // namespace

Highscores& Highscores::instance()
{
    static Highscores scores;
    return scores;
}

int Highscores::getMaxEntries()
{
    int count = getResourceInt("INT_NUM_HIGHSCORES");
    return count > 0 ? count : 0;
}

Highscores::Table& Highscores::table(const std::string& mode, bool quattro) { return tables_[mode][quattro]; }

void Highscores::init()
{
    for (const std::string& mode : getResourceList("LIST_GAMEMODE_NAMES")) {
        table(mode, false);
        table(mode, true);
    }
}

bool Highscores::qualifies(const std::string& mode, bool quattro, int level, int score, int time, int gold,
                           double depth)
{
    const Table& list = table(mode, quattro);
    if (static_cast<int>(list.size()) < getMaxEntries())
        return true;
    if (list.empty())
        return false;
    HighscoreEntry result{std::string(), level, score, time, gold, depth};
    return ranksAtOrAbove(result, list.back());
}

int Highscores::addScore(const std::string& mode, bool quattro, const std::string& name, int level, int score,
                         int time, int gold, double depth)
{
    if (!qualifies(mode, quattro, level, score, time, gold, depth))
        return 0;
    Table& list = table(mode, quattro);
    HighscoreEntry result{name, level, score, time, gold, depth};
    auto place = std::find_if(list.begin(), list.end(),
                              [&](const HighscoreEntry& entry) { return ranksAtOrAbove(result, entry); });
    int rank = static_cast<int>(place - list.begin()) + 1;
    Properties& config = GameApp::getConfig();
    const int maxEntries = getMaxEntries();
    if (rank > maxEntries) {
        rank = 0;
    } else {
        list.insert(place, result);
        if (static_cast<int>(list.size()) > maxEntries)
            list.resize(static_cast<std::size_t>(maxEntries));
        config.setString("lastscoregame", mode);
        config.setInt("lastscorequattro", quattro ? 1 : 0);
    }
    config.setInt("lastscorerank", rank);
    GameApp::saveConfig();
    return rank;
}

void Highscores::resetToDummies(Properties& config)
{
    std::vector<std::string> names(getResourceList("LIST_HIGHSCORE_DUMMY_NAMES").begin(),
                                   getResourceList("LIST_HIGHSCORE_DUMMY_NAMES").end());
    const int maxEntries = getMaxEntries();
    for (const std::string& mode : getResourceList("LIST_GAMEMODE_NAMES")) {
        for (bool quattro : {false, true}) {
            if (!names.empty()) {
                // Each table gets its own order, driven by the C library's generator.
                for (std::size_t i = names.size() - 1; i > 0; --i)
                    std::swap(names[i], names[static_cast<std::size_t>(std::rand()) % (i + 1)]);
            }
            Table& list = table(mode, quattro);
            list.clear();
            for (int i = 0; i < maxEntries; ++i) {
                const int k = maxEntries - i;
                HighscoreEntry entry;
                // A short name list is used again from its start rather than read past its end.
                if (!names.empty())
                    entry.name = names[static_cast<std::size_t>(i) % names.size()];
                entry.score = 500 * k;
                entry.gold = 2 * k;
                entry.time = 0;
                entry.level = mode == "ENDLESS" ? 0 : k;
                entry.depth = mode == "CLASSIC" ? 0.0 : 5.0 * k;
                list.push_back(entry);
            }
        }
    }
    config.setString("lastscoregame", "CLASSIC");
    config.setInt("lastscorequattro", 0);
    config.setInt("lastscorerank", 0);
}

void Highscores::resetToDummies() { resetToDummies(GameApp::getConfig()); }

void Highscores::resetAndSave()
{
    resetToDummies();
    GameApp::saveConfig();
}

void Highscores::read(Properties& config)
{
    resetToDummies(config);
    // Every level of the tree may have been damaged into a value of another kind: such a node is
    // replaced by an empty group and its tables keep their made-up entries.
    Properties& root = configChild(config, "highscores");
    for (auto& [mode, groups] : tables_) {
        Properties& modeChild = configChild(root, mode);
        for (auto& [quattro, list] : groups) {
            Properties& group = configChild(modeChild, groupKey(quattro));
            const unsigned count = group.size();
            for (unsigned i = 1; i <= count && i <= list.size(); ++i) {
                const Properties* stored = group.getChild(std::to_string(i));
                if (stored == nullptr)
                    continue;
                // A value missing from a stored entry, or of another kind, keeps the made-up one.
                HighscoreEntry& entry = list[i - 1];
                if (const PropertiesValue* name = stored->getValue("name"); name != nullptr && name->isString())
                    entry.name = name->getString();
                readNumber(*stored, "level", entry.level);
                readNumber(*stored, "score", entry.score);
                readNumber(*stored, "time", entry.time);
                readNumber(*stored, "gold", entry.gold);
                int depth = static_cast<int>(entry.depth);
                readNumber(*stored, "depth", depth);
                entry.depth = static_cast<double>(depth);
            }
        }
    }
}

void Highscores::read() { read(GameApp::getConfig()); }

void Highscores::write(Properties& config) const
{
    Properties& root = configChild(config, "highscores");
    for (const auto& [mode, groups] : tables_) {
        Properties& modeChild = configChild(root, mode);
        for (const auto& [quattro, list] : groups) {
            Properties& group = configChild(modeChild, groupKey(quattro));
            group.clear();
            for (std::size_t i = 0; i < list.size(); ++i) {
                Properties& stored = configChild(group, std::to_string(i + 1));
                const HighscoreEntry& entry = list[i];
                stored.setString("name", entry.name);
                stored.setInt("level", entry.level);
                stored.setInt("score", entry.score);
                stored.setInt("time", entry.time);
                stored.setInt("gold", entry.gold);
                stored.setInt("depth", static_cast<int>(entry.depth));
            }
        }
    }
}

void Highscores::write() { write(GameApp::getConfig()); }
