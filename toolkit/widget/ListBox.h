// A vertical list of text entries with one selected entry. ListBoxComponent stacks its ListBoxItems
// inside its borders, listens to their clicks and paints a translucent bar behind the selected one. The
// entries are sprites of the list's canvas, placed directly after the list in the drawing order, with
// positions relative to the list; nothing clips or scrolls, so entries past the list's height are drawn
// below it. Screens add the entries in code.
#pragma once

#include "toolkit/sprite/XMLSprite.h"
#include "toolkit/widget/ButtonListener.h"
#include "toolkit/widget/PixelFontButton.h"

#include <vector>

// One entry: a caption button that starts in the selected half (selected normal), so an entry never
// clicked shows the selected colours.
class ListBoxItem : public PixelFontButton {
public:
    static const ClassRecord classRecord;

    ListBoxItem();

    unsigned instanceSize() override { return sizeof(ListBoxItem); }
    const ClassRecord* getClass() const override { return &classRecord; }
};

class ListBoxComponent : public XMLSprite, public ButtonListener {
public:
    static const ClassRecord classRecord;

    ListBoxComponent() = default;
    ~ListBoxComponent() override;

    unsigned instanceSize() override { return sizeof(ListBoxComponent); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void readXML(const TiXmlElement* element) override;
    // The selection bar only; the list has no image, and the entries draw themselves after it.
    void drawAt(Surface* target, int x, int y) override;
    // Puts the entries on the new canvas right after the list, in list order.
    void onAddedToCanvas() override;
    // Leaving the canvas empties the list.
    void onRemovedFromCanvas() override;

    // The list holds a reference on each entry, becomes its listener and parent, and lays it out.
    void addItem(ListBoxItem* item);
    // An entry that is not in the list is ignored.
    void removeItem(ListBoxItem* item);
    // Out-of-range indices are ignored. A removed selected entry hands the selection to the next one
    // (the previous one when it was the last).
    void removeItemAt(int index);
    // No selection; every entry leaves the canvas at the end of the frame.
    void clear();
    void setSelected(ListBoxItem* item);
    void clearSelection() { setSelected(nullptr); }
    ListBoxItem* getSelected() const { return selected; }
    // Null for an index outside the list.
    ListBoxItem* getItem(int index) const;
    int getItemCount() const { return static_cast<int>(items.size()); }
    int indexOf(const ListBoxItem* item) const;

    // Places every entry: x = borderleft, y = bordertop + i x (itemheight + itemspacing), as wide as the
    // list between its side borders, itemheight high.
    void layoutItems();

    void setBorders(int top, int bottom, int left, int right);
    void setItemHeight(int value) { itemHeight = value; }
    void setItemSpacing(int value) { itemSpacing = value; }
    void setSelectionColor(int colour) { selectionColor = colour; }
    void setSelectionAlpha(int value) { selectionAlpha = value; }
    int getBorderTop() const { return borderTop; }
    int getBorderBottom() const { return borderBottom; }
    int getBorderLeft() const { return borderLeft; }
    int getBorderRight() const { return borderRight; }
    int getItemHeight() const { return itemHeight; }
    int getItemSpacing() const { return itemSpacing; }
    int getSelectionColor() const { return selectionColor; }
    int getSelectionAlpha() const { return selectionAlpha; }

    // A click on one of the list's entries selects it.
    bool onClick(ButtonBlit* button) override;
    bool onEnter(ButtonBlit*) override { return true; }
    bool onLeave(ButtonBlit*) override { return true; }

protected:
    int borderTop = 0;
    int borderBottom = 0;
    int borderLeft = 0;
    int borderRight = 0;
    int itemHeight = 0;
    int itemSpacing = 0;
    int selectionColor = 0xFFFFFF;
    int selectionAlpha = 255;
    ListBoxItem* selected = nullptr;
    std::vector<ListBoxItem*> items;
};
