#include "toolkit/sprite/RepeatingSprite.h"

#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"
#include "runtime/Random.h"
#include "toolkit/sprite/NestedBuild.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XMLSpriteFactory.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/sprite/XmlKeyword.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

const ClassRecord RepeatingSprite::classRecord("RepeatingSprite", &XMLSprite::classRecord);

namespace {

const XmlKeyword directions[] = {{"right", 0}, {"left", 1}, {"down", 2}, {"up", 3}};
const XmlKeyword repeatStyles[] = {{"number", 0}, {"window", 1}, {"wrap", 2}, {"infinite", 3}};
const XmlKeyword repeatTypes[] = {{"sequential", 0}, {"random", 1}, {"nodoubles", 2}};
const XmlKeyword allocStyles[] = {{"direct", 0}, {"jit", 1}, {"manual", 2}};

// Positions and sizes come from hand-edited layouts: sums beyond the 32-bit range are held at its ends.
int clampInt(long long value)
{
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

// a x b held to the 32-bit range (both factors come from layouts; their product may not fit 64 bits).
int clampProduct(long long a, long long b)
{
    const double product = static_cast<double>(a) * static_cast<double>(b);
    return static_cast<int>(std::max<double>(INT_MIN, std::min<double>(INT_MAX, product)));
}

// How many steps cover the extent: ceiling(extent / step), held to 0..kMaxCopies. A step below one
// pixel (a template without size and no spacing) counts as one pixel, so the count stays finite.
int coverCount(int extent, long long step)
{
    const double steps = std::ceil(static_cast<double>(extent) / static_cast<double>(std::max(step, 1LL)));
    return static_cast<int>(std::max(0.0, std::min(steps, static_cast<double>(RepeatingSprite::kMaxCopies))));
}

// Copies held by all strips together. A strip whose copies are strips or scrollers that build strips of
// their own multiplies at every level; past this many copies no strip makes more.
std::size_t liveCopies = 0;
bool reportedCopyLimit = false;

} // namespace

RepeatingSprite::RepeatingSprite() = default;

RepeatingSprite::~RepeatingSprite()
{
    std::vector<Sprite*> held;
    held.swap(copyList);
    liveCopies -= held.size();
    for (Sprite* copy : held)
        copy->release();
    releaseTemplate();
    if (factory)
        factory->release();
    factory = nullptr;
}

void RepeatingSprite::releaseTemplate()
{
    if (templateSprite) {
        Sprite* old = templateSprite;
        templateSprite = nullptr;
        old->release();
    }
}

void RepeatingSprite::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    XMLSprite::readXML(element);

    const NestedBuild nesting;
    if (nesting.tooDeep()) {
        if (nesting.reportRefusal())
            DebugLog::instance().log("RepeatingSprite: \"" + name + "\" is nested too deeply; it makes no copies\n");
    } else if (const TiXmlElement* child = findChildElement(element, "factory")) {
        if (AbstractXMLSpriteFactory* made = createSpriteFactoryFromXml(child))
            setFactory(made);
        else
            DebugLog::instance().log("RepeatingSprite: the \"factory\" of \"" + name + "\" makes no sprite factory\n");
    } else {
        DebugLog::instance().log("RepeatingSprite: \"" + name + "\" has no \"factory\"; it makes no copies\n");
    }
    XmlAttr::getInt(element, "repeatcount", repeatCount);
    XmlAttr::getInt(element, "spacing", spacing);
    if (const TiXmlElement* child = findChildElement(element, "repeatbounds")) {
        Rect rect;
        XmlAttr::getInt(child, "x", rect.x);
        XmlAttr::getInt(child, "y", rect.y);
        XmlAttr::getInt(child, "width", rect.width);
        XmlAttr::getInt(child, "height", rect.height);
        setRepeatBounds(rect);
    }
    readKeyword(element, "direction", directions, direction);
    readKeyword(element, "repeatstyle", repeatStyles, repeatStyle);
    readKeyword(element, "repeattype", repeatTypes, repeatType);
    readKeyword(element, "allocstyle", allocStyles, allocStyle);
}

void RepeatingSprite::setFactory(AbstractXMLSpriteFactory* newFactory)
{
    if (newFactory)
        newFactory->addRef();
    if (factory)
        factory->release();
    factory = newFactory;
    releaseTemplate();
    if (!factory)
        return;
    templateSprite = factory->create(0);
    if (templateSprite) {
        templateSprite->addRef();
        setSize(templateSprite->getWidth(), templateSprite->getHeight());
    }
}

void RepeatingSprite::build()
{
    if (built)
        return;
    built = true;
    if (!repeatBounds)
        repeatBounds = std::make_unique<Rect>(bounds);

    long long tw = templateSprite ? templateSprite->getWidth() : 0;
    long long th = templateSprite ? templateSprite->getHeight() : 0;
    const bool horizontal = direction == Right || direction == Left;
    if (horizontal) {
        tw += spacing;
        copiesNeeded = coverCount(repeatBounds->width, tw);
    } else {
        th += spacing;
        copiesNeeded = coverCount(repeatBounds->height, th);
    }
    if (repeatStyle == RepeatWrap || repeatStyle == RepeatInfinite)
        copiesNeeded = std::min(copiesNeeded + 1, kMaxCopies);
    if (repeatStyle == RepeatWindow || repeatStyle == RepeatWrap || repeatStyle == RepeatInfinite)
        repeatCount = copiesNeeded;

    int toMake = copiesNeeded;
    if (allocStyle == AllocDirect || repeatCount < copiesNeeded)
        toMake = std::min(repeatCount, kMaxCopies);

    if (horizontal)
        setSize(clampProduct(tw, repeatCount), clampInt(th));
    else
        setSize(clampInt(tw), clampProduct(th, repeatCount));
    releaseTemplate();

    for (int i = 0; i < toMake; ++i) {
        ++created;
        makeCopy();
    }
}

bool RepeatingSprite::makeCopy()
{
    if (!factory)
        return false;
    if (liveCopies >= static_cast<std::size_t>(kMaxLiveCopies)) {
        if (!reportedCopyLimit)
            DebugLog::instance().log("RepeatingSprite: " + std::to_string(kMaxLiveCopies) +
                                     " copies are alive; no strip makes more\n");
        reportedCopyLimit = true;
        return false;
    }
    // A factory that reports no sprites is still asked for its first one.
    const int count = factory->getCount();
    int index = 0;
    if (count > 0) {
        switch (repeatType) {
        case Sequential:
            index = created % count;
            break;
        case RandomPick:
            index = Random::global().nextInt(count);
            break;
        default:
            index = Random::global().nextInt(count);
            while (count > 1 && index == lastIndex)
                index = Random::global().nextInt(count);
            lastIndex = index;
            break;
        }
    }
    Sprite* copy = factory->create(index);
    if (!copy) {
        // Once per strip: a factory that makes nothing fails for every copy the same way.
        if (!reportedFailure)
            DebugLog::instance().log("RepeatingSprite: the factory of \"" + name + "\" made no sprite " +
                                 std::to_string(index) + "\n");
        reportedFailure = true;
        return false;
    }
    place(copy);
    copy->addRef();
    copyList.push_back(copy);
    ++liveCopies;
    if (canvas && hasStateFlags(StateOnCanvas)) {
        copy->setObsolete(false);
        canvas->addSpriteAfter(copy, this);
    }
    return true;
}

void RepeatingSprite::place(Sprite* copy)
{
    const auto* xml = dynamic_cast<const XMLSprite*>(copy);
    if (!xml)
        return;
    const long long ownX = position.x;
    const long long ownY = position.y;
    if (xml->getLayoutType() == LayoutRelative) {
        copy->setPosition(clampInt(copy->getX() + ownX), clampInt(copy->getY() + ownY));
        return;
    }
    if (xml->getLayoutType() != LayoutAuto)
        return;

    long long x = ownX;
    long long y = ownY;
    if (copyList.empty()) {
        if (direction == Right)
            x = ownX + bounds.width - copy->getWidth();
        else if (direction == Down)
            y = ownY + bounds.height - copy->getHeight();
    } else {
        const Sprite* newest = copyList.back();
        const Point& offset = xml->getOffset();
        switch (direction) {
        case Right:
            x = static_cast<long long>(newest->getX()) - copy->getWidth() - spacing;
            y = offset.y + ownY;
            break;
        case Left:
            x = static_cast<long long>(newest->getX()) + newest->getWidth() + spacing;
            y = offset.y + ownY;
            break;
        case Down:
            y = static_cast<long long>(newest->getY()) - copy->getHeight() - spacing;
            x = offset.x + ownX;
            break;
        default:
            y = static_cast<long long>(newest->getY()) + newest->getHeight() + spacing;
            x = offset.x + ownX;
            break;
        }
    }
    copy->setPosition(clampInt(x), clampInt(y));
}

bool RepeatingSprite::isOutside(const Sprite* copy, const Rect& area) const
{
    switch (direction) {
    case Right:
        return copy->getX() > static_cast<long long>(area.x) + area.width;
    case Left:
        return static_cast<long long>(copy->getX()) + copy->getWidth() < area.x;
    case Down:
        return copy->getY() > static_cast<long long>(area.y) + area.height;
    default:
        return static_cast<long long>(copy->getY()) + copy->getHeight() < area.y;
    }
}

void RepeatingSprite::wrapCopies()
{
    const Rect area = repeatBounds ? *repeatBounds : bounds;
    // Each copy held now is looked at once: a new copy that lands outside the bounds (a hostile spacing)
    // cannot keep the loop going.
    std::size_t looks = copyList.size();
    while (looks-- > 0 && copyList.size() > 1) {
        Sprite* oldest = copyList.front();
        if (!isOutside(oldest, area))
            break;
        const bool recycle = created < repeatCount || repeatStyle == RepeatInfinite;
        if (recycle && created < INT_MAX)
            ++created;
        // With direct allocation a copy that leaves the strip stays on the canvas for its owner. Otherwise
        // it leaves the canvas with the list, also when no new copy takes its place: nothing would move
        // or remove it any more.
        if (allocStyle != AllocDirect) {
            if (SpriteCanvas* owner = oldest->getCanvas())
                owner->removeSprite(oldest);
            if (recycle)
                makeCopy();
        }
        copyList.erase(std::find(copyList.begin(), copyList.end(), oldest));
        --liveCopies;
        oldest->release();
    }
}

void RepeatingSprite::setX(int x)
{
    const long long dx = static_cast<long long>(x) - position.x;
    XMLSprite::setX(x);
    if (dx == 0)
        return;
    for (Sprite* copy : copyList)
        copy->setX(clampInt(copy->getX() + dx));
}

void RepeatingSprite::setY(int y)
{
    const long long dy = static_cast<long long>(y) - position.y;
    XMLSprite::setY(y);
    if (dy == 0)
        return;
    for (Sprite* copy : copyList)
        copy->setY(clampInt(copy->getY() + dy));
}

void RepeatingSprite::onAddedToCanvas()
{
    XMLSprite::onAddedToCanvas();
    if (!canvas)
        return;
    Sprite* previous = this;
    for (Sprite* copy : copyList) {
        copy->setObsolete(false);
        if (canvas->indexOf(copy) < 0)
            canvas->addSpriteAfter(copy, previous);
        previous = copy;
    }
}

void RepeatingSprite::onRemovedFromCanvas()
{
    if (canvas) {
        for (Sprite* copy : copyList) {
            if (copy->getCanvas() == canvas)
                canvas->removeSprite(copy);
        }
    }
    XMLSprite::onRemovedFromCanvas();
}
