#include "toolkit/sprite/NestedBuild.h"

#include "runtime/DebugLog.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <algorithm>
#include <vector>

namespace {

// Layouts are read on the main thread only.
struct Nesting {
    int depth = 0;
    int readers = 0;
    bool reported = false;
    std::vector<const TiXmlElement*> building;
};

Nesting& nesting()
{
    static Nesting state;
    return state;
}

} // namespace

NestedBuild::NestedBuild(const TiXmlElement* element)
{
    Nesting& n = nesting();
    if (n.depth++ == 0) {
        n.readers = 0;
        n.reported = false;
    }
    ++n.readers;
    if (element != nullptr) {
        n.building.push_back(element);
        pushed = true;
    }
}

NestedBuild::~NestedBuild()
{
    Nesting& n = nesting();
    --n.depth;
    if (pushed)
        n.building.pop_back();
}

bool NestedBuild::tooDeep() const
{
    const Nesting& n = nesting();
    return n.depth > kMaxDepth || n.readers > kMaxReaders;
}

bool NestedBuild::reportRefusal() const
{
    const bool first = !nesting().reported;
    nesting().reported = true;
    return first;
}

Sprite* createNestedSpriteFromXml(const TiXmlElement* child)
{
    if (child == nullptr)
        return nullptr;
    const std::vector<const TiXmlElement*>& open = nesting().building;
    const bool again = std::find(open.begin(), open.end(), child) != open.end();
    NestedBuild guard(child);
    if (again || guard.tooDeep()) {
        if (guard.reportRefusal())
            DebugLog::instance().log("A layout child refers back to the element being built; it is left out\n");
        return nullptr;
    }
    return createSpriteFromXml(child);
}
