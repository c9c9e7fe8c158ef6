#include "platform/font/HalfWidthTable.h"

namespace {

struct Table {
    HalfWidthEntry entries[256];

    Table()
    {
        const int cell = halfWidthDesignCell;
        for (HalfWidthEntry& e : entries)
            e = {0, 0, cell, cell, 0, 0};
        for (int c = 33; c <= 126; ++c) {
            if (c == '\\' || c == '|')
                continue;
            int n = 188 + (c - 33); // full-width forms of row 3
            switch (c) {
            case '$': n = 70; break;
            case '\'': n = 67; break;
            case '`': n = 5; break;
            case '~': n = 0; break;
            default: break;
            }
            HalfWidthEntry& e = entries[c];
            e.x = (n % 32) * cell;
            e.y = (n / 32) * cell;
            e.advance = 14;
            e.offset = -6;
        }
        // Narrow and wide characters differ from the common advance.
        group("'", 6, -6);
        group(".", 8, -6);
        group("Ifijlrt", 12, -7);
        group(":;", 14, -3);
        group("=", 14, -4);
        group("BEFJLPS", 16, -5);
        group("?ACDGHKNOQRTUVXYZm", 18, -4);
        group("Mw", 20, -3);
        group("W", 24, -1);
    }

    void group(const char* characters, int advance, int offset)
    {
        for (const char* p = characters; *p; ++p) {
            HalfWidthEntry& e = entries[static_cast<unsigned char>(*p)];
            e.advance = advance;
            e.offset = offset;
        }
    }
};

const Table table;

} // namespace

const HalfWidthEntry& halfWidthEntry(unsigned char c)
{
    return table.entries[c];
}
