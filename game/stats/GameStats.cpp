#include "game/stats/GameStats.h"

#include "compat/win32/system/machine/timer.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr const char* kTreasureList = "AquiredTreasures";

void readInt(const TiXmlElement* element, const char* name, int32_t& field)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) == TIXML_SUCCESS)
        field = value;
}

void readScrambled(const TiXmlElement* element, const char* name, ScrambledInt& field)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) == TIXML_SUCCESS)
        field.set(value);
}

void readFlag(const TiXmlElement* element, const char* name, bool& field)
{
    int value = 0;
    if (element->QueryIntAttribute(name, &value) == TIXML_SUCCESS)
        field = value != 0;
}

int wrappingSum(int a, int b)
{
    return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
}

} // namespace

void GameStats::reset()
{
    gold = 0;
    biggestgroup = 0;
    biggestscore = 0;
    treasuresdropped = 0;
    acquiredTreasures.clear();
    clearcount.set(0);
    blocksremoved.set(0);
}

void GameStats::addCounts(const GameStats& other)
{
    biggestgroup = std::max(biggestgroup, other.biggestgroup);
    biggestscore = std::max(biggestscore, other.biggestscore);
    treasuresdropped = wrappingSum(treasuresdropped, other.treasuresdropped);
    gold = wrappingSum(gold, other.gold);
    // A copy first: merging a record into itself doubles its list instead of reading while it grows.
    std::vector<int32_t> ids = other.acquiredTreasures;
    acquiredTreasures.insert(acquiredTreasures.end(), ids.begin(), ids.end());
    clearcount.set(wrappingSum(clearcount.get(), other.clearcount.get()));
    blocksremoved.set(wrappingSum(blocksremoved.get(), other.blocksremoved.get()));
}

void GameStats::add(const GameStats& other)
{
    addCounts(other);
    time += other.time;
}

void GameStats::saveXML(TiXmlElement* element) const
{
    if (element == nullptr)
        return;
    element->SetAttribute("gold", gold);
    element->SetAttribute("biggestgroup", biggestgroup);
    element->SetAttribute("biggestscore", biggestscore);
    element->SetAttribute("treasuresdropped", treasuresdropped);
    element->SetAttribute("time", static_cast<int>(time / 1000));
    element->SetAttribute("blocksremoved", blocksremoved.get());
    element->SetAttribute("clearcount", clearcount.get());
    TiXmlElement list(kTreasureList);
    for (int32_t id : acquiredTreasures) {
        TiXmlElement item("Item");
        item.SetAttribute("id", id);
        list.InsertEndChild(item);
    }
    element->InsertEndChild(list);
}

void GameStats::loadXML(const TiXmlElement* element)
{
    if (element == nullptr)
        return;
    readInt(element, "gold", gold);
    readInt(element, "biggestgroup", biggestgroup);
    readInt(element, "biggestscore", biggestscore);
    readInt(element, "treasuresdropped", treasuresdropped);
    int seconds = 0;
    if (element->QueryIntAttribute("time", &seconds) == TIXML_SUCCESS)
        time = static_cast<uint32_t>(std::clamp(seconds, 0, static_cast<int>(UINT32_MAX / 1000))) * 1000u;
    readScrambled(element, "blocksremoved", blocksremoved);
    readScrambled(element, "clearcount", clearcount);
    // Without the list the record simply has no treasures; an item without a readable id is no treasure.
    const TiXmlElement* list = element->FirstChildElement(kTreasureList);
    for (const TiXmlElement* item = list ? list->FirstChildElement() : nullptr; item; item = item->NextSiblingElement()) {
        int id = 0;
        if (item->QueryIntAttribute("id", &id) == TIXML_SUCCESS)
            acquiredTreasures.push_back(id);
    }
}

void LevelStats::reset()
{
    GameStats::reset();
    lastActionTime = static_cast<uint32_t>(timeGetTime());
}

void LevelStats::saveXML(TiXmlElement* element) const
{
    if (element == nullptr)
        return;
    GameStats::saveXML(element);
    int length = std::snprintf(nullptr, 0, "%f", depth);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, "%f", depth);
    element->SetAttribute("depth", text.c_str());
    element->SetAttribute("speedupused", speedupused ? 1 : 0);
    element->SetAttribute("success_clicked", success_clicked ? 1 : 0);
}

void LevelStats::loadXML(const TiXmlElement* element)
{
    if (element == nullptr)
        return;
    GameStats::loadXML(element);
    element->QueryDoubleAttribute("depth", &depth);
    readFlag(element, "speedupused", speedupused);
    readFlag(element, "success_clicked", success_clicked);
}

void DifficultyStats::addGame(const GameStats& game)
{
    // The totals keep milliseconds like every other record; the file turns them into seconds.
    GameStats::add(game);
}

void DifficultyStats::assign(const DifficultyStats& other)
{
    startcount = other.startcount;
    gameovercount = other.gameovercount;
    time = other.time;
    gold = other.gold;
    biggestgroup = other.biggestgroup;
    biggestscore = other.biggestscore;
    treasuresdropped = other.treasuresdropped;
    std::vector<int32_t> ids = other.acquiredTreasures;
    acquiredTreasures.insert(acquiredTreasures.end(), ids.begin(), ids.end());
    blocksremoved.set(other.blocksremoved.get());
    clearcount.set(other.clearcount.get());
}
