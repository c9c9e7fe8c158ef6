#include "toolkit/widget/PixelFontLabel.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdint>

const ClassRecord PixelFontLabel::classRecord("PixelFontLabel", &XMLSprite::classRecord);

namespace {

// Splits at every occurrence of the separator; empty pieces are kept.
std::vector<std::string> split(const std::string& s, const std::string& separator)
{
    std::vector<std::string> pieces;
    if (separator.empty()) {
        pieces.push_back(s);
        return pieces;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = s.find(separator, start);
        if (at == std::string::npos) {
            pieces.push_back(s.substr(start));
            return pieces;
        }
        pieces.push_back(s.substr(start, at - start));
        start = at + separator.size();
    }
}

// Exact, case-sensitive keyword lookup.
struct Word {
    const char* word;
    int value;
};

template <std::size_t N> void readWord(const TiXmlElement* element, const char* name, const Word (&table)[N], int& out)
{
    std::string value;
    if (!XmlAttr::getString(element, name, value))
        return;
    for (const Word& w : table) {
        if (value == w.word) {
            out = w.value;
            return;
        }
    }
}

const Word alignHWords[] = {{"left", 0}, {"center", 4}, {"right", 1}};
const Word alignVWords[] = {{"top", 2}, {"center", 4}, {"bottom", 3}};
const Word styleWords[] = {{"normal", 0}, {"outline", 1}, {"shadow", 2}};
const Word wrapWords[] = {{"normal", 0}, {"truncate", 2}, {"line", 1}, {"word", 3}};

std::uint8_t clampAlpha(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

std::uint32_t native(Surface* target, int colour)
{
    const auto rgb = static_cast<std::uint32_t>(colour);
    return target->getDesc().format.packPixel(&rgb);
}

} // namespace

PixelFontLabel::PixelFontLabel()
{
    addInputFlags(InputKeyPressed | InputKeyReleased | InputKeyTyped);
}

void PixelFontLabel::readXML(const TiXmlElement* element)
{
    XMLSprite::readXML(element);
    if (!element)
        return;
    XmlAttr::getText(element, text);
    XmlAttr::getInt(element, "stylevalue", styleValue);
    XmlAttr::getInt(element, "colorbg", colorBg);
    XmlAttr::getInt(element, "colorfg", colorFg);
    XmlAttr::getInt(element, "textalpha", alpha);
    XmlAttr::getInt(element, "shadowalpha", shadowAlpha);
    XmlAttr::getFloat(element, "lineheight", lineHeight);
    XmlAttr::getBool(element, "colordraw", colorDraw);
    std::string fontId;
    // An identifier the catalogue does not hold keeps the font the label had.
    if (XmlAttr::getString(element, "font", fontId)) {
        if (BitmapFont* resource = ResourceManager::getFont(fontId))
            font = resource;
        else
            DebugLog::instance().log("PixelFontLabel: no font resource \"" + fontId + "\"\n");
    }
    readWord(element, "alignh", alignHWords, alignH);
    readWord(element, "alignv", alignVWords, alignV);
    readWord(element, "style", styleWords, style);
    readWord(element, "wrapstyle", wrapWords, wrapStyle);
}

void PixelFontLabel::setText(const std::string& newText)
{
    if (newText == text)
        return;
    setDirty(true);
    textChanged = true;
    text = newText;
}

void PixelFontLabel::setFont(BitmapFont* newFont)
{
    if (newFont == font)
        return;
    setDirty(true);
    font = newFont;
}

namespace {

template <class T> void store(PixelFontLabel& label, T& field, T value)
{
    if (field == value)
        return;
    label.setDirty(true);
    field = value;
}

} // namespace

void PixelFontLabel::setAlignH(int value) { store(*this, alignH, value); }
void PixelFontLabel::setAlignV(int value) { store(*this, alignV, value); }
void PixelFontLabel::setWrapStyle(int value) { store(*this, wrapStyle, value); }
void PixelFontLabel::setStyle(int value) { store(*this, style, value); }
void PixelFontLabel::setStyleValue(int value) { store(*this, styleValue, value); }
void PixelFontLabel::setColorDraw(bool value) { store(*this, colorDraw, value); }
void PixelFontLabel::setShadowAlpha(int value) { store(*this, shadowAlpha, value); }
void PixelFontLabel::setLineHeight(double factor) { store(*this, lineHeight, factor); }
void PixelFontLabel::setTextShown(bool shown) { store(*this, textShown, shown); }

void PixelFontLabel::setColorFg(int colour)
{
    colorFg = colour;
    setDirty(true);
}

void PixelFontLabel::setColorBg(int colour)
{
    colorBg = colour;
    setDirty(true);
}

int PixelFontLabel::styledWidth(const std::string& s) const
{
    if (!font)
        return 0;
    switch (style) {
    case StyleNormal:
        return font->measureMarkup(s);
    case StyleOutline:
        return font->measureMarkup(s) + 2 * styleValue;
    case StyleShadow:
        return font->measureMarkup(s) + styleValue;
    default:
        return 0;
    }
}

int PixelFontLabel::styledHeight() const
{
    if (!font)
        return 0;
    switch (style) {
    case StyleNormal:
        return font->getLineHeight();
    case StyleOutline:
        return font->getLineHeight() + 2 * styleValue;
    case StyleShadow:
        return font->getLineHeight() + styleValue;
    default:
        return 0;
    }
}

bool PixelFontLabel::fits(const std::string& s) const
{
    return styledWidth(s) < getWidth() && styledHeight() < getHeight();
}

void PixelFontLabel::updatePrefix(const std::string& line)
{
    const std::size_t last = line.rfind('^');
    if (last == std::string::npos || last == 0)
        return;
    const std::size_t before = line.rfind('^', last - 1);
    if (before == std::string::npos)
        return;
    prefix = line.substr(before, last - before + 1);
}

std::string PixelFontLabel::wrapCharacters(std::string remaining, bool keepLast)
{
    const int limit = getWidth();
    // Bytes of carried markup at the front of `remaining`; every cut takes at least one character past
    // them, so a character wider than the label gets a line of its own and the wrap always moves on.
    std::size_t carried = 0;
    while (!remaining.empty()) {
        // One character past the carried markup (a double-byte pair counts as one).
        std::size_t minimum = std::min(remaining.size(), carried + 1);
        if (minimum < remaining.size() && static_cast<unsigned char>(remaining[minimum - 1]) >= 161)
            ++minimum;
        if (styledWidth(remaining) < limit || minimum >= remaining.size()) {
            if (keepLast)
                return remaining;
            lines.push_back(remaining);
            return std::string();
        }
        // The smallest count of characters that does not fit (the whole text does not).
        std::size_t n = 1;
        while (n < remaining.size() && styledWidth(remaining.substr(0, n)) < limit)
            ++n;
        const auto high = std::count_if(remaining.begin(), remaining.begin() + static_cast<long>(n),
                                        [](char c) { return static_cast<unsigned char>(c) >= 161; });
        // A double-byte character is never split.
        if (high % 2 == 0 && n >= 2)
            --n;
        const std::size_t cut = std::max(n - 1, minimum);
        lines.push_back(remaining.substr(0, cut));
        updatePrefix(remaining.substr(0, std::max(n, cut)));
        const std::string rest = remaining.substr(cut);
        if (rest.empty())
            return std::string();
        remaining = prefix + rest;
        carried = prefix.size();
    }
    return std::string();
}

void PixelFontLabel::layoutLines()
{
    lines.clear();
    linePositions.clear();
    prefix.clear();
    if (text.empty())
        return;
    const int limit = getWidth();
    for (const std::string& paragraph : split(text, lineSeparator)) {
        switch (wrapStyle) {
        case WrapNormal: {
            const std::string line = prefix + paragraph;
            updatePrefix(line);
            lines.push_back(line);
            break;
        }
        case WrapTruncate: {
            if (fits(paragraph)) {
                lines.push_back(paragraph);
                break;
            }
            std::string rest = paragraph;
            while (!rest.empty() && !fits(rest + ellipsis))
                rest.pop_back();
            lines.push_back(fits(rest + ellipsis) ? rest + ellipsis : rest);
            break;
        }
        case WrapLine:
            wrapCharacters(paragraph, false);
            break;
        case WrapWord:
        default: {
            std::string current;
            bool fresh = true;
            for (const std::string& word : split(paragraph, wordSeparator)) {
                if (!fresh && styledWidth(word) + styledWidth(current) + styledWidth(" ") >= limit) {
                    lines.push_back(prefix + current);
                    current.clear();
                    fresh = true;
                }
                if (fresh) {
                    current = word;
                    fresh = false;
                    if (styledWidth(current) >= limit)
                        current = wrapCharacters(current, true);
                } else {
                    current += " " + word;
                }
            }
            current = prefix + current;
            updatePrefix(current);
            lines.push_back(current);
            break;
        }
        }
    }
}

void PixelFontLabel::placeLines()
{
    linePositions.clear();
    const double h = font->getLineHeight();
    const double f = lineHeight;
    const auto n = static_cast<double>(lines.size());
    const int block = std::max(0, static_cast<int>(n * h * f - (h * f - h)));
    const int labelWidth = getWidth();
    const int labelHeight = getHeight();
    int y = 0;
    switch (verticalAlign) {
    case AlignBottom:
        y = labelHeight - block - 1;
        break;
    case AlignVCenter:
        y = labelHeight / 2 - block / 2;
        break;
    default:
        break;
    }
    int widest = 0;
    for (const std::string& line : lines) {
        const int w = styledWidth(line);
        widest = std::max(widest, w);
        int x = 0;
        if (alignH == AlignRight)
            x = labelWidth - w - 1;
        else if (alignH == AlignHCenter)
            x = (labelWidth - w) / 2;
        linePositions.push_back(Point{x, y});
        y = static_cast<int>(y + h * f);
    }
    textBounds = Rect{getAbsoluteX(), getAbsoluteY(), widest, block};
}

void PixelFontLabel::invalidate()
{
    // Without a font there is nothing to measure with: the old layout stays.
    if (!font)
        return;
    layoutLines();
    placeLines();
}

void PixelFontLabel::fitHeightToText()
{
    if (!font)
        return;
    invalidate();
    setHeight(textBounds.height);
}

void PixelFontLabel::fitSizeToText()
{
    if (!font)
        return;
    invalidate();
    setSize(textBounds.width, textBounds.height);
}

void PixelFontLabel::drawLine(Surface* target, int x, int y, const std::string& line)
{
    const std::uint8_t textAlpha = clampAlpha(alpha);
    const std::uint8_t copyAlpha = clampAlpha((alpha * shadowAlpha) >> 8);
    const int v = styleValue;
    if (style == StyleOutline || style == StyleShadow) {
        const std::uint32_t back = native(target, colorBg);
        if (style == StyleOutline) {
            font->drawStringHidingMarkup(target, x, y, line, back, copyAlpha);
            font->drawStringHidingMarkup(target, x + 2 * v, y, line, back, copyAlpha);
            font->drawStringHidingMarkup(target, x + 2 * v, y + 2 * v, line, back, copyAlpha);
            font->drawStringHidingMarkup(target, x, y + 2 * v, line, back, copyAlpha);
            x += v;
            y += v;
        } else {
            font->drawStringHidingMarkup(target, x + v, y + v, line, back, copyAlpha);
        }
    }
    SurfaceHolder* image = font->getImage();
    if (colorDraw || !image || !image->getSurface())
        font->drawStringColored(target, x, y, line, native(target, colorFg), textAlpha);
    else
        font->drawStringBlended(target, x, y, BitmapFont::withoutMarkup(line), textAlpha);
}

void PixelFontLabel::drawAt(Surface* target, int x, int y)
{
    if (!font || !textShown || !target)
        return;
    if (textChanged) {
        textChanged = false;
        invalidate();
    }
    for (std::size_t i = 0; i < lines.size() && i < linePositions.size(); ++i)
        drawLine(target, x + linePositions[i].x, y + linePositions[i].y, lines[i]);
}
