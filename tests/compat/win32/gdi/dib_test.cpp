#include "compat/win32/gdi/dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A device-independent bitmap built in memory: header, colour table and rows.
struct TestDib {
    std::vector<std::uint8_t> info; // header and colour table
    std::vector<std::uint8_t> bits;

    const BITMAPINFO* header() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

// Encodes top-down 0xAARRGGBB pixels at the given depth. Depths up to 8 bits get a colour table of
// the distinct colours; 16 bits are 5-5-5.
TestDib encode(int width, int height, int bitCount, const std::vector<std::uint32_t>& pixels, bool topDown = false)
{
    std::vector<std::uint32_t> table;
    if (bitCount <= 8) {
        for (std::uint32_t p : pixels) {
            bool known = false;
            for (std::uint32_t t : table)
                known = known || t == p;
            if (!known)
                table.push_back(p);
        }
    }
    TestDib dib;
    dib.info.resize(sizeof(BITMAPINFOHEADER) + table.size() * 4 + 4);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    h.biClrUsed = static_cast<DWORD>(table.size());
    std::memcpy(dib.info.data(), &h, sizeof h);
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::uint8_t* q = dib.info.data() + sizeof h + 4 * i;
        q[0] = table[i] & 0xFF;
        q[1] = (table[i] >> 8) & 0xFF;
        q[2] = (table[i] >> 16) & 0xFF;
    }
    std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    dib.bits.assign(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = dib.bits.data() + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
            unsigned index = 0;
            while (bitCount <= 8 && table[index] != p)
                ++index;
            switch (bitCount) {
            case 1: row[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8)); break;
            case 4: row[x / 2] |= static_cast<std::uint8_t>(index << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = static_cast<std::uint8_t>(index); break;
            case 16: {
                unsigned v = ((p >> 19) & 31) << 10 | ((p >> 11) & 31) << 5 | ((p >> 3) & 31);
                row[2 * x] = v & 0xFF;
                row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                break;
            }
            case 24:
                row[3 * x] = p & 0xFF;
                row[3 * x + 1] = (p >> 8) & 0xFF;
                row[3 * x + 2] = (p >> 16) & 0xFF;
                break;
            default:
                std::memcpy(row + 4 * x, &p, 4);
            }
        }
    }
    return dib;
}

struct TargetFormat {
    const char* name;
    DWORD bitCount, red, green, blue, alpha;
};

// Pixels of a target, read back as 0xAARRGGBB (0xFF alpha for formats without one).
struct Target {
    Target(const TargetFormat& f, int width, int height, std::uint8_t fill = 0xEE)
        : format(f), bytes(static_cast<std::size_t>(width) * height * (f.bitCount / 8), fill),
          pitch(static_cast<LONG>(width * (f.bitCount / 8))),
          dc(bytes.data(), pitch, width, height, f.bitCount, f.red, f.green, f.blue, f.alpha)
    {
    }

    std::uint32_t raw(int x, int y) const
    {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + y * pitch + x * (format.bitCount / 8), format.bitCount / 8);
        return v;
    }

    std::uint32_t colour(int x, int y) const
    {
        std::uint32_t p = raw(x, y);
        if (format.bitCount == 32)
            return format.alpha ? p : (p | 0xFF000000u);
        if (format.green == 0x07E0)
            return 0xFF000000u | ((p >> 11) & 31) << 19 | ((p >> 5) & 63) << 10 | (p & 31) << 3;
        return 0xFF000000u | ((p >> 10) & 31) << 19 | ((p >> 5) & 31) << 11 | (p & 31) << 3;
    }

    TargetFormat format;
    std::vector<std::uint8_t> bytes;
    LONG pitch;
    MemoryDC dc;
};

const TargetFormat formats[] = {
    {"5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 0},
    {"5-6-5", 16, 0xF800, 0x07E0, 0x001F, 0},
    {"X8R8G8B8", 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {"A8R8G8B8", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u},
};

// Channel values 0x00, 0x80 and 0xF8 survive every format, so a round trip must be exact.
const std::uint32_t palette6[] = {0xFFF80000, 0xFF00F800, 0xFF0000F8, 0xFFF8F8F8, 0xFF000000, 0xFF808080};

std::vector<std::uint32_t> pattern(int width, int height, int colours)
{
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.push_back(palette6[(i * 7 + i / width) % colours]);
    return pixels;
}

} // namespace

TEST(StretchDIBits, ConvertsEveryDepthIntoEveryTargetFormat)
{
    struct Source {
        int bitCount;
        int colours;
        bool topDown;
    };
    const Source sources[] = {{1, 2, false}, {4, 6, false}, {8, 6, false}, {16, 6, false},
                              {24, 6, false}, {32, 6, false}, {24, 6, true}};
    const int width = 9, height = 3; // 9 columns cross a byte of 1-bit and 4-bit rows
    for (const Source& s : sources) {
        std::vector<std::uint32_t> pixels = pattern(width, height, s.colours);
        TestDib dib = encode(width, height, s.bitCount, pixels, s.topDown);
        for (const TargetFormat& f : formats) {
            SCOPED_TRACE(std::to_string(s.bitCount) + " bits" + (s.topDown ? " top-down" : "") + " into " + f.name);
            Target t(f, width, height);
            EXPECT_EQ(StretchDIBits(&t.dc, 0, 0, width, height, 0, 0, width, height, dib.bits.data(),
                                    dib.header(), DIB_RGB_COLORS, SRCCOPY),
                      height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(t.colour(x, y), pixels[static_cast<std::size_t>(y * width + x)]) << x << "," << y;
        }
    }
}

TEST(StretchDIBits, ThirtyTwoBitSourceKeepsItsAlphaOthersAreOpaque)
{
    std::vector<std::uint32_t> pixels = {0x80F80000, 0x0000F800};
    Target keeps(formats[3], 2, 1);
    TestDib with = encode(2, 1, 32, pixels);
    StretchDIBits(&keeps.dc, 0, 0, 2, 1, 0, 0, 2, 1, with.bits.data(), with.header(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(keeps.raw(0, 0), 0x80F80000u);
    EXPECT_EQ(keeps.raw(1, 0), 0x0000F800u);

    Target opaque(formats[3], 2, 1);
    TestDib without = encode(2, 1, 24, pixels);
    StretchDIBits(&opaque.dc, 0, 0, 2, 1, 0, 0, 2, 1, without.bits.data(), without.header(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(opaque.raw(0, 0), 0xFFF80000u);
    EXPECT_EQ(opaque.raw(1, 0), 0xFF00F800u);
}

TEST(StretchDIBits, ClipsToTheTargetAndLeavesTheRestAlone)
{
    const int width = 5, height = 4;
    std::vector<std::uint32_t> pixels = pattern(width, height, 6);
    TestDib dib = encode(width, height, 24, pixels);
    // The target is smaller than the picture and the picture starts left of and above it; the target
    // buffer is exactly its size, so a write outside it is caught by the sanitizers.
    Target t(formats[2], 3, 3, 0x11);
    StretchDIBits(&t.dc, -2, 1, width, height, 0, 0, width, height, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(t.raw(x, 0), 0x11111111u) << "row above the picture is untouched";
    for (int y = 1; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(t.colour(x, y), pixels[static_cast<std::size_t>((y - 1) * width + x + 2)]);

    StretchDIBits(&t.dc, 3, 3, width, height, 0, 0, width, height, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY);
    StretchDIBits(&t.dc, -width, 0, width, height, 0, 0, width, height, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(t.raw(0, 0), 0x11111111u) << "pictures wholly outside draw nothing";
}

TEST(StretchDIBits, StretchesByNearestPixelAndMeasuresSourceRowsFromTheBottom)
{
    // 2 x 2 picture: top row red, green; bottom row blue, white.
    std::vector<std::uint32_t> pixels = {0xFFF80000, 0xFF00F800, 0xFF0000F8, 0xFFF8F8F8};
    TestDib dib = encode(2, 2, 24, pixels);

    Target big(formats[2], 4, 4);
    StretchDIBits(&big.dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(big.colour(x, y), pixels[static_cast<std::size_t>((y / 2) * 2 + x / 2)]);

    // Source y 0 with height 1 of a bottom-up picture is its bottom row.
    Target row(formats[2], 2, 1);
    StretchDIBits(&row.dc, 0, 0, 2, 1, 0, 0, 2, 1, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(row.colour(0, 0), 0xFF0000F8u);
    EXPECT_EQ(row.colour(1, 0), 0xFFF8F8F8u);
}

TEST(StretchDIBits, RefusesWhatItCannotDraw)
{
    std::vector<std::uint32_t> pixels = pattern(2, 2, 4);
    TestDib dib = encode(2, 2, 8, pixels);
    Target t(formats[2], 2, 2, 0x11);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(&t.dc, 0, 0, 2, 2, 0, 0, 2, 2, dib.bits.data(), dib.header(), DIB_RGB_COLORS, 0x00EE0086), 0);
    EXPECT_EQ(StretchDIBits(&t.dc, 0, 0, 0, 2, 0, 0, 2, 2, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY), 0);
    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(dib.info.data());
    h->biCompression = 1; // run-length coded
    EXPECT_EQ(StretchDIBits(&t.dc, 0, 0, 2, 2, 0, 0, 2, 2, dib.bits.data(), dib.header(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(t.raw(0, 0), 0x11111111u);
}

TEST(SetDIBitsToDevice, DrawsOnlyTheScanLinesGiven)
{
    // 3 x 3 picture; the bits hold only the middle scan line (scan 1, counted from the bottom).
    std::vector<std::uint32_t> pixels = pattern(3, 3, 6);
    TestDib whole = encode(3, 3, 32, pixels);
    std::size_t stride = 12;
    std::vector<std::uint8_t> band(whole.bits.begin() + stride, whole.bits.begin() + 2 * stride);

    Target t(formats[3], 3, 3, 0x11);
    EXPECT_EQ(SetDIBitsToDevice(&t.dc, 0, 0, 3, 3, 0, 0, 1, 1, band.data(), whole.header(), DIB_RGB_COLORS), 1);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(t.raw(x, 0), 0x11111111u);
        EXPECT_EQ(t.colour(x, 1), pixels[static_cast<std::size_t>(3 + x)]);
        EXPECT_EQ(t.raw(x, 2), 0x11111111u);
    }

    // A part of the picture: source (1, 0) is one column in, on the bottom row.
    Target part(formats[1], 2, 1);
    SetDIBitsToDevice(&part.dc, 0, 0, 2, 1, 1, 0, 0, 3, whole.bits.data(), whole.header(), DIB_RGB_COLORS);
    EXPECT_EQ(part.colour(0, 0), pixels[7]);
    EXPECT_EQ(part.colour(1, 0), pixels[8]);
}
