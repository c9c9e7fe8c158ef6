// The XML creators of the modifiers, kept in one file with createModifierFromXml so that every program
// that builds modifiers from layout elements links the registrations too.
#include "runtime/ObjectFactory.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierBounds.h"
#include "toolkit/modifier/ModifierCreation.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationFollow.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/sprite/XmlCreation.h"

QUARRY_REGISTER_XML_CREATOR("modifieralpha", createAndReadXml<ModifierAlpha>);
QUARRY_REGISTER_XML_CREATOR("modifierbounds", createAndReadXml<ModifierBounds>);
QUARRY_REGISTER_XML_CREATOR("modifierdelay", createAndReadXml<ModifierDelay>);
QUARRY_REGISTER_XML_CREATOR("modifierlocationfollow", createAndReadXml<ModifierLocationFollow>);
QUARRY_REGISTER_XML_CREATOR("modifierlocationline", createAndReadXml<ModifierLocationLine>);
QUARRY_REGISTER_XML_CREATOR("modifiersound", createAndReadXml<ModifierSound>);

Modifier* createModifierFromXml(const TiXmlNode* node)
{
    RefObject* object = createObjectFromXml(node);
    if (!object)
        return nullptr;
    if (auto* modifier = dynamic_cast<Modifier*>(object))
        return modifier;
    object->addRef();
    object->release();
    return nullptr;
}
