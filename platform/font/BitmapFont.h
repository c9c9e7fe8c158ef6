// A font made from a picture of glyphs. Two layouts exist side by side:
// - single-byte fonts: the glyphs of the character list are found by scanning the picture, in list
//   order (a marker line under the glyphs, or a mask map with bands of glyphs);
// - double-byte fonts: the picture is a grid of equal cells, 32 to a row, addressed by the GB2312 code
//   of a two-byte character; single-byte characters come from fixed cells of the same grid through a
//   built-in table. A character file names the two-byte characters of a reduced (compressed) grid.
#pragma once

#include "platform/surface/Restorable.h"
#include "runtime/RefCounted.h"
#include "runtime/values/RectangleValue.h"

#include <cstdint>
#include <string>
#include <vector>

class Surface;
class SurfaceHolder;

class BitmapFont : public RefCounted, public Restorable {
public:
    // Slots of the reduced grid that a character file can fill.
    static constexpr int codeTableSize = 543;

    // Keeps a reference to the image and finds the glyphs of `characters` in it.
    BitmapFont(SurfaceHolder* image, const std::string& characters);
    ~BitmapFont() override;
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // One glyph. The Glyph forms take a box of the picture, the Char forms a character's glyph (a
    // character without one draws nothing). Colours are native pixels of the destination.
    // Opaque: the picture's surface, transparent where it has a colour key.
    virtual void drawGlyph(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height);
    virtual void drawChar(Surface* dest, int x, int y, unsigned char c);
    // Blended through the picture's mask map with a constant alpha.
    virtual void drawGlyphBlended(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height,
                                  std::uint8_t alpha);
    virtual void drawCharBlended(Surface* dest, int x, int y, unsigned char c, std::uint8_t alpha);
    // A solid colour laid on through the mask map, scaled by alpha.
    virtual void drawGlyphTinted(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height,
                                 std::uint32_t colour, std::uint8_t alpha);
    virtual void drawCharTinted(Surface* dest, int x, int y, unsigned char c, std::uint32_t colour,
                                std::uint8_t alpha);
    // The mask map's box combined into an 8-bit destination by a mask-combination mode.
    virtual void drawGlyphMask(Surface* dest, int x, int y, int sourceX, int sourceY, int width, int height,
                               int mode);
    virtual void drawCharMask(Surface* dest, int x, int y, unsigned char c, int mode);

    // Text, from the pen position (x, y).
    virtual void drawString(Surface* dest, int x, int y, const std::string& text);
    virtual void drawStringBlended(Surface* dest, int x, int y, const std::string& text, std::uint8_t alpha);
    virtual void drawStringTinted(Surface* dest, int x, int y, const std::string& text, std::uint32_t colour,
                                  std::uint8_t alpha);
    // The text with every closed "^" span taken out (an unclosed "^" stays), for drawing where the
    // colour codes have no meaning: in the font picture's own colours, or into a mask.
    static std::string withoutMarkup(const std::string& text);
    // Spans between two "^" are neither drawn nor advance the pen.
    virtual void drawStringHidingMarkup(Surface* dest, int x, int y, const std::string& text, std::uint32_t colour,
                                        std::uint8_t alpha);
    // "^" + hexadecimal 0xAARRGGBB + "^" changes the colour (and the alpha, when AA is not 0).
    virtual void drawStringColored(Surface* dest, int x, int y, const std::string& text, std::uint32_t colour,
                                   std::uint8_t alpha);
    virtual void drawStringMask(Surface* dest, int x, int y, const std::string& text, int mode);

    // Pen advance of the text (one character spacing after the last character included).
    virtual int measure(const std::string& text);
    // The same over the bytes from ... to - 1.
    virtual int measureRange(const std::string& text, int from, int to);
    // The same with "^" spans skipped; an unclosed "^" counts as a character.
    virtual int measureMarkup(const std::string& text);
    virtual int measureHeight(const std::string& text);

    virtual int getCharSpacing() { return charSpacing; }
    virtual void setCharSpacing(int value) { charSpacing = value; }
    virtual int getLineHeight() { return lineHeight; }
    virtual void setLineHeight(int value) { lineHeight = value; }
    virtual int getGlyphHeight();
    virtual int getSpaceWidth() { return spaceWidth; }
    virtual void setSpaceWidth(int value) { spaceWidth = value; }
    virtual int getGlyphWidth(unsigned char c);
    virtual int getLeftTrim(unsigned char c);
    virtual int getRightTrim(unsigned char c);
    virtual void setDoubleByte(int value) { doubleByte = value; }
    virtual int isDoubleByte() { return doubleByte; }
    virtual int getCharWidth() { return charWidth; }
    virtual void setCharWidth(int value) { charWidth = value; }
    virtual int getCharHeight() { return charHeight; }
    // Sets the line height too.
    virtual void setCharHeight(int value);
    virtual std::uint8_t setCompressed(std::uint8_t value);
    virtual int getUserValue() { return userValue; }
    virtual void setUserValue(int value) { userValue = value; }
    virtual SurfaceHolder* getImage() { return image; }

    // Counts, per glyph, the ink columns before its first empty column (left trim) and after it (right
    // trim), testing a strip of `height` mask-map rows that ends just above the baseline.
    virtual void computeTrims(int baseline, int height);

    // Reads whitespace-separated records "two-byte character, slot 0 ... 542" into the code table. A
    // file that does not open leaves the table as it was.
    void loadCharacterFile(const std::string& fileName);

    // Rebuilds the picture after a lost display.
    void restoreLost() override;

private:
    enum class Mode { Opaque, Blended, Tinted, Mask };
    enum class Markup { None, Hide, Colour };
    struct Pen;

    void indexGlyphs();
    void scan(Surface* surface);
    void scanGlyphMarkers(Surface* surface);
    void scanGlyphs(Surface* map, int width, int height);
    int glyphIndex(unsigned char c) const;
    RectangleValue cellBox(unsigned code) const;
    void drawText(Surface* dest, int x, int y, const std::string& text, Pen& pen, Markup markup);
    void drawBox(Surface* dest, int x, int y, const RectangleValue& box, const Pen& pen);
    int measureText(const std::string& text, std::size_t from, std::size_t to, bool skipMarkup);
    Surface* maskMap() const;

    SurfaceHolder* image;
    int charSpacing = 1;
    int lineHeight = 0;
    int spaceWidth = 0;
    std::string characters;
    std::vector<RectangleValue> glyphs;
    std::vector<int> leftTrim;
    std::vector<int> rightTrim;
    int userValue = 0;
    int charWidth = 0;
    int charHeight = 0;
    int doubleByte = 0;
    std::uint8_t compressed = 0;
    std::int32_t codeTable[codeTableSize] = {};
    // Glyph of every byte: the position of its first occurrence in the character list when a glyph
    // was found there, else -1.
    std::int32_t glyphOf[256];
};
