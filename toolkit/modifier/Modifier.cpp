#include "toolkit/modifier/Modifier.h"

#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/sprite/Sprite.h"

#include <cmath>
#include <limits>

const ClassRecord Modifier::classRecord("Modifier", nullptr);

void Modifier::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    XmlAttr::getString(element, "name", name);
    bool flag = false;
    if (XmlAttr::getBool(element, "removeparent", flag)) {
        if (flag)
            addOption(OptionRemoveParent);
        else
            removeOption(OptionRemoveParent);
    }
    if (XmlAttr::getBool(element, "blocking", flag)) {
        if (flag)
            addOption(OptionBlocking);
        else
            removeOption(OptionBlocking);
    }
}

const FrameRate& Modifier::getFrameRate() const
{
    static const FrameRate still(50.0f);
    return sprite ? sprite->getFrameRate() : still;
}

int Modifier::toInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

void Modifier::finish()
{
    addState(StateFinished);
    if (hasOption(OptionRemoveParent) && sprite)
        sprite->setObsolete(true);
}

float Modifier::frameRatio() const
{
    return getFrameRate().ratio();
}
