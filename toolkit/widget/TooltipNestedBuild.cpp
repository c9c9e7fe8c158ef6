#include "toolkit/widget/TooltipNestedBuild.h"

#include "runtime/DebugLog.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <algorithm>
#include <vector>

namespace {

// Far more than any layout nests widgets in widgets.
constexpr std::size_t kMaxNesting = 16;

std::vector<const TiXmlElement*>& building()
{
    static std::vector<const TiXmlElement*> elements;
    return elements;
}

} // namespace

NestedBuild::NestedBuild(const TiXmlElement* element)
{
    if (element) {
        building().push_back(element);
        pushed = true;
    }
}

NestedBuild::~NestedBuild()
{
    if (pushed)
        building().pop_back();
}

Sprite* createNestedSpriteFromXml(const TiXmlElement* child)
{
    if (!child)
        return nullptr;
    const std::vector<const TiXmlElement*>& open = building();
    if (open.size() >= kMaxNesting || std::find(open.begin(), open.end(), child) != open.end()) {
        DebugLog::instance().log("A layout child refers back to the element being built; it is left out\n");
        return nullptr;
    }
    NestedBuild guard(child);
    return createSpriteFromXml(child);
}
