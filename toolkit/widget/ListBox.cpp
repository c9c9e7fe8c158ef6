#include "toolkit/widget/ListBox.h"

#include "platform/raster/Fill.h"
#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>
#include <cstdint>

const ClassRecord ListBoxItem::classRecord("ListBoxItem", &PixelFontButton::classRecord);
const ClassRecord ListBoxComponent::classRecord("ListBoxComponent", &XMLSprite::classRecord);

ListBoxItem::ListBoxItem()
{
    state = StateSelectedNormal;
}

ListBoxComponent::~ListBoxComponent()
{
    for (ListBoxItem* item : items) {
        if (item->getListener() == this)
            item->setListener(nullptr);
        item->release();
    }
    items.clear();
}

void ListBoxComponent::readXML(const TiXmlElement* element)
{
    XMLSprite::readXML(element);
    if (!element)
        return;
    XmlAttr::getInt(element, "bordertop", borderTop);
    XmlAttr::getInt(element, "borderbottom", borderBottom);
    XmlAttr::getInt(element, "borderleft", borderLeft);
    XmlAttr::getInt(element, "borderright", borderRight);
    XmlAttr::getInt(element, "itemheight", itemHeight);
    XmlAttr::getInt(element, "itemspacing", itemSpacing);
    XmlAttr::getInt(element, "selectioncolor", selectionColor);
    XmlAttr::getInt(element, "selectionalpha", selectionAlpha);
}

void ListBoxComponent::setBorders(int top, int bottom, int left, int right)
{
    borderTop = top;
    borderBottom = bottom;
    borderLeft = left;
    borderRight = right;
    setDirty(true);
}

int ListBoxComponent::indexOf(const ListBoxItem* item) const
{
    auto it = std::find(items.begin(), items.end(), item);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

ListBoxItem* ListBoxComponent::getItem(int index) const
{
    return index >= 0 && index < getItemCount() ? items[static_cast<std::size_t>(index)] : nullptr;
}

void ListBoxComponent::addItem(ListBoxItem* item)
{
    if (!item || indexOf(item) >= 0)
        return;
    item->addRef();
    if (SpriteCanvas* owner = getCanvas())
        owner->addSpriteAfter(item, items.empty() ? static_cast<Sprite*>(this) : items.back());
    item->setListener(this);
    item->setParent(this);
    item->addStateFlags(StateRelative);
    items.push_back(item);
    layoutItems();
    setDirty(true);
}

void ListBoxComponent::removeItem(ListBoxItem* item)
{
    const int index = indexOf(item);
    if (index >= 0)
        removeItemAt(index);
}

void ListBoxComponent::removeItemAt(int index)
{
    ListBoxItem* item = getItem(index);
    if (!item)
        return;
    // Dropping the entry's parent reference must not end the list in the middle of this.
    addRef();
    if (item == selected) {
        const int count = getItemCount();
        if (count == 1)
            selected = nullptr;
        else if (index == count - 1)
            selected = items[static_cast<std::size_t>(index - 1)];
        else
            selected = items[static_cast<std::size_t>(index + 1)];
    }
    items.erase(items.begin() + index);
    item->removeStateFlags(StateRelative);
    item->setParent(nullptr);
    if (item->getListener() == this)
        item->setListener(nullptr);
    if (SpriteCanvas* owner = item->getCanvas())
        owner->removeSprite(item);
    item->release();
    layoutItems();
    setDirty(true);
    release();
}

void ListBoxComponent::clear()
{
    selected = nullptr;
    std::vector<ListBoxItem*> gone;
    gone.swap(items);
    for (ListBoxItem* item : gone) {
        if (SpriteCanvas* owner = item->getCanvas())
            owner->removeSprite(item);
        else
            item->setObsolete(true);
        if (item->getListener() == this)
            item->setListener(nullptr);
        item->release();
    }
    setDirty(true);
}

void ListBoxComponent::setSelected(ListBoxItem* item)
{
    selected = item;
    setDirty(true);
}

void ListBoxComponent::layoutItems()
{
    const int width = getWidth() - (borderLeft + borderRight);
    const long long step = static_cast<long long>(itemHeight) + itemSpacing;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const long long y = borderTop + static_cast<long long>(i) * step;
        items[i]->setBounds(borderLeft, static_cast<int>(std::clamp<long long>(y, INT32_MIN, INT32_MAX)), width,
                            itemHeight);
    }
}

void ListBoxComponent::onAddedToCanvas()
{
    XMLSprite::onAddedToCanvas();
    SpriteCanvas* owner = getCanvas();
    if (!owner)
        return;
    Sprite* previous = this;
    for (ListBoxItem* item : items) {
        // An entry still listed (the list came back before the frame ended) is not listed twice.
        if (owner->indexOf(item) < 0)
            owner->addSpriteAfter(item, previous);
        previous = item;
    }
}

void ListBoxComponent::onRemovedFromCanvas()
{
    XMLSprite::onRemovedFromCanvas();
    clear();
}

bool ListBoxComponent::onClick(ButtonBlit* button)
{
    if (button && button->isKindOf(&ListBoxItem::classRecord)) {
        auto* item = static_cast<ListBoxItem*>(button);
        // Only the list's own entries can be selected.
        if (indexOf(item) >= 0)
            setSelected(item);
    }
    return true;
}

void ListBoxComponent::drawAt(Surface* target, int, int)
{
    if (!target || !selected)
        return;
    const auto alphaByte = static_cast<std::uint32_t>(selectionAlpha) & 0xFF;
    tintRectClipped(target, selected->getAbsoluteX(), selected->getAbsoluteY(), selected->getWidth(),
                    selected->getHeight(), static_cast<std::uint32_t>(selectionColor) & 0xFFFFFF, alphaByte);
}
