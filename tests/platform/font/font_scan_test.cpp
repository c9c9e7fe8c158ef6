#include "platform/font/FontTestSupport.h"

#include "support/TempDir.h"

namespace {

using FontScan = FontTest;

TEST_F(FontScan, MarkerLineEndsEveryGlyphAtItsMarker)
{
    SurfaceHolder* holder = picture(100, 12);
    poke(holder->getSurface(), 9, 11, 0xFFFFFF);
    poke(holder->getSurface(), 19, 11, 0xFFFFFF);
    BitmapFont* f = font(holder, "abc");

    EXPECT_EQ(f->getGlyphWidth('a'), 10);
    EXPECT_EQ(f->getGlyphWidth('b'), 10);
    EXPECT_EQ(f->getGlyphWidth('c'), 0) << "no third marker: no third glyph";
    EXPECT_EQ(f->getGlyphHeight(), 11) << "the marker line is not part of the glyph";
    EXPECT_EQ(f->getLineHeight(), 12);
    EXPECT_EQ(f->getSpaceWidth(), 100 / 3);

    // The boxes: 'b' starts right after the marker of 'a'.
    DirectDrawSurface* dest = make32(20, 11);
    dest->fill(0);
    paint(holder->getSurface(), 10, 0, 10, 11, 0x00ABCDEF);
    f->drawChar(dest, 0, 0, 'b');
    EXPECT_EQ(peek(dest, 0, 0) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(peek(dest, 9, 10) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(peek(dest, 10, 0), 0u);
}

TEST_F(FontScan, BandMaskFindsGlyphsBetweenEmptyColumns)
{
    SurfaceHolder* holder = picture(20, 18);
    MemorySurface* map = addMask(holder, 20, 18);
    // Band 1: rows 0-9, closed by the marker at (0, 10).
    paint(map, 0, 10, 1, 1, 0xFF);
    paint(map, 2, 3, 3, 2, 0x80);  // "a": columns 2-4
    paint(map, 7, 9, 1, 1, 0x01);  // "b": one column wide, ink only in the band's last row
    paint(map, 18, 0, 2, 5, 0xFF); // touches the right edge: not a glyph
    // Band 2: rows 11-15, closed at (0, 16); column 1 is never part of a glyph.
    paint(map, 0, 16, 1, 1, 0xFF);
    paint(map, 1, 11, 1, 5, 0xFF);
    paint(map, 4, 12, 2, 1, 0xFF); // "c"
    BitmapFont* f = font(holder, "abcd");

    EXPECT_EQ(f->getGlyphWidth('a'), 3);
    EXPECT_EQ(f->getGlyphWidth('b'), 1);
    EXPECT_EQ(f->getGlyphWidth('c'), 2);
    EXPECT_EQ(f->getGlyphWidth('d'), 0);
    EXPECT_EQ(f->getLineHeight(), 10) << "the first glyph's height";
    EXPECT_EQ(f->getGlyphHeight(), 10);
    EXPECT_EQ(f->getSpaceWidth(), (3 + 1 + 2) / 3);
}

TEST_F(FontScan, PicturesWithoutGlyphsGiveZeroSizes)
{
    // A mask map with no band and no ink, a marker picture without markers, and an empty list.
    SurfaceHolder* banded = picture(16, 8);
    addMask(banded, 16, 8);
    SurfaceHolder* unmarked = picture(16, 8);
    BitmapFont* fonts[] = {font(banded, "ab"), font(unmarked, "ab"), font(picture(16, 8), "")};
    for (BitmapFont* f : fonts) {
        EXPECT_EQ(f->getGlyphWidth('a'), 0);
        EXPECT_EQ(f->getGlyphHeight(), 0);
        EXPECT_EQ(f->measure("ab"), 2 * f->getCharSpacing());
    }
    EXPECT_EQ(fonts[0]->getLineHeight(), 0);
    EXPECT_EQ(fonts[0]->getSpaceWidth(), 0);
    EXPECT_EQ(fonts[1]->getLineHeight(), 8) << "a marker picture's line height is its height";
}

TEST_F(FontScan, TrimsCountInkColumnsBeforeAndAfterTheFirstGap)
{
    SurfaceHolder* holder = picture(20, 12);
    MemorySurface* map = addMask(holder, 20, 12);
    paint(map, 0, 10, 1, 1, 0xFF); // one band, rows 0-9
    // "a": columns 2-6 with ink in 2-3 and 5-6 of the trim strip (rows 4-5), but whole in rows 0-1.
    paint(map, 2, 0, 5, 2, 0xFF);
    paint(map, 2, 4, 2, 2, 0xFF);
    paint(map, 5, 4, 2, 2, 0xFF);
    // "b": columns 9-11, ink in every column of the strip.
    paint(map, 9, 4, 3, 2, 0xFF);
    BitmapFont* f = font(holder, "ab");
    ASSERT_EQ(f->getGlyphWidth('a'), 5);

    f->computeTrims(7, 2); // strip rows 0 + 7 - 2 - 1 = 4 and 5
    EXPECT_EQ(f->getLeftTrim('a'), 2);
    EXPECT_EQ(f->getRightTrim('a'), 2);
    EXPECT_EQ(f->getLeftTrim('b'), 0);
    EXPECT_EQ(f->getRightTrim('b'), 0);
    EXPECT_EQ(f->measure("a"), 5 - 2 - 2 + 1);

    // Strips wholly outside the mask map find no ink and add nothing; a strip reaching above the map
    // is clipped to rows 0-1, where "a" has no empty column, so its trims become 0.
    f->computeTrims(1000, 3);
    f->computeTrims(-1000, 3);
    EXPECT_EQ(f->getLeftTrim('a'), 2);
    EXPECT_EQ(f->getRightTrim('a'), 2);
    f->computeTrims(3, 50);
    EXPECT_EQ(f->getLeftTrim('a'), 0);
    EXPECT_EQ(f->getRightTrim('a'), 0);
}

TEST_F(FontScan, CharacterFileFillsTheSlotsOfACompressedGrid)
{
    testsupport::TempDir dir;
    // Slot 3 holds the character B0 A1; a slot out of range and a broken record are skipped.
    testsupport::writeFile(dir.file("chars.txt"), "\xB0\xA1 3\n\xB0\xA2 543\nx 4\n\xB0\xA3 -1\n");

    // A grid of 2 x 2 cells whose pixels name their cell (cell number + 1).
    SurfaceHolder* holder = picture(64, 24);
    for (int cell = 0; cell < 32 * 12; ++cell)
        paint(holder->getSurface(), (cell % 32) * 2, (cell / 32) * 2, 2, 2, static_cast<std::uint32_t>(cell + 1));
    BitmapFont* f = font(holder, "");
    f->setDoubleByte(1);
    f->setCharWidth(2);
    f->setCharHeight(2);
    EXPECT_EQ(f->getLineHeight(), 2) << "the character height sets the line height";

    DirectDrawSurface* dest = make32(2, 2);
    auto cellOf = [&](const std::string& text) {
        dest->fill(0);
        f->drawString(dest, 0, 0, text);
        return static_cast<int>(peek(dest, 0, 0)) - 1;
    };
    EXPECT_EQ(cellOf("\xA1\xA3"), 2) << "uncompressed: the GB2312 index is the cell";
    f->setCompressed(1);
    EXPECT_EQ(cellOf("\xB0\xA1"), 0) << "before the file: not in the table";

    f->loadCharacterFile(dir.file("chars.txt"));
    EXPECT_EQ(cellOf("\xB0\xA1"), 291);
    EXPECT_EQ(cellOf("\xB0\xA2"), 0);
    f->loadCharacterFile(dir.file("missing.txt"));
    EXPECT_EQ(cellOf("\xB0\xA1"), 291) << "a file that does not open leaves the table";
}

} // namespace
