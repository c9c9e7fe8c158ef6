// The layout tags of the image and caption buttons, the list box and the text field.
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ListBox.h"
#include "toolkit/widget/PixelButton.h"
#include "toolkit/widget/PixelFontButton.h"
#include "toolkit/widget/PixelFontInputLabel.h"

#include <tinyxml.h>

namespace {

template <class T> void* createAndReadWidget(const TiXmlElement* element)
{
    T* object = new T;
    object->readXML(element);
    return toFactoryResult(object);
}

} // namespace

QUARRY_REGISTER_XML_CREATOR("pixelbutton", createAndReadWidget<PixelButton>);
QUARRY_REGISTER_XML_CREATOR("pixelfontbutton", createAndReadWidget<PixelFontButton>);
QUARRY_REGISTER_XML_CREATOR("pixelfontinputlabel", createAndReadWidget<PixelFontInputLabel>);
QUARRY_REGISTER_XML_CREATOR("listboxitem", createAndReadWidget<ListBoxItem>);
QUARRY_REGISTER_XML_CREATOR("listboxcomponent", createAndReadWidget<ListBoxComponent>);
