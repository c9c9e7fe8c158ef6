// One treasure's description: name, picture, kind, rarity and drop weights, read from a child of the
// layout element "TREASURE_DESCRIPTIONS" (factory tag "treasuredesc"). The statistics manager keeps the
// table of 24 and stores the player's counts (dropcount, aquirecount) in the same entries.
#pragma once

#include <cstdint>
#include <string>

class SurfaceHolder;
class TiXmlElement;

class TreasureDesc {
public:
    enum Rarity : int32_t { Common = 0, Uncommon = 1, Rare = 2 };
    enum Type : int32_t { Gem = 0, Coin = 1, Jewel = 2, Drink = 3, Figure = 4 };

    // The object factory's family of the "treasuredesc" creator.
    static constexpr const char* kFamily = "treasuredesc";

    TreasureDesc() = default;
    TreasureDesc(const TreasureDesc&) = delete;
    TreasureDesc& operator=(const TreasureDesc&) = delete;
    virtual ~TreasureDesc();

    // Reads the attributes that are present through the layout readers (setup inheritance, text
    // indirection); a missing attribute, or a rarity or type word not known, leaves the field. The
    // picture is looked up at once.
    virtual void readXML(const TiXmlElement* element);

    // Back to a fresh description: empty texts, every number 0, no picture.
    void clear();
    // Holds one reference to the picture; null lets go.
    void setSurface(SurfaceHolder* picture);
    SurfaceHolder* getSurface() const { return surface; }

    std::string name;
    int32_t id = 0;
    int32_t rarity = Common;
    int32_t type = Gem;
    // Drop weight while the player has not found it, and once owned.
    int32_t normalfrequency = 0;
    int32_t foundfrequency = 0;
    int32_t dropcount = 0;
    // 0: not owned.
    int32_t aquirecount = 0;
    // Working field of the weighted draw: the running sum up to this entry, -1 when excluded.
    int32_t drawLimit = 0;
    bool sparkle = false;
    int32_t color = 0;
    std::string description;

private:
    SurfaceHolder* surface = nullptr;
};
