#include "toolkit/sprite/XMLSprite.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/XmlKeyword.h"

#include <tinyxml.h>

#include <cctype>

const ClassRecord XMLSprite::classRecord("XMLSprite", &BitmapSprite::classRecord);

bool keywordEquals(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

const TiXmlElement* findChildElement(const TiXmlElement* element, const char* name)
{
    if (!element)
        return nullptr;
    if (const TiXmlElement* child = element->FirstChildElement(name))
        return child;
    return XmlAttr::findChild(element, name);
}

bool readKeyword(const TiXmlElement* element, const char* name, const XmlKeyword* table, std::size_t count, int& out)
{
    std::string value;
    if (!XmlAttr::getString(element, name, value))
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (keywordEquals(value, table[i].word)) {
            out = table[i].value;
            return true;
        }
    }
    return false;
}

namespace {

const XmlKeyword anchors[] = {{"top_left", 0},    {"top_center", 1},    {"top_right", 2},
                              {"center_left", 3}, {"center", 4},        {"center_right", 5},
                              {"bottom_left", 6}, {"bottom_center", 7}, {"bottom_right", 8}};
const XmlKeyword layoutTypes[] = {{"static", 0}, {"absolute", 1}, {"relative", 2}, {"auto", 3}};
const XmlKeyword horizontalAligns[] = {{"left", 0}, {"center", 4}, {"right", 1}};
const XmlKeyword verticalAligns[] = {{"top", 2}, {"center", 4}, {"bottom", 3}};
const XmlKeyword directions[] = {{"forward", 0}, {"backward", 1}};
const XmlKeyword wrapStyles[] = {{"once", 0}, {"switch", 1}, {"loop", 2}};

// The plain integer attributes of a rectangle element (no "setup"): a missing one keeps its value.
void readRectAttributes(const TiXmlElement* element, Rect& rect)
{
    element->QueryIntAttribute("x", &rect.x);
    element->QueryIntAttribute("y", &rect.y);
    element->QueryIntAttribute("width", &rect.width);
    element->QueryIntAttribute("height", &rect.height);
}

} // namespace

XMLSprite::XMLSprite() : BitmapSprite(nullptr, nullptr, 0, 0) {}

void XMLSprite::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    XmlAttr::getInt(element, "spriteid", spriteId);
    XmlAttr::getString(element, "name", name);
    // Stored layouts spell the flag "acive"; "active" is taken as well, and the stored spelling wins.
    XmlAttr::getBool(element, "active", active);
    XmlAttr::getBool(element, "acive", active);
    XmlAttr::getInt(element, "x", position.x);
    XmlAttr::getInt(element, "y", position.y);
    XmlAttr::getInt(element, "width", bounds.width);
    XmlAttr::getInt(element, "height", bounds.height);
    XmlAttr::getInt(element, "alpha", alpha);
    XmlAttr::getInt(element, "framecount", frameCount);
    XmlAttr::getInt(element, "startframe", frameIndex);
    if (XmlAttr::getInt(element, "frameoffsetx", frameStepX))
        frameStepY = frameStepX;
    XmlAttr::getBool(element, "usepreviousy", usePreviousY);
    XmlAttr::getInt(element, "xoffset", offset.x);
    XmlAttr::getInt(element, "yoffset", offset.y);

    // An identifier the catalogue does not hold leaves the image as it was.
    for (const char* key : {"surface", "image"}) {
        std::string id;
        if (!XmlAttr::getString(element, key, id))
            continue;
        if (SurfaceHolder* resource = ResourceManager::getImage(id)) {
            setSurface(resource->getSurface());
            setMask(resource->getMask());
        } else {
            DebugLog::instance().log("XMLSprite: no image resource \"" + id + "\"\n");
        }
    }
    std::string maskId;
    if (XmlAttr::getString(element, "mask", maskId)) {
        if (MemorySurface* resource = ResourceManager::getMask(maskId))
            setMask(resource);
        else
            DebugLog::instance().log("XMLSprite: no mask resource \"" + maskId + "\"\n");
    }

    int keyword = anchorMode;
    if (readKeyword(element, "anchorpoint", anchors, keyword))
        setAnchor(keyword);
    readKeyword(element, "layouttype", layoutTypes, layoutType);
    readKeyword(element, "horalign", horizontalAligns, horizontalAlign);
    readKeyword(element, "veralign", verticalAligns, verticalAlign);
    readKeyword(element, "framedirection", directions, frameDirection);
    readKeyword(element, "framewrapstyle", wrapStyles, frameWrap);

    Rect rect;
    if (const TiXmlElement* clip = findChildElement(element, "cliprect")) {
        readRectAttributes(clip, rect);
        setClipRectFrom(&rect);
    }
    if (const TiXmlElement* frame = findChildElement(element, "framerect")) {
        readRectAttributes(frame, rect);
        setSourceRectFrom(&rect);
    }

    const Surface* image = getSurface();
    const Surface* sizeSource = image ? image : mask;
    if (sizeSource) {
        if (bounds.width == 0)
            bounds.width = static_cast<int>(sizeSource->getDesc().width);
        if (bounds.height == 0)
            bounds.height = static_cast<int>(sizeSource->getDesc().height);
    }
    if (name.empty()) {
        if (const char* id = element->Attribute("id"))
            name = id;
    }
    updateCorner();
}
