// The layout tags of the widgets and their creators: each makes the widget, reads the element and hands
// the new object to the object factory.
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

namespace {

template <class T> void* createAndRead(const TiXmlElement* element)
{
    T* object = new T;
    object->readXML(element);
    return toFactoryResult(object);
}

} // namespace

QUARRY_REGISTER_XML_CREATOR("buttonblit", createAndRead<ButtonBlit>);
QUARRY_REGISTER_XML_CREATOR("pixelfontlabel", createAndRead<PixelFontLabel>);
