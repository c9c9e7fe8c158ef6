#include "toolkit/sprite/XMLSpriteFactory.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Blend.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/sprite/XmlKeyword.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

const ClassRecord AbstractXMLSpriteFactory::classRecord("AbstractXMLSpriteFactory", nullptr);
const ClassRecord SingleXMLSpriteFactory::classRecord("SingleXMLSpriteFactory", &AbstractXMLSpriteFactory::classRecord);
const ClassRecord ArrayXMLSpriteFactory::classRecord("ArrayXMLSpriteFactory", &AbstractXMLSpriteFactory::classRecord);
const ClassRecord SliceXMLSpriteFactory::classRecord("SliceXMLSpriteFactory", &AbstractXMLSpriteFactory::classRecord);

namespace {

// The factory's template child, or null with a line in the log naming the factory's element.
const TiXmlElement* findTemplate(const TiXmlElement* element, const char* kind)
{
    const TiXmlElement* found = findChildElement(element, "template");
    if (!found) {
        const char* id = element->Attribute("id");
        DebugLog::instance().log(std::string(kind) + ": no \"template\" in \"" + (id ? id : element->Value()) +
                                 "\"\n");
    }
    return found;
}

} // namespace

Sprite* SingleXMLSpriteFactory::create(int)
{
    return templateElement ? createSpriteFromXml(templateElement) : nullptr;
}

void SingleXMLSpriteFactory::readXML(const TiXmlElement* element)
{
    if (element)
        templateElement = findTemplate(element, "SingleXMLSpriteFactory");
}

Sprite* ArrayXMLSpriteFactory::create(int index)
{
    if (!templateElement || index < 0)
        return nullptr;
    int i = 0;
    for (const TiXmlElement* child = templateElement->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (i++ == index)
            return createSpriteFromXml(child);
    }
    return nullptr;
}

void ArrayXMLSpriteFactory::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    templateElement = findTemplate(element, "ArrayXMLSpriteFactory");
    count = 0;
    if (!templateElement)
        return;
    for (const TiXmlElement* child = templateElement->FirstChildElement(); child; child = child->NextSiblingElement())
        ++count;
}

SliceXMLSpriteFactory::~SliceXMLSpriteFactory()
{
    setImage(nullptr);
}

void SliceXMLSpriteFactory::setImage(SurfaceHolder* resource)
{
    if (resource)
        resource->addRef();
    if (image)
        image->release();
    image = resource;
}

void SliceXMLSpriteFactory::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    templateElement = findTemplate(element, "SliceXMLSpriteFactory");
    int count = sliceCount;
    if (XmlAttr::getInt(element, "slicecount", count))
        setSliceCount(count);
    static const XmlKeyword orientations[] = {{"horizontal", Horizontal}, {"vertical", Vertical}};
    readKeyword(element, "orientation", orientations, orientation);
    std::string id;
    if (XmlAttr::getString(element, "surface", id)) {
        setImage(ResourceManager::getImage(id));
        if (!image)
            DebugLog::instance().log("SliceXMLSpriteFactory: no image resource \"" + id + "\"\n");
    }
}

namespace {

// A new byte map of the slice's size with the slice of `mask` copied in (rows outside the map stay 0).
MemorySurface* sliceMask(MemorySurface* mask, std::uint32_t x, std::uint32_t y, std::uint32_t w, std::uint32_t h)
{
    MemorySurface* slice = createMemorySurface(w, h);
    if (!slice)
        return nullptr;
    auto* to = static_cast<std::uint8_t*>(slice->pixels());
    std::memset(to, 0, static_cast<std::size_t>(w) * h);
    const auto* from = static_cast<const std::uint8_t*>(mask->pixels());
    const std::uint32_t mw = mask->getDesc().width;
    const std::uint32_t mh = mask->getDesc().height;
    if (!from)
        return slice;
    for (std::uint32_t row = 0; row < h && y + row < mh; ++row) {
        if (x >= mw)
            break;
        const std::uint32_t n = std::min(w, mw - x);
        std::memcpy(to + static_cast<std::size_t>(row) * w, from + static_cast<std::size_t>(y + row) * mw + x, n);
    }
    return slice;
}

} // namespace

Sprite* SliceXMLSpriteFactory::create(int index)
{
    Surface* whole = image ? image->getSurface() : nullptr;
    MemorySurface* wholeMask = image ? image->getMask() : nullptr;
    const std::uint32_t w = whole ? whole->getDesc().width : 0;
    const std::uint32_t h = whole ? whole->getDesc().height : 0;
    const std::uint32_t count = static_cast<std::uint32_t>(sliceCount < 1 ? 1 : sliceCount);
    const std::uint32_t i = static_cast<std::uint32_t>(index < 0 ? 0 : index);
    std::uint32_t sliceWidth = w, sliceHeight = h, x = 0, y = 0;
    if (orientation == Vertical) {
        sliceHeight = h / count;
        y = sliceHeight * i;
    } else {
        sliceWidth = w / count;
        x = sliceWidth * i;
    }

    Surface* sliceImage = nullptr;
    if (whole && sliceWidth > 0 && sliceHeight > 0) {
        sliceImage = createDirectDrawSurface(ResourceManager::getDirectDraw(), sliceWidth, sliceHeight);
        if (sliceImage) {
            sliceImage->addRef();
            bltFastClipped(whole, static_cast<int>(x), static_cast<int>(y), static_cast<int>(sliceWidth),
                           static_cast<int>(sliceHeight), sliceImage, 0, 0);
        }
    }
    MemorySurface* sliceMap = nullptr;
    if (wholeMask && sliceWidth > 0 && sliceHeight > 0) {
        sliceMap = sliceMask(wholeMask, x, y, sliceWidth, sliceHeight);
        if (sliceMap)
            sliceMap->addRef();
    }

    Sprite* sprite = templateElement ? createSpriteFromXml(templateElement) : nullptr;
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(sprite)) {
        bitmap->setSurface(sliceImage);
        // The slice is a picture of its own: its holder keeps the original that a lost display needs.
        bitmap->copyToOwnSurface();
        bitmap->setMask(sliceMap);
        bitmap->fitSizeToImage();
    }
    if (sliceImage)
        sliceImage->release();
    if (sliceMap)
        sliceMap->release();
    return sprite;
}
