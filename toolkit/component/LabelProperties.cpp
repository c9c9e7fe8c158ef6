// Reading a component's and a label's settings from a property text (name="..."; x=...; font="...").
#include "toolkit/component/Label.h"

#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/strings/StringUtil.h"
#include "runtime/strings/StringUtils.h"

namespace {

// A string property of that identifier when the store holds one, else the text itself.
std::string propertyOrText(const std::string& value)
{
    Application* app = Application::instance();
    PropertyManager* store = app ? app->getPropertyManager() : nullptr;
    if (store && store->hasString(value))
        return store->getString(value);
    return value;
}

// The position of value among the three keywords, compared without regard to case; -1 when none.
int keyword(const std::string& value, const char* first, const char* second, const char* third)
{
    const char* words[] = {first, second, third};
    for (int i = 0; i < 3; ++i)
        if (StringUtil::equals(value, words[i], false))
            return i;
    return -1;
}

} // namespace

void readComponentProperties(VisualComponent* component, const std::string& text)
{
    if (!component)
        return;
    std::string value;
    int number = 0;
    if (readQuotedAttribute(text, "name", value, '=', ';'))
        component->setName(value);
    if (readIntAttribute(text, "id", number, '=', ';'))
        component->setId(number);
    if (readIntAttribute(text, "x", number, '=', ';'))
        component->setX(static_cast<float>(number));
    if (readIntAttribute(text, "y", number, '=', ';'))
        component->setY(static_cast<float>(number));
    if (readIntAttribute(text, "width", number, '=', ';'))
        component->setWidth(number);
    if (readIntAttribute(text, "height", number, '=', ';'))
        component->setHeight(number);
    if (readQuotedAttribute(text, "tooltip", value, '=', ';'))
        component->setTooltip(propertyOrText(value));
}

void readTextComponentProperties(Label* label, const std::string& text)
{
    if (!label)
        return;
    readComponentProperties(label, text);
    label->setColourMode(Label::Tinted);
    std::string value;
    int number = 0;
    // A font the catalogue does not hold (yet) leaves the label's font alone.
    if (readQuotedAttribute(text, "font", value, '=', ';'))
        if (BitmapFont* found = ResourceManager::getFont(value))
            label->setFont(found);
    if (readIntAttribute(text, "color", number, '=', ';'))
        label->setColour(static_cast<std::uint32_t>(number));
    if (readQuotedAttribute(text, "alignh", value, '=', ';')) {
        const int a = keyword(value, "LEFT", "CENTER", "RIGHT");
        if (a >= 0)
            label->setAlignH(a);
    }
    if (readQuotedAttribute(text, "alignv", value, '=', ';')) {
        const int a = keyword(value, "TOP", "CENTER", "BOTTOM");
        if (a >= 0)
            label->setAlignV(a);
    }
    if (readQuotedAttribute(text, "wrap", value, '=', ';')) {
        const int m = keyword(value, "NONE", "TRUNCATE", "WORD");
        if (m >= 0)
            label->setWrapMode(m);
    }
    if (readIntAttribute(text, "alpha", number, '=', ';'))
        label->setAlpha(static_cast<std::uint8_t>(number & 0xFF));
    if (readQuotedAttribute(text, "shadow", value, '=', ';')) {
        if (StringUtil::equals(value, "ON", false))
            label->setShadow(true);
        else if (StringUtil::equals(value, "OFF", false))
            label->setShadow(false);
    }
    if (readIntAttribute(text, "shadowcolor", number, '=', ';'))
        label->getShadow().colour = static_cast<std::uint32_t>(number);
    if (readIntAttribute(text, "shadowalpha", number, '=', ';'))
        label->getShadow().alpha = static_cast<std::uint8_t>(number & 0xFF);
    if (readQuotedAttribute(text, "text", value, '=', ';'))
        label->setText(propertyOrText(value));
}
