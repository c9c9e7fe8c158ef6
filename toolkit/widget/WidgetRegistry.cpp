// The layout tags of the widgets: buttons, labels, the text field and the list box. (The slider and the
// tooltip sprites register theirs beside their code.)
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/ListBox.h"
#include "toolkit/widget/PixelButton.h"
#include "toolkit/widget/PixelFontButton.h"
#include "toolkit/widget/PixelFontInputLabel.h"
#include "toolkit/widget/PixelFontLabel.h"

QUARRY_REGISTER_XML_CREATOR("buttonblit", createAndReadXml<ButtonBlit>);
QUARRY_REGISTER_XML_CREATOR("pixelfontlabel", createAndReadXml<PixelFontLabel>);
QUARRY_REGISTER_XML_CREATOR("pixelbutton", createAndReadXml<PixelButton>);
QUARRY_REGISTER_XML_CREATOR("pixelfontbutton", createAndReadXml<PixelFontButton>);
QUARRY_REGISTER_XML_CREATOR("pixelfontinputlabel", createAndReadXml<PixelFontInputLabel>);
QUARRY_REGISTER_XML_CREATOR("listboxitem", createAndReadXml<ListBoxItem>);
QUARRY_REGISTER_XML_CREATOR("listboxcomponent", createAndReadXml<ListBoxComponent>);
