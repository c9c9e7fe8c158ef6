#include "toolkit/modifier/Modifier.h"

#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/sprite/Sprite.h"

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
