// The XML creators of the strip sprites: the repeating strip and the parallax scroller.
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/ScrollSprite.h"
#include "toolkit/sprite/XmlCreation.h"

QUARRY_REGISTER_XML_CREATOR("repeatingsprite", createAndReadXml<RepeatingSprite>);
QUARRY_REGISTER_XML_CREATOR("scrollsprite", createAndReadXml<ScrollSprite>);
