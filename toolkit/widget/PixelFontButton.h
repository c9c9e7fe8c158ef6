// A PixelButton with a one-line caption in a bitmap font, centred on the button, in a colour chosen by
// the state, with an optional drop shadow and a small shift while pressed. When the font has a picture
// of its own, the caption is drawn in the picture's colours unless colordraw asks for the state colour.
#pragma once

#include "toolkit/widget/PixelButton.h"
#include "toolkit/widget/TextHolder.h"

#include <string>

class BitmapFont;

class PixelFontButton : public PixelButton, public TextHolder {
public:
    static const ClassRecord classRecord;
    static constexpr int DefaultCaptionColor = 65535;

    PixelFontButton();

    unsigned instanceSize() override { return sizeof(PixelFontButton); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void readXML(const TiXmlElement* element) override;
    // The image as every bitmap sprite draws it, then the caption.
    void drawAt(Surface* target, int x, int y) override;

    const std::string& getText() const override { return caption; }
    void setText(const std::string& text) override;
    BitmapFont* getFont() const override { return font; }
    void setFont(BitmapFont* newFont) override;

    void setShadowColor(int colour);
    int getShadowColor() const { return shadowColor; }
    // The caption colour (0xRRGGBB) of a state 0..7; other states give 0.
    int getStateColor(int forState) const;
    void setStateColor(int forState, int colour);
    void setDrawShadow(bool value) { drawShadow = value; }
    bool getDrawShadow() const { return drawShadow; }
    void setShadowAlpha(int value) { shadowAlpha = value; }
    int getShadowAlpha() const { return shadowAlpha; }
    void setShadowOffset(int dx, int dy)
    {
        shadowOffsetX = dx;
        shadowOffsetY = dy;
    }
    void setPressedOffset(int dx, int dy)
    {
        pressedOffsetX = dx;
        pressedOffsetY = dy;
    }
    int getShadowOffsetX() const { return shadowOffsetX; }
    int getShadowOffsetY() const { return shadowOffsetY; }
    int getPressedOffsetX() const { return pressedOffsetX; }
    int getPressedOffsetY() const { return pressedOffsetY; }
    void setColorDraw(bool value) { colorDraw = value; }
    bool getColorDraw() const { return colorDraw; }

protected:
    BitmapFont* font = nullptr;
    std::string caption;
    // Indexed by state: normal, highlight, pressed, disabled, then the selected four.
    int stateColors[8];
    int shadowColor = 0;
    bool drawShadow = false;
    int shadowAlpha = 128;
    int shadowOffsetX = 2;
    int shadowOffsetY = 2;
    int pressedOffsetX = 1;
    int pressedOffsetY = 1;
    bool colorDraw = false;
};
