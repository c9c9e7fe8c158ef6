#include "platform/font/FontTestSupport.h"

namespace {

constexpr std::uint32_t colourA = 0x00F00000; // the pixels of glyph "a"
constexpr std::uint32_t colourB = 0x000000F0; // the pixels of glyph "b"
constexpr std::uint32_t background = 0;

std::uint32_t red(std::uint32_t p) { return (p >> 16) & 0xFF; }
std::uint32_t green(std::uint32_t p) { return (p >> 8) & 0xFF; }
std::uint32_t blue(std::uint32_t p) { return p & 0xFF; }

// A band-mask font "ab": glyphs 3 x 4 pixels at columns 2-4 and 6-8, fully covered by the mask map.
// Character spacing 1, line height 4, space width 3.
class FontText : public FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        holder = picture(12, 6);
        paint(holder->getSurface(), 2, 0, 3, 4, colourA);
        paint(holder->getSurface(), 6, 0, 3, 4, colourB);
        map = addMask(holder, 12, 6);
        paint(map, 0, 4, 1, 1, 0xFF);
        paint(map, 2, 0, 3, 4, 0xFF);
        paint(map, 6, 0, 3, 4, 0xFF);
        ab = font(holder, "ab");
        dest = make32(20, 10);
        dest->fill(background);
    }

    SurfaceHolder* holder = nullptr;
    MemorySurface* map = nullptr;
    BitmapFont* ab = nullptr;
    DirectDrawSurface* dest = nullptr;
};

TEST_F(FontText, LineFeedStartsTheNextLineAtTheStartX)
{
    ab->drawString(dest, 1, 1, "ab\nba");
    EXPECT_EQ(peek(dest, 1, 1), colourA);
    EXPECT_EQ(peek(dest, 3, 4), colourA);
    EXPECT_EQ(peek(dest, 4, 1), background) << "one pixel of character spacing";
    EXPECT_EQ(peek(dest, 5, 1), colourB);
    EXPECT_EQ(peek(dest, 1, 5), colourB) << "one line height lower";
    EXPECT_EQ(peek(dest, 5, 5), colourA);
    EXPECT_EQ(peek(dest, 1, 9), background);
}

TEST_F(FontText, BlendedTextMixesThroughTheMaskMap)
{
    ab->drawStringBlended(dest, 0, 0, "a", 128);
    ab->drawStringBlended(dest, 0, 5, "a", 255);
    std::uint32_t half = red(peek(dest, 0, 0)), full = red(peek(dest, 0, 5));
    EXPECT_GT(half, 0x60u);
    EXPECT_LT(half, 0x90u);
    EXPECT_GE(full, 0xE0u);
    EXPECT_EQ(peek(dest, 3, 0), background);
}

TEST_F(FontText, ColourMarkupChangesTheTintWithoutMovingThePen)
{
    std::uint32_t redPixel = 0xFF0000;
    ab->drawStringColored(dest, 0, 0, "a^00FF00^a^80ffffff^b", redPixel, 255);
    std::uint32_t first = peek(dest, 0, 0), second = peek(dest, 4, 0), third = peek(dest, 8, 0);
    EXPECT_GE(red(first), 0xF0u);
    EXPECT_EQ(green(first), 0u);
    EXPECT_EQ(red(second), 0u) << "the span switches to green";
    EXPECT_GE(green(second), 0xF0u);
    for (std::uint32_t channel : {red(third), green(third), blue(third)}) {
        EXPECT_GT(channel, 0x60u) << "white at alpha 0x80";
        EXPECT_LT(channel, 0x90u);
    }
    EXPECT_EQ(peek(dest, 12, 0), background) << "spans draw nothing";
}

TEST_F(FontText, HiddenMarkupIsSkipped)
{
    std::uint32_t white = 0xFFFFFF;
    ab->drawStringHidingMarkup(dest, 0, 0, "a^ab^b", white, 255);
    ab->drawStringHidingMarkup(dest, 0, 5, "a^bb", white, 255);
    EXPECT_NE(peek(dest, 0, 0), background);
    EXPECT_NE(peek(dest, 4, 0), background) << "the span does not move the pen";
    EXPECT_EQ(peek(dest, 8, 0), background);
    EXPECT_NE(peek(dest, 0, 5), background);
    EXPECT_EQ(peek(dest, 4, 5), background) << "an unclosed span hides the rest";
}

TEST_F(FontText, MaskModeCombinesGlyphMasksIntoAByteMap)
{
    MemorySurface* target = makeMap(12, 4);
    std::memset(target->pixels(), 0, 48);
    ab->drawStringMask(target, 0, 0, "ab", 1);
    const auto* bytes = static_cast<const std::uint8_t*>(target->pixels());
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(bytes[4 + 12 * 3], 0xFF);
}

TEST_F(FontText, ModesThatNeedAMaskMapDrawNothingWithoutOne)
{
    SurfaceHolder* plain = picture(12, 5);
    paint(plain->getSurface(), 0, 0, 12, 4, colourA);
    poke(plain->getSurface(), 2, 4, 1);
    BitmapFont* unmasked = font(plain, "a");
    MemorySurface* target = makeMap(4, 4);
    std::memset(target->pixels(), 0, 16);
    unmasked->drawCharMask(target, 0, 0, 'a', 1);
    unmasked->drawStringTinted(dest, 0, 0, "a", 0xFFFFFF, 255);
    EXPECT_EQ(static_cast<const std::uint8_t*>(target->pixels())[0], 0);
    EXPECT_EQ(peek(dest, 0, 0), background);
}

TEST_F(FontText, MeasuringFollowsThePenAdvance)
{
    struct Case {
        const char* text;
        int width;
        int markupWidth;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"a", 4, 4},
        {"a b", 12, 12},        // space: space width + spacing
        {"a\nb", 9, 9},         // a line feed is measured as a byte without a glyph
        {"a^bab", 17, 17},      // unclosed: the caret counts as a character
        {"a^ba^b", 18, 8},      // closed: only the first and the last letter
        {"ax", 5, 5},           // no glyph: spacing only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ab->measure(c.text), c.width);
        EXPECT_EQ(ab->measureMarkup(c.text), c.markupWidth);
    }
    EXPECT_EQ(ab->measureRange("abab", 1, 3), 8);
    EXPECT_EQ(ab->measureRange("ab", -5, 99), 8) << "the range is clipped to the text";
    EXPECT_EQ(ab->measureRange("ab", 2, 1), 0);
    EXPECT_EQ(ab->measureHeight("a"), 4);
    EXPECT_EQ(ab->measureHeight("a\nb\n"), 12);
}

TEST_F(FontText, DoubleByteFontDrawsSingleBytesFromTheHalfWidthTable)
{
    // 13-pixel cells: "A" uses design cell 220, column 28 and row 6, scaled from 26 to 13 pixels.
    SurfaceHolder* grid = picture(13 * 32, 13 * 8);
    paint(grid->getSurface(), 364, 78, 13, 13, colourB);
    paint(grid->getSurface(), 364, 78, 1, 13, colourA);
    paint(grid->getSurface(), 0, 0, 13, 13, 0x00123456);
    BitmapFont* f = font(grid, "");
    f->setDoubleByte(1);
    f->setCharWidth(13);
    f->setCharHeight(13);

    DirectDrawSurface* line = make32(60, 13);
    line->fill(background);
    f->drawString(line, 10, 0, "AA\xB0");
    EXPECT_EQ(peek(line, 7, 0), background);
    EXPECT_EQ(peek(line, 8, 0), colourA) << "drawn at pen x - 2";
    EXPECT_EQ(peek(line, 9, 0), colourB);
    EXPECT_EQ(peek(line, 18, 0), colourA) << "advance 9 + spacing";
    EXPECT_EQ(peek(line, 30, 0), 0x00123456u) << "a lone byte above 0xA0 at the end: cell (0, 0)";
    EXPECT_EQ(f->measure("AA\xB0"), 10 + 10 + 1);
    EXPECT_EQ(f->measure("\xB0\xA1 "), 13 + 1 + f->getSpaceWidth() + 1);
    EXPECT_EQ(f->measureHeight("A\nA"), 13);
}

} // namespace
