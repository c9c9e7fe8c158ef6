#include "game/stats/StatsManager.h"

#include "compat/win32/path.h"
#include "game/stats/PlayerFiles.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/Random.h"
#include "runtime/streams/XMLDocumentFile.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace {

constexpr int kStatsVersion = 2;
constexpr const char* kReadErrorId = "STRING_ERROR_READING_STATS_TEXT";
constexpr const char* kWriteErrorId = "STRING_ERROR_WRITING_STATS_TEXT";

// The player's message for a statistics file error: the property string of that identifier, or the
// identifier itself while the store does not have it.
std::string messageText(const char* id)
{
    PropertyManager* store = LayoutDocument::propertyStore();
    if (store != nullptr && store->hasString(id))
        return store->getString(id);
    return id;
}

bool readInt(const TiXmlElement* element, const char* name, int32_t& field)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) != TIXML_SUCCESS)
        return false;
    field = value;
    return true;
}

void readFlag(const TiXmlElement* element, const char* name, bool& field)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) == TIXML_SUCCESS)
        field = value != 0;
}

// A count from the file: a hand-edited negative one reads as none.
void readCount(const TiXmlElement* element, const char* name, int32_t& field)
{
    if (readInt(element, name, field) && field < 0)
        field = 0;
}

void readScrambled(const TiXmlElement* element, const char* name, ScrambledInt& field)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) == TIXML_SUCCESS)
        field.set(value);
}

// Seconds in the file, milliseconds in memory.
void readSeconds(const TiXmlElement* element, const char* name, uint32_t& field)
{
    int seconds = 0;
    if (element->QueryIntAttribute(name, &seconds) == TIXML_SUCCESS)
        field = static_cast<uint32_t>(std::clamp(seconds, 0, static_cast<int>(UINT32_MAX / 1000))) * 1000u;
}

int32_t clampToInt(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Counts that a hand-edited file may have set to the limit stop there instead of overflowing.
void countUp(int32_t& count)
{
    if (count < INT32_MAX)
        ++count;
}

// The defaults will be saved over a file that could not be read: a copy stays beside it (".damaged"
// added to the stored name) so the player's data can still be rescued by hand.
void keepDamagedFile(const std::string& path)
{
    std::error_code ignored;
    for (const std::string& name : {path + ".!", path}) {
        std::string host = compat::hostPath(name);
        if (std::filesystem::is_regular_file(host, ignored)) {
            std::filesystem::copy_file(host, host + ".damaged", std::filesystem::copy_options::overwrite_existing,
                                       ignored);
            return;
        }
    }
}

} // namespace

StatsManager::StatsManager() = default;

StatsManager::~StatsManager() = default;

void StatsManager::appendHintStats(TiXmlElement& parent, const int32_t (&counts)[kHintKinds])
{
    TiXmlElement hints("HintStats");
    for (int id = 0; id < kHintKinds; ++id) {
        TiXmlElement item("Item");
        item.SetAttribute("id", id);
        item.SetAttribute("count", counts[id]);
        hints.InsertEndChild(item);
    }
    parent.InsertEndChild(hints);
}

StatsManager& StatsManager::instance()
{
    static StatsManager manager;
    return manager;
}

DifficultyStats& StatsManager::getStats(const std::string& mode, const std::string& difficulty)
{
    auto modeIt = std::find_if(modeStats.begin(), modeStats.end(), [&](const ModeStats& m) { return m.mode == mode; });
    if (modeIt == modeStats.end()) {
        modeStats.push_back(ModeStats{mode, {}});
        modeIt = modeStats.end() - 1;
    }
    auto& difficulties = modeIt->difficulties;
    auto it = std::find_if(difficulties.begin(), difficulties.end(),
                           [&](const auto& entry) { return entry.first == difficulty; });
    if (it != difficulties.end())
        return *it->second;
    difficulties.emplace_back(difficulty, std::make_unique<DifficultyStats>());
    return *difficulties.back().second;
}

const DifficultyStats* StatsManager::findStats(const std::string& mode, const std::string& difficulty) const
{
    for (const ModeStats& m : modeStats) {
        if (m.mode != mode)
            continue;
        for (const auto& entry : m.difficulties) {
            if (entry.first == difficulty)
                return entry.second.get();
        }
    }
    return nullptr;
}

std::string StatsManager::statsFilePath() const
{
    if (playerFiles == nullptr)
        return std::string();
    std::string player = playerFiles->getCurrentPlayer();
    if (player.empty())
        return std::string();
    return playerFiles->getPlayerFilePath("data", player, ".cfg");
}

void StatsManager::resetToDefaults()
{
    saveEnabled = true;
    dirty = true;
    hintsEnabled = true;
    distinctOwned = 0;
    totalTaken = 0;
    treasuresdroppedsince = 0;
    lasttabpage = true;
    // The totals go, and with them the record of the game in progress; so do the other player's settings.
    current = nullptr;
    modeStats.clear();
    prevSettings.clear();

    const LayoutStringList& modes = getResourceList("LIST_GAMEMODE_NAMES");
    const LayoutStringList& difficulties = getResourceList("LIST_DIFFICULTY_NAMES");
    treasureCountdown = getResourceInt("INT_TREASURE_DROP_BLOCK_START");
    // New players start on the second difficulty (normal), not the first.
    std::string preset = difficulties.size() > 1 ? difficulties[1] : (difficulties.empty() ? "" : difficulties[0]);
    for (const std::string& mode : modes) {
        GameSettings& settings = prevSettings[mode];
        settings = GameSettings();
        settings.mode = mode;
        settings.difficulty = preset;
        for (const std::string& difficulty : difficulties)
            getStats(mode, difficulty);
    }

    for (TreasureDesc& treasure : treasures) {
        treasure.dropcount = 0;
        treasure.aquirecount = 0;
    }

    hintsEnabled = false;
    setHintsEnabled(true);
}

void StatsManager::load()
{
    save();
    resetToDefaults();

    std::string path = statsFilePath();
    if (path.empty())
        return;
    // A player who has never played has no file yet: that is no error, and the record stays dirty so the
    // next save creates the file.
    std::error_code ignored;
    if (!std::filesystem::exists(compat::hostPath(path + ".!"), ignored) &&
        !std::filesystem::exists(compat::hostPath(path), ignored))
        return;

    std::string message = messageText(kReadErrorId);
    TiXmlDocument document;
    if (!loadXMLDocument(document, path, message.c_str(), true)) {
        keepDamagedFile(path);
        return;
    }
    if (document.Error() || document.RootElement() == nullptr) {
        reportXMLMessage(message.c_str(), path, "STRING_ERROR_READING_XML_HEADER");
        keepDamagedFile(path);
        return;
    }
    readDocument(document);
    dirty = false;
}

void StatsManager::readDocument(const TiXmlDocument& document)
{
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr)
        return;
    for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const std::string tag = child->ValueStr();
        if (tag == "GlobalStats") {
            readInt(child, "globaltreasurecounter", treasureCountdown);
            readInt(child, "treasuresdroppedsince", treasuresdroppedsince);
            readFlag(child, "hints", hintsEnabled);
            readFlag(child, "lasttabpage", lasttabpage);
        } else if (tag == "GameModeStats") {
            const char* mode = child->Attribute("gamemode");
            if (mode == nullptr)
                continue;
            GameSettings& settings = prevSettings[mode];
            settings.mode = mode;
            readFlag(child, "prev_quattro", settings.quattro);
            readInt(child, "prev_blockset", settings.blockset);
            if (const char* difficulty = child->Attribute("prev_difficulty"))
                settings.difficulty = difficulty;
            for (const TiXmlElement* entry = child->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
                const char* difficulty = entry->Attribute("difficulty");
                if (difficulty == nullptr)
                    continue;
                DifficultyStats& stats = getStats(mode, difficulty);
                readInt(entry, "treasuresdropped", stats.treasuresdropped);
                readScrambled(entry, "blocksremoved", stats.blocksremoved);
                readInt(entry, "gold", stats.gold);
                readInt(entry, "biggestgroup", stats.biggestgroup);
                readInt(entry, "biggestscore", stats.biggestscore);
                readScrambled(entry, "clearcount", stats.clearcount);
                readSeconds(entry, "time", stats.time);
                readInt(entry, "startcount", stats.startcount);
                readInt(entry, "gameovercount", stats.gameovercount);
            }
        } else if (tag == "TreasureStats") {
            for (const TiXmlElement* item = child->FirstChildElement(); item; item = item->NextSiblingElement()) {
                int id = -1;
                if (item->QueryIntAttribute("treasureid", &id) != TIXML_SUCCESS || id < 0 || id >= kTreasureCount)
                    continue;
                readCount(item, "dropcount", treasures[id].dropcount);
                readCount(item, "aquirecount", treasures[id].aquirecount);
            }
        } else if (tag == "HintStats") {
            for (const TiXmlElement* item = child->FirstChildElement(); item; item = item->NextSiblingElement()) {
                int id = -1;
                if (item->QueryIntAttribute("id", &id) != TIXML_SUCCESS || id < 0 || id >= kHintKinds)
                    continue;
                readInt(item, "count", hintCounts[id]);
            }
        }
    }
    // Counted from the table, so a treasure listed twice is still one treasure.
    int64_t taken = 0;
    distinctOwned = 0;
    for (const TreasureDesc& treasure : treasures) {
        if (treasure.aquirecount > 0) {
            ++distinctOwned;
            taken += treasure.aquirecount;
        }
    }
    totalTaken = clampToInt(taken);
}

void StatsManager::writeDocument(TiXmlDocument& document) const
{
    TiXmlElement root("Root");

    TiXmlElement global("GlobalStats");
    global.SetAttribute("statsversion", kStatsVersion);
    global.SetAttribute("globaltreasurecounter", treasureCountdown);
    global.SetAttribute("treasuresdroppedsince", treasuresdroppedsince);
    global.SetAttribute("hints", hintsEnabled ? 1 : 0);
    global.SetAttribute("lasttabpage", lasttabpage ? 1 : 0);
    root.InsertEndChild(global);

    for (const ModeStats& m : modeStats) {
        GameSettings settings;
        if (auto found = prevSettings.find(m.mode); found != prevSettings.end())
            settings = found->second;
        TiXmlElement mode("GameModeStats");
        mode.SetAttribute("gamemode", m.mode);
        mode.SetAttribute("prev_quattro", settings.quattro ? 1 : 0);
        mode.SetAttribute("prev_blockset", settings.blockset);
        mode.SetAttribute("prev_difficulty", settings.difficulty);
        for (const auto& [name, stats] : m.difficulties) {
            TiXmlElement entry("DifficultyStats");
            entry.SetAttribute("difficulty", name);
            entry.SetAttribute("treasuresdropped", stats->treasuresdropped);
            entry.SetAttribute("blocksremoved", stats->blocksremoved.get());
            entry.SetAttribute("gold", stats->gold);
            entry.SetAttribute("biggestgroup", stats->biggestgroup);
            entry.SetAttribute("biggestscore", stats->biggestscore);
            entry.SetAttribute("clearcount", stats->clearcount.get());
            entry.SetAttribute("time", static_cast<int>(stats->time / 1000));
            entry.SetAttribute("startcount", stats->startcount);
            entry.SetAttribute("gameovercount", stats->gameovercount);
            mode.InsertEndChild(entry);
        }
        root.InsertEndChild(mode);
    }

    TiXmlElement treasureList("TreasureStats");
    for (int id = 0; id < kTreasureCount; ++id) {
        TiXmlElement item("Item");
        item.SetAttribute("treasureid", id);
        item.SetAttribute("aquirecount", treasures[id].aquirecount);
        item.SetAttribute("dropcount", treasures[id].dropcount);
        treasureList.InsertEndChild(item);
    }
    root.InsertEndChild(treasureList);

    appendHintStats(root, hintCounts);

    document.Clear();
    document.InsertEndChild(root);
}

bool StatsManager::save()
{
    if (!saveEnabled || !dirty)
        return true;
    std::string path = statsFilePath();
    if (path.empty())
        return true;
    TiXmlDocument document;
    writeDocument(document);
    // The player's folder may not exist yet (a first save); a failure to make it shows as the write's.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(compat::hostPath(path)).parent_path(), ignored);
    std::string message = messageText(kWriteErrorId);
    if (!saveXMLDocument(document, path, message.c_str()))
        return false;
    dirty = false;
    return true;
}

void StatsManager::onGameStarted(const GameSettings& settings)
{
    current = &getStats(settings.mode, settings.difficulty);
    prevSettings[settings.mode] = settings;
    countUp(current->startcount);
    droppedThisGame = 0;
    takenThisGame = 0;
    dirty = true;
}

void StatsManager::onGameEnded(const GameStats& game)
{
    if (current != nullptr) {
        current->addGame(game);
        countUp(current->gameovercount);
    }
    if (treasureCountdown > getResourceInt("INT_TREASURE_DROP_BLOCK_MAX"))
        restartTreasureCountdown();
    dirty = true;
}

void StatsManager::setHintsEnabled(bool flag)
{
    if (flag == hintsEnabled)
        return;
    if (flag) {
        const LayoutIntegerList& counts = getResourceVector("LIST_HINT_COUNTS_PER_PLAYER");
        size_t n = std::min(counts.size(), static_cast<size_t>(kHintKinds));
        for (size_t i = 0; i < n; ++i)
            hintCounts[i] = counts[i];
    }
    hintsEnabled = flag;
    dirty = true;
}

void StatsManager::useHint(int kind)
{
    if (kind < 0 || kind >= kHintKinds)
        return;
    // A stock that is spent stays at 0: callers spend without looking at it first.
    if (hintCounts[kind] > 0)
        --hintCounts[kind];
    if (hintsEnabled)
        hintsEnabled = std::any_of(std::begin(hintCounts), std::end(hintCounts), [](int32_t n) { return n > 0; });
    dirty = true;
}

int StatsManager::getTreasuresUntilUnlock() const
{
    for (int threshold : getResourceVector("VECTOR_TREASURE_UNLOCK_AMOUNT")) {
        if (threshold > distinctOwned)
            return threshold - distinctOwned;
    }
    return 0;
}

double StatsManager::getTreasureProgress() const
{
    return std::clamp(static_cast<double>(distinctOwned) / kTreasureCount, 0.0, 1.0);
}

bool StatsManager::isUnlocked(int index) const
{
    const LayoutIntegerList& thresholds = getResourceVector("VECTOR_TREASURE_UNLOCK_AMOUNT");
    if (index < 0 || static_cast<size_t>(index) >= thresholds.size())
        return false;
    return distinctOwned >= thresholds[static_cast<size_t>(index)];
}

void StatsManager::loadTreasureDescs()
{
    for (int id = 0; id < kTreasureCount; ++id) {
        treasures[id].clear();
        treasures[id].id = id;
    }
    const TiXmlElement* list = findLayoutElement("TREASURE_DESCRIPTIONS");
    int id = 0;
    for (const TiXmlElement* child = list ? list->FirstChildElement() : nullptr; child && id < kTreasureCount;
         child = child->NextSiblingElement(), ++id) {
        treasures[id].readXML(child);
        treasures[id].id = id;
    }
}

void StatsManager::pickNextTreasure()
{
    currentTreasure = -1;
    const int untilNotRandom = getResourceInt("INT_NUM_TREASURES_UNTIL_NOT_RANDOM");
    // Early on every treasure can drop; later only the ones still missing, until the chest is full.
    const bool everyTreasure = totalTaken < untilNotRandom || distinctOwned > kTreasureCount - 1;
    int64_t sum = 0;
    for (TreasureDesc& treasure : treasures) {
        bool owned = treasure.aquirecount > 0;
        if (owned && !everyTreasure) {
            treasure.drawLimit = -1;
            continue;
        }
        // A negative weight in the data counts as none, so the draw's bound stays valid.
        sum += std::max(0, owned ? treasure.foundfrequency : treasure.normalfrequency);
        sum = std::min<int64_t>(sum, INT32_MAX - 1);
        treasure.drawLimit = static_cast<int32_t>(sum);
    }
    const int32_t r = Random::global().nextInt(static_cast<int32_t>(sum + 1));
    for (int id = 0; id < kTreasureCount; ++id) {
        if (treasures[id].drawLimit >= r) {
            currentTreasure = id;
            return;
        }
    }
}

void StatsManager::restartTreasureCountdown()
{
    const int64_t low = getResourceInt("INT_TREASURE_DROP_BLOCK_MIN");
    const int64_t high = getResourceInt("INT_TREASURE_DROP_BLOCK_MAX");
    // Equal bounds give MIN itself; a maximum below the minimum does too.
    const int32_t bound = static_cast<int32_t>(std::clamp<int64_t>(high - low, 0, INT32_MAX));
    treasureCountdown = clampToInt(low + Random::global().nextInt(bound));
}

void StatsManager::dropTreasure()
{
    pickNextTreasure();
    restartTreasureCountdown();
    if (currentTreasure >= 0 && currentTreasure < kTreasureCount)
        countUp(treasures[currentTreasure].dropcount);
    countUp(droppedThisGame);
    countUp(treasuresdroppedsince);
    dirty = true;
}

void StatsManager::acquireTreasure()
{
    newBonus = 0;
    if (currentTreasure < 0 || currentTreasure >= kTreasureCount)
        return;
    TreasureDesc& treasure = treasures[currentTreasure];
    if (treasure.aquirecount == 0) {
        ++distinctOwned;
        const LayoutIntegerList& thresholds = getResourceVector("VECTOR_TREASURE_UNLOCK_AMOUNT");
        for (size_t i = 0; i < thresholds.size(); ++i) {
            if (thresholds[i] >= distinctOwned) {
                if (thresholds[i] == distinctOwned)
                    newBonus = static_cast<int32_t>(i);
                break;
            }
        }
    }
    countUp(totalTaken);
    countUp(treasure.aquirecount);
    countUp(takenThisGame);
    treasuresdroppedsince = 0;
    lasttabpage = treasure.type == TreasureDesc::Gem;
    dirty = true;
}
