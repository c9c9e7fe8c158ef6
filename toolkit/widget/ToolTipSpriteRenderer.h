// The tooltip box: a surface of its own, filled with the label's background colour and framed in the
// border colour, with a pixel-font label (the layout child "label") on it, placed 20 pixels below the
// pointer and kept inside the screen. The label is a sprite of its own, listed on the canvas right after
// the box. The box is rebuilt when the source changes (or at every draw while the source says its text
// changes) and stays where it appeared until the manager hands it another source.
#pragma once

#include "toolkit/widget/ToolTipSpriteRendererAbstract.h"

class BitmapFont;
class PixelFontLabel;

class ToolTipSpriteRenderer : public ToolTipSpriteRendererAbstract {
public:
    static const ClassRecord classRecord;

    ToolTipSpriteRenderer();
    ~ToolTipSpriteRenderer() override;

    unsigned instanceSize() override { return sizeof(ToolTipSpriteRenderer); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // The "label" child and "bordercolor"; the sprite's own attributes are not read.
    void readXML(const TiXmlElement* element) override;
    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    void draw(Surface* target) override;

    void setSource(TooltipSource* newSource) override;
    void setPosition(int x, int y) override;
    void bringToFront() override;

    TooltipSource* getSource() const { return source; }
    // Holds the label (null drops it).
    void setLabel(PixelFontLabel* newLabel);
    PixelFontLabel* getLabel() const { return label; }
    void setFont(BitmapFont* font);
    BitmapFont* getFont() const;
    // The label's text colour and background colour (0xRRGGBB); the background fills the box.
    void setTextColor(int colour);
    int getTextColor() const;
    void setBoxColor(int colour);
    int getBoxColor() const;
    void setBorderColor(int colour) { borderColor = colour; }
    int getBorderColor() const { return borderColor; }
    void setMaxWidth(int width);
    int getMaxWidth() const { return maxWidth; }
    void setOffset(int x, int y)
    {
        offsetX = x;
        offsetY = y;
    }
    int getPointerX() const { return pointerX; }
    int getPointerY() const { return pointerY; }

    // Lays the label out for the source's text and places and sizes the box; makes the box's surface
    // when it has none of that size.
    void rebuild();

private:
    TooltipSource* source = nullptr;
    PixelFontLabel* label = nullptr;
    int borderColor = 0;
    int maxWidth = 320;
    int pointerX = 0;
    int pointerY = 0;
    int offsetX = 0;
    int offsetY = 20;
    int screenMargin = 5;
    int insetX = 3;
    int insetY = 2;
};
