// Modifiers made from layout elements. Six classes register creators with the object factory under
// their lower-case tags: "modifieralpha", "modifierbounds", "modifierdelay", "modifierlocationfollow",
// "modifierlocationline" and "modifiersound". Like every toolkit creator they hand over the new object
// as its RefObject base (toFactoryResult).
#pragma once

class Modifier;
class TiXmlNode;

// A new modifier (reference count 0) built from the element by its tag; null when the tag has no
// creator or builds something that is not a modifier (that object is destroyed).
Modifier* createModifierFromXml(const TiXmlNode* node);
