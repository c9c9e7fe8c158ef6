// Drawing and measuring of BitmapFont: the four drawing modes, text layout with "^" markup, measuring.
#include "platform/font/BitmapFont.h"

#include "platform/font/HalfWidthTable.h"
#include "platform/raster/Blend.h"
#include "platform/raster/Convert.h"
#include "platform/surface/Blit.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/strings/StringUtils.h"

#include <algorithm>

// How the glyphs of one text are drawn; the colour and alpha change with inline colour markup.
struct BitmapFont::Pen {
    Mode mode;
    std::uint32_t colour;
    std::uint8_t alpha;
    int maskMode;
};

namespace {

// One step through a text: a two-byte character (value = its GB2312 index), a single byte, or a
// markup span (the bytes between two "^", without them).
struct Step {
    enum Kind { Pair, Byte, Span } kind;
    unsigned value;
    std::size_t begin;
    std::size_t end;
};

// How a "^" is read: as an ordinary byte; as the start of a span that runs to the next "^" or to the
// end; or as a span only when a closing "^" follows (an unclosed one is then an ordinary byte).
enum class Carets { Literal, Span, ClosedSpan };

template <class Visit>
void forEachStep(const std::string& text, std::size_t from, std::size_t to, bool pairs, Carets carets, Visit&& visit)
{
    std::size_t i = from;
    while (i < to) {
        auto b = static_cast<unsigned char>(text[i]);
        if (pairs && i + 1 < to && b > 0xA0 && static_cast<unsigned char>(text[i + 1]) > 0xA0) {
            auto b1 = static_cast<unsigned char>(text[i + 1]);
            visit(Step{Step::Pair, (b - 0xA1u) * 94u + (b1 - 0xA1u), i, i + 2});
            i += 2;
            continue;
        }
        if (b == '^' && carets != Carets::Literal) {
            std::size_t close = text.find('^', i + 1);
            bool closed = close < to;
            if (closed || carets == Carets::Span) {
                visit(Step{Step::Span, 0, i + 1, closed ? close : to});
                i = closed ? close + 1 : to;
                continue;
            }
        }
        visit(Step{Step::Byte, b, i, i + 1});
        ++i;
    }
}

// A length in the 26-pixel design cell of the half-width table, scaled to a cell of `size` pixels.
int scaled(int length, int size)
{
    return static_cast<int>(static_cast<long long>(length) * size / halfWidthDesignCell);
}

} // namespace

void BitmapFont::drawGlyph(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height)
{
    if (!image)
        return;
    blitSurfaceChecked(image->getSurface(), sourceX, sourceY, width, height, dest, x, y, nullptr, nullptr);
}

void BitmapFont::drawGlyphBlended(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height,
                                  std::uint8_t alpha)
{
    if (!image)
        return;
    Surface* surface = image->getSurface();
    if (alpha < 255)
        blitSurfaceAlphaChecked(surface, sourceX, sourceY, width, height, dest, x, y, image->getMask(), alpha, nullptr);
    else
        blitSurfaceChecked(surface, sourceX, sourceY, width, height, dest, x, y, image->getMask(), nullptr);
}

void BitmapFont::drawGlyphTinted(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height,
                                 std::uint32_t colour, std::uint8_t alpha)
{
    if (!image)
        return;
    // The colour goes on only where the mask map has coverage; without one there is nothing to draw.
    if (Surface* map = image->getMask())
        blitTinted(map, sourceX, sourceY, width, height, dest, x, y, colour, alpha);
}

void BitmapFont::drawGlyphMask(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height,
                               int mode)
{
    if (Surface* map = maskMap())
        combineMask(map, sourceX, sourceY, width, height, dest, x, y, mode);
}

void BitmapFont::drawChar(Surface* dest, int x, int y, unsigned char c)
{
    int i = glyphIndex(c);
    if (i >= 0) {
        const RectangleValue& g = glyphs[static_cast<std::size_t>(i)];
        drawGlyph(dest, x, y, g.x, g.y, g.width, g.height);
    }
}

void BitmapFont::drawCharBlended(Surface* dest, int x, int y, unsigned char c, std::uint8_t alpha)
{
    int i = glyphIndex(c);
    if (i >= 0) {
        const RectangleValue& g = glyphs[static_cast<std::size_t>(i)];
        drawGlyphBlended(dest, x, y, g.x, g.y, g.width, g.height, alpha);
    }
}

void BitmapFont::drawCharTinted(Surface* dest, int x, int y, unsigned char c, std::uint32_t colour, std::uint8_t alpha)
{
    int i = glyphIndex(c);
    if (i >= 0) {
        const RectangleValue& g = glyphs[static_cast<std::size_t>(i)];
        drawGlyphTinted(dest, x, y, g.x, g.y, g.width, g.height, colour, alpha);
    }
}

void BitmapFont::drawCharMask(Surface* dest, int x, int y, unsigned char c, int mode)
{
    int i = glyphIndex(c);
    if (i >= 0) {
        const RectangleValue& g = glyphs[static_cast<std::size_t>(i)];
        drawGlyphMask(dest, x, y, g.x, g.y, g.width, g.height, mode);
    }
}

void BitmapFont::drawBox(Surface* dest, int x, int y, const RectangleValue& box, const Pen& pen)
{
    switch (pen.mode) {
    case Mode::Opaque:
        drawGlyph(dest, x, y, box.x, box.y, box.width, box.height);
        break;
    case Mode::Blended:
        drawGlyphBlended(dest, x, y, box.x, box.y, box.width, box.height, pen.alpha);
        break;
    case Mode::Tinted:
        drawGlyphTinted(dest, x, y, box.x, box.y, box.width, box.height, pen.colour, pen.alpha);
        break;
    case Mode::Mask:
        drawGlyphMask(dest, x, y, box.x, box.y, box.width, box.height, pen.maskMode);
        break;
    }
}

void BitmapFont::drawText(Surface* dest, int x, int y, const std::string& text, Pen& pen, Markup markup)
{
    int penX = x, penY = y;
    Carets carets = markup == Markup::None ? Carets::Literal : Carets::Span;
    forEachStep(text, 0, text.size(), doubleByte != 0, carets, [&](const Step& step) {
        if (step.kind == Step::Span) {
            if (markup == Markup::Colour) {
                auto colour = static_cast<std::uint32_t>(parseHex(text.substr(step.begin, step.end - step.begin)));
                pen.colour = dest->getDesc().format.packPixel(&colour);
                if (colour >> 24)
                    pen.alpha = static_cast<std::uint8_t>(colour >> 24);
            }
            return;
        }
        if (step.kind == Step::Pair) {
            drawBox(dest, penX, penY, cellBox(step.value), pen);
            penX += charWidth + charSpacing;
            return;
        }
        auto c = static_cast<unsigned char>(step.value);
        if (c == ' ') {
            penX += spaceWidth + charSpacing;
        } else if (c == '\n') {
            penX = x;
            penY += lineHeight;
        } else if (doubleByte != 0) {
            const HalfWidthEntry& t = halfWidthEntry(c);
            RectangleValue box(scaled(t.x, charWidth), scaled(t.y, charHeight), scaled(t.width, charWidth),
                               scaled(t.height, charHeight));
            drawBox(dest, penX + scaled(t.offset, charWidth), penY, box, pen);
            penX += scaled(t.advance, charWidth) + charSpacing;
        } else {
            int i = glyphIndex(c);
            if (i >= 0) {
                auto g = static_cast<std::size_t>(i);
                drawBox(dest, penX - leftTrim[g], penY, glyphs[g], pen);
                penX += glyphs[g].width - rightTrim[g] - leftTrim[g];
            }
            penX += charSpacing;
        }
    });
}

void BitmapFont::drawString(Surface* dest, int x, int y, const std::string& text)
{
    Pen pen{Mode::Opaque, 0, 255, 0};
    drawText(dest, x, y, text, pen, Markup::None);
}

void BitmapFont::drawStringBlended(Surface* dest, int x, int y, const std::string& text, std::uint8_t alpha)
{
    Pen pen{Mode::Blended, 0, alpha, 0};
    drawText(dest, x, y, text, pen, Markup::None);
}

void BitmapFont::drawStringTinted(Surface* dest, int x, int y, const std::string& text, std::uint32_t colour,
                                  std::uint8_t alpha)
{
    Pen pen{Mode::Tinted, colour, alpha, 0};
    drawText(dest, x, y, text, pen, Markup::None);
}

void BitmapFont::drawStringHidingMarkup(Surface* dest, int x, int y, const std::string& text, std::uint32_t colour,
                                        std::uint8_t alpha)
{
    Pen pen{Mode::Tinted, colour, alpha, 0};
    drawText(dest, x, y, text, pen, Markup::Hide);
}

void BitmapFont::drawStringColored(Surface* dest, int x, int y, const std::string& text, std::uint32_t colour,
                                   std::uint8_t alpha)
{
    Pen pen{Mode::Tinted, colour, alpha, 0};
    drawText(dest, x, y, text, pen, Markup::Colour);
}

void BitmapFont::drawStringMask(Surface* dest, int x, int y, const std::string& text, int mode)
{
    Pen pen{Mode::Mask, 0, 255, mode};
    drawText(dest, x, y, text, pen, Markup::None);
}

int BitmapFont::measureText(const std::string& text, std::size_t from, std::size_t to, bool skipMarkup)
{
    long long width = 0;
    forEachStep(text, from, to, doubleByte != 0, skipMarkup ? Carets::ClosedSpan : Carets::Literal,
                [&](const Step& step) {
                    if (step.kind == Step::Span)
                        return;
                    auto c = static_cast<unsigned char>(step.value);
                    if (step.kind == Step::Pair)
                        width += charWidth;
                    else if (c == ' ')
                        width += spaceWidth;
                    else if (doubleByte != 0)
                        width += scaled(halfWidthEntry(c).advance, charWidth);
                    else
                        width += getGlyphWidth(c) - getRightTrim(c) - getLeftTrim(c);
                    width += charSpacing;
                });
    return static_cast<int>(width);
}

int BitmapFont::measure(const std::string& text)
{
    return measureText(text, 0, text.size(), false);
}

int BitmapFont::measureRange(const std::string& text, int from, int to)
{
    std::size_t end = static_cast<std::size_t>(std::clamp(to, 0, static_cast<int>(text.size())));
    std::size_t begin = static_cast<std::size_t>(std::clamp(from, 0, static_cast<int>(end)));
    return measureText(text, begin, end, false);
}

int BitmapFont::measureMarkup(const std::string& text)
{
    return measureText(text, 0, text.size(), true);
}

int BitmapFont::measureHeight(const std::string& text)
{
    if (doubleByte != 0)
        return charHeight;
    return lineHeight * (1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')));
}
