// The toolkit's text widget. It lays its text out inside its own bounds in a bitmap font, by one of four
// wrap styles (normal: one line per paragraph; line: a character wrap; truncate: one line per paragraph
// cut with an ellipsis; word: a word wrap), aligns every line horizontally and the block vertically, and
// draws each line plainly, with an outline or with a drop shadow. "^" markup codes stay in force across
// the lines they are broken into.
//
// The layout is computed only by invalidate (directly, through the fit operations, or at the next draw
// after setText); other changes only mark the sprite dirty. Without a font nothing is laid out or drawn.
#pragma once

#include "toolkit/sprite/XMLSprite.h"
#include "toolkit/widget/TextHolder.h"

#include <string>
#include <vector>

class BitmapFont;

class PixelFontLabel : public XMLSprite, public TextHolder {
public:
    enum WrapStyle : int { WrapNormal = 0, WrapLine = 1, WrapTruncate = 2, WrapWord = 3 };
    enum Style : int { StyleNormal = 0, StyleOutline = 1, StyleShadow = 2 };

    static const ClassRecord classRecord;

    PixelFontLabel();

    unsigned instanceSize() override { return sizeof(PixelFontLabel); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void readXML(const TiXmlElement* element) override;
    void drawAt(Surface* target, int x, int y) override;

    const std::string& getText() const override { return text; }
    void setText(const std::string& newText) override;
    BitmapFont* getFont() const override { return font; }
    void setFont(BitmapFont* newFont) override;

    // Lays the text out again and places the lines.
    void invalidate();
    void fitHeightToText();
    void fitSizeToText();

    void setAlignH(int value);
    void setAlignV(int value);
    void setWrapStyle(int value);
    void setStyle(int value);
    void setStyleValue(int value);
    void setColorFg(int colour);
    void setColorBg(int colour);
    void setColorDraw(bool value);
    void setShadowAlpha(int value);
    void setLineHeight(double factor);
    void setTextShown(bool shown);

    int getAlignH() const { return alignH; }
    int getAlignV() const { return alignV; }
    int getWrapStyle() const { return wrapStyle; }
    int getStyle() const { return style; }
    int getStyleValue() const { return styleValue; }
    int getColorFg() const { return colorFg; }
    int getColorBg() const { return colorBg; }
    bool getColorDraw() const { return colorDraw; }
    int getShadowAlpha() const { return shadowAlpha; }
    double getLineHeight() const { return lineHeight; }
    bool isTextShown() const { return textShown; }
    const Rect& getTextBounds() const { return textBounds; }
    const std::vector<std::string>& getLines() const { return lines; }
    const std::vector<Point>& getLinePositions() const { return linePositions; }

    // The measures of a line and of the line height under the current style.
    int styledWidth(const std::string& s) const;
    int styledHeight() const;

protected:
    bool fits(const std::string& s) const;
    void layoutLines();
    void placeLines();
    // Character wrap of `remaining`; every piece but the last goes to the lines. With `keepLast` the last
    // piece is returned instead of emitted.
    std::string wrapCharacters(std::string remaining, bool keepLast);
    void updatePrefix(const std::string& line);
    void drawLine(Surface* target, int x, int y, const std::string& line);

    int colorBg = 0xFFFFFF;
    int colorFg = 0;
    bool colorDraw = false;
    bool textChanged = false;
    std::string text;
    BitmapFont* font = nullptr;
    int alignH = AlignLeft;
    int alignV = AlignTop;
    int wrapStyle = WrapWord;
    std::vector<Point> linePositions;
    std::vector<std::string> lines;
    std::string lineSeparator = "\n";
    std::string wordSeparator = " ";
    std::string ellipsis = "...";
    double lineHeight = 1.0;
    int style = StyleShadow;
    int styleValue = 0;
    int shadowAlpha = 255;
    Rect textBounds;
    bool textShown = true;
    // Markup code carried across line breaks during a layout.
    std::string prefix;
};
