#include "game/stats/TreasureDesc.h"

#include "platform/surface/SurfaceHolder.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/ObjectFactory.h"

namespace {

// The index of `word` in `words`, or -1.
template <size_t N>
int indexOf(const std::string& word, const char* const (&words)[N])
{
    for (size_t i = 0; i < N; ++i) {
        if (word == words[i])
            return static_cast<int>(i);
    }
    return -1;
}

constexpr const char* kRarities[] = {"common", "uncommon", "rare"};
constexpr const char* kTypes[] = {"gem", "coin", "jewel", "drink", "figure"};

void* createTreasureDesc(const TiXmlElement* element)
{
    TreasureDesc* desc = new TreasureDesc();
    desc->readXML(element);
    return desc;
}

} // namespace

// A treasure description is no framework object (it has no reference count), so it is a family of
// its own: a "treasuredesc" element where a sprite is expected builds nothing.
QUARRY_REGISTER_XML_CREATOR_OF("treasuredesc", createTreasureDesc, TreasureDesc::kFamily);

TreasureDesc::~TreasureDesc()
{
    setSurface(nullptr);
}

void TreasureDesc::setSurface(SurfaceHolder* picture)
{
    if (picture == surface)
        return;
    if (picture != nullptr)
        picture->addRef();
    if (surface != nullptr)
        surface->release();
    surface = picture;
}

void TreasureDesc::clear()
{
    name.clear();
    id = 0;
    rarity = Common;
    type = Gem;
    normalfrequency = 0;
    foundfrequency = 0;
    dropcount = 0;
    aquirecount = 0;
    drawLimit = 0;
    sparkle = false;
    color = 0;
    description.clear();
    setSurface(nullptr);
}

void TreasureDesc::readXML(const TiXmlElement* element)
{
    if (element == nullptr)
        return;
    XmlAttr::getString(element, "name", name);
    XmlAttr::getInt(element, "normalfrequency", normalfrequency);
    XmlAttr::getInt(element, "foundfrequency", foundfrequency);
    XmlAttr::getBool(element, "sparkle", sparkle);
    XmlAttr::getInt(element, "color", color);
    std::string word;
    if (XmlAttr::getString(element, "rarity", word)) {
        if (int found = indexOf(word, kRarities); found >= 0)
            rarity = found;
    }
    word.clear();
    if (XmlAttr::getString(element, "type", word)) {
        if (int found = indexOf(word, kTypes); found >= 0)
            type = found;
    }
    XmlAttr::getString(element, "description", description);
    std::string picture;
    if (XmlAttr::getString(element, "surface", picture))
        setSurface(ResourceManager::getImage(picture));
}
