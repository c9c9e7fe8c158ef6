// The two blending families on raw pixel rows: exact values of their arithmetic, and the parallel
// family (SIMD where the host has it) against a per-pixel model of its group rules.
#include "platform/raster/BlendJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace raster;

namespace {

// One row or block of pixels of 2 or 4 bytes, with its own pitch.
struct Image {
    int width, height, bytes;
    std::vector<std::uint8_t> data;
    Image(int w, int h, int b) : width(w), height(h), bytes(b), data(static_cast<std::size_t>(w * h * b)) {}
    std::uint8_t* at(int x, int y) { return data.data() + (y * width + x) * bytes; }
    std::uint32_t get(int x, int y) { return bytes == 4 ? load32(at(x, y)) : load16(at(x, y)); }
    void set(int x, int y, std::uint32_t v) { bytes == 4 ? store32(at(x, y), v) : store16(at(x, y), v); }
};

Image row(int bytes, std::vector<std::uint32_t> pixels)
{
    Image img(static_cast<int>(pixels.size()), 1, bytes);
    for (int x = 0; x < img.width; ++x)
        img.set(x, 0, pixels[static_cast<std::size_t>(x)]);
    return img;
}

std::vector<std::uint32_t> pixelsOf(Image& img)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            out.push_back(img.get(x, y));
    return out;
}

BlendJob jobFor(int code, Image& src, Image& dst, const std::vector<std::uint8_t>* map = nullptr, std::ptrdiff_t mapPitch = 0)
{
    BlendJob job;
    job.formatCode = code;
    job.width = dst.width;
    job.height = dst.height;
    job.src = src.data.data();
    job.srcPitch = src.width * src.bytes;
    job.dst = dst.data.data();
    job.dstPitch = dst.width * dst.bytes;
    if (map) {
        job.map = map->data();
        job.mapPitch = mapPitch ? mapPitch : dst.width;
    }
    return job;
}

using Worker = void (*)(const BlendJob&);

}  // namespace

TEST(BlendArithmetic, ExactBlendRoundsTowardMinusInfinity)
{
    struct Case {
        std::uint32_t s, d, a, expected;
    } cases[] = {
        {255, 0, 128, 127}, {0, 255, 128, 127}, {31, 0, 128, 15}, {0, 31, 128, 15},
        {200, 100, 255, 199}, {100, 200, 255, 100}, {7, 9, 0, 9}, {0, 255, 1, 254},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mix(c.s, c.d, c.a), c.expected) << c.s << " onto " << c.d << " at " << c.a;
}

TEST(BlendArithmetic, PairFormulaStaysWithinOneAboveTheExactBlend)
{
    // Every 5- and 6-bit channel pair at every alpha, in both halves of the word.
    for (const Layout* l : {&kLayout555, &kLayout565}) {
        const std::uint32_t gmax = l->green.mask;
        for (std::uint32_t a = 0; a < 256; ++a)
            for (std::uint32_t s = 0; s <= gmax; ++s)
                for (std::uint32_t d = 0; d <= gmax; ++d) {
                    const std::uint32_t sp = s << l->green.shift, dp = d << l->green.shift;
                    const std::uint32_t pair = mixPair(*l, sp | sp << 16, dp | (dp << 16), a);
                    const std::uint32_t exact = mix(s, d, a);
                    const std::uint32_t lo = ((pair & 0xFFFF) >> l->green.shift) & gmax;
                    const std::uint32_t hi = ((pair >> 16) >> l->green.shift) & gmax;
                    ASSERT_EQ(lo, hi);
                    const std::uint32_t over = lo - exact;
                    ASSERT_TRUE(over == 0 || (over == 1 && a % 4 != 0)) << s << " " << d << " " << a;
                    ASSERT_TRUE(a != 255 || lo == s) << s << " " << d;
                }
    }
}

TEST(BlendArithmetic, ParallelByteFormulaKeepsTheTopByteAndMayRoundUp)
{
    EXPECT_EQ(mixMmx32(0x00FF0000, 0xAB00FF00, 128), 0xAB7F8000u);
    EXPECT_EQ(mixPixel(kLayout888, 0x00FF0000, 0xAB00FF00, 128), 0x007F7F00u);
}

TEST(BlendPlain, White555OntoBlackMatchesTheWorkedExample)
{
    // A pair and an odd last pixel: at 128 both give 0x3DEF; at 255 the pair gives the source and
    // the single pixel one less in every channel.
    struct Case {
        std::uint32_t alpha, pairValue, singleValue;
    };
    for (auto [alpha, pairValue, singleValue] : {Case{128, 0x3DEF, 0x3DEF}, Case{255, 0x7FFF, 0x7BDE}}) {
        Image src = row(2, {0x7FFF, 0x7FFF, 0x7FFF}), dst = row(2, {0, 0, 0});
        BlendJob job = jobFor(kFormat555, src, dst);
        job.alpha = alpha;
        plain::blendRect(job);
        EXPECT_EQ(pixelsOf(dst), (std::vector<std::uint32_t>{pairValue, pairValue, singleValue})) << alpha;

        Image fastDst = row(2, {0, 0, 0});
        job.dst = fastDst.data.data();
        fast::blendRect(job);
        EXPECT_EQ(pixelsOf(fastDst), (std::vector<std::uint32_t>{singleValue, singleValue, singleValue})) << alpha;
    }
}

TEST(BlendPlain, AlphaZeroLeavesColourChannelsInEveryPath)
{
    const std::vector<std::uint8_t> zeros(5, 0);
    for (int code : {kFormat555, kFormat565, kFormat32}) {
        const int bytes = code == kFormat32 ? 4 : 2;
        const std::uint32_t colourBits = code == kFormat32 ? 0x00FFFFFF : code == kFormat555 ? 0x7FFF : 0xFFFF;
        const std::vector<std::uint32_t> before{0x12345678, 0x9ABCDEF0, 0x0F0F0F0F, 0xF0F0F0F0, 0x13579BDF};
        for (Worker w : {plain::blendRect, plain::blendRectKeyed, plain::blendMask, plain::blendMaskAlpha, plain::tint,
                         fast::blendRect, fast::blendRectKeyed, fast::blendMask}) {
            Image src = row(bytes, {0xFFFFFFFF, 0, 0x55555555, 0xAAAAAAAA, 0x11111111});
            Image dst = row(bytes, before);
            BlendJob job = jobFor(code, src, dst, &zeros);
            job.alpha = 0;
            job.color = 0xFFFFFFFF;
            job.colorKey = 0x00010203;
            w(job);
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(dst.get(x, 0) & colourBits, before[static_cast<std::size_t>(x)] & colourBits) << code << " " << x;
        }
    }
}

TEST(BlendPlain, KeyedPairsSkipOnlyTheKeyedHalf)
{
    // Key 0: a pair of two keyed pixels, a pair keyed in its high pixel, one keyed in its low pixel,
    // a pair with none, and a keyed odd pixel.
    Image src = row(2, {0, 0, 0xF800, 0, 0, 0x07FF, 0x001F, 0x07E0, 0});
    Image dst = row(2, {0x1111, 0x2222, 0, 0x3333, 0x5555, 0, 0, 0, 0x4444});
    BlendJob job = jobFor(kFormat565, src, dst);
    job.alpha = 255;
    plain::blendRectKeyed(job);
    EXPECT_EQ(pixelsOf(dst), (std::vector<std::uint32_t>{0x1111, 0x2222, 0xF800, 0x3333, 0x5555, 0x07FF, 0x001F, 0x07E0,
                                                         0x4444}));
}

TEST(BlendPlain, ThirtyTwoBitKeyComparesColourBitsOnly)
{
    Image src = row(4, {0xFF00FF00, 0x0000FF01}), dst = row(4, {0x11223344, 0});
    BlendJob job = jobFor(kFormat32, src, dst);
    job.alpha = 128;
    job.colorKey = 0x0000FF00;
    for (Worker w : {plain::blendRectKeyed, fast::blendRectKeyed}) {
        Image d = dst;
        job.dst = d.data.data();
        w(job);
        EXPECT_EQ(d.get(0, 0), 0x11223344u);
        EXPECT_EQ(d.get(1, 0), 0x00007F00u);
    }
}

TEST(BlendPlain, MaskPairsShortcutOnlyWhenTheirAlphasAgree)
{
    // Pairs: (255,255) copies, (0,0) skips, (255,0) blends each exactly, (128,128) takes the pair formula;
    // the odd last pixel at 255 is blended, not copied.
    const std::vector<std::uint8_t> map{255, 255, 0, 0, 255, 0, 128, 128, 255};
    Image src = row(2, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF});
    Image dst = row(2, {0, 0, 0x1234, 0x1234, 0, 0, 0, 0, 0});
    plain::blendMask(jobFor(kFormat555, src, dst, &map));
    EXPECT_EQ(pixelsOf(dst), (std::vector<std::uint32_t>{0xFFFF, 0xFFFF, 0x1234, 0x1234, 0x7BDE, 0, 0x3DEF, 0x3DEF, 0x7BDE}));
}

TEST(BlendPlain, MaskRowsStepByTheMapWidth)
{
    // A 2x2 rectangle out of a map four bytes wide: the second row reads the bytes below the first.
    const std::vector<std::uint8_t> map{255, 255, 9, 9, 0, 0, 9, 9};
    Image src(2, 2, 4), dst(2, 2, 4);
    std::fill(src.data.begin(), src.data.end(), 0xFF);
    for (Worker w : {plain::blendMask, fast::blendMask}) {
        std::fill(dst.data.begin(), dst.data.end(), 0);
        w(jobFor(kFormat32, src, dst, &map, 4));
        EXPECT_EQ(pixelsOf(dst), (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0, 0}));
    }
}

TEST(BlendPlain, ScaledMapNeverReachesFullAlpha)
{
    const std::vector<std::uint8_t> map{255};
    Image src = row(4, {0xFFFFFFFF}), dst = row(4, {0});
    BlendJob job = jobFor(kFormat32, src, dst, &map);
    job.alpha = 255;
    plain::blendMaskAlpha(job);
    EXPECT_EQ(dst.get(0, 0), 0x00FDFDFDu);  // blended at 254, not copied
}

TEST(BlendPlain, TintMovesTowardTheColour)
{
    // 5-6-5: equal scaled alphas take the pair formula, different ones the exact blend; 32-bit blends
    // every pixel and clears the top byte even where the alpha is 0.
    const std::vector<std::uint8_t> map{255, 255, 255, 0, 128};
    Image none(1, 1, 2);
    Image d16 = row(2, {0, 0, 0, 0, 0});
    BlendJob job = jobFor(kFormat565, none, d16, &map);
    job.src = nullptr;
    job.color = 0xFFFF;
    job.alpha = 255;
    plain::tint(job);
    EXPECT_EQ(pixelsOf(d16), (std::vector<std::uint32_t>{0xFFFF, 0xFFFF, 0xF7DE, 0, 0x7BEF}));

    Image d32 = row(4, {0xAA000000, 0xAA000000, 0xAA000000, 0xAA000000, 0xAA000000});
    job = jobFor(kFormat32, none, d32, &map);
    job.src = nullptr;
    job.color = 0x00FF8040;
    job.alpha = 255;
    plain::tint(job);
    EXPECT_EQ(pixelsOf(d32),
              (std::vector<std::uint32_t>{0x00FD7F3F, 0x00FD7F3F, 0x00FD7F3F, 0, 0x007E3F1F}));
}

TEST(BlendPlain, OtherSixteenBitLayoutsBlendTheirOwnChannels)
{
    // A 4-4-4 layout (red 0x0F00, green 0x00F0, blue 0x000F): the plain code blends in place; the
    // parallel code shifts each channel down first. Both give the exact blend for such narrow channels.
    const ChannelMasks m444{0x0F00, 0x00F0, 0x000F};
    Image src = row(2, {0x0FFF, 0x0F0F, 0x0123}), dst = row(2, {0x0000, 0x00F0, 0x0321});
    BlendJob job = jobFor(kFormatOther16, src, dst);
    job.srcMasks = job.dstMasks = m444;
    job.alpha = 128;
    const std::vector<std::uint32_t> expected{0x0777, 0x0777, 0x0222};
    for (Worker w : {plain::blendRect, fast::blendRect}) {
        Image d = dst;
        job.dst = d.data.data();
        w(job);
        EXPECT_EQ(pixelsOf(d), expected);
    }
}

TEST(BlendFast, LaneArithmeticWrapsForWideChannels)
{
    // A 10-bit channel overflows the 16-bit product: 1023 x 128 wraps to -128, so the lane yields
    // 0 + (-128 >> 8) = -1, that is 0xFFFF, where the exact blend is 511.
    EXPECT_EQ(mixLane16(1023, 0, 128), 0xFFFFu);
    EXPECT_EQ(mixLane16(31, 0, 128), 15u);
    EXPECT_EQ(mixLane16(0, 31, 128), 15u);
}

namespace {

// The parallel family's rules, pixel by pixel, built from the formulas tested above.
std::uint32_t modelMix(int code, std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    return code == kFormat32 ? mixPixel(kLayout888, s, d, a) : mixPixel(layout16(code), s, d, a);
}

void modelRect(int code, Image& src, Image& dst, std::uint32_t a, const std::uint32_t* key)
{
    for (int y = 0; y < dst.height; ++y)
        for (int x = 0; x < dst.width; ++x) {
            const std::uint32_t s = src.get(x, y), d = dst.get(x, y);
            if (key && (code == kFormat32 ? isKey32(s, *key) : isKey16(s, *key)))
                continue;
            const bool inGroup = code == kFormat32 && x < (dst.width & ~1);
            dst.set(x, y, inGroup ? mixMmx32(s, d, a) : modelMix(code, s, d, a));
        }
}

void modelMask(int code, Image& src, Image& dst, const std::vector<std::uint8_t>& map, int mapPitch)
{
    const int group = code == kFormat32 ? 2 : 4;
    for (int y = 0; y < dst.height; ++y) {
        const std::uint8_t* m = map.data() + y * mapPitch;
        int x = 0;
        for (; x + group <= dst.width; x += group) {
            bool none = true, all = true;
            for (int i = 0; i < group; ++i) {
                none = none && m[x + i] == 0;
                all = all && m[x + i] == 255;
            }
            for (int i = x; i < x + group; ++i)
                if (!none)
                    dst.set(i, y, all ? src.get(i, y) : modelMix(code, src.get(i, y), dst.get(i, y), m[i]));
        }
        for (; x < dst.width; ++x)
            if (m[x] != 0)
                dst.set(x, y, m[x] == 255 ? src.get(x, y) : modelMix(code, src.get(x, y), dst.get(x, y), m[x]));
    }
}

}  // namespace

TEST(BlendFast, MatchesItsPixelModelAtEveryWidth)
{
    std::mt19937 rng(7);
    auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
    for (int code : {kFormat555, kFormat565, kFormat32}) {
        const int bytes = code == kFormat32 ? 4 : 2;
        const std::uint32_t key = code == kFormat32 ? 0x00FF00FF : 0xF81F;
        for (int width = 1; width <= 21; ++width) {
            const int height = 3, mapPitch = width + 3;
            Image src(width, height, bytes), dst(width, height, bytes);
            for (auto& b : dst.data)
                b = byte();
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    src.set(x, y, rng() % 3 == 0 ? key | (rng() & 0xFF000000u) : static_cast<std::uint32_t>(rng()));
            // Map bytes in runs, so whole groups of 0 and of 255 occur next to mixed ones.
            std::vector<std::uint8_t> map(static_cast<std::size_t>(mapPitch * height));
            for (std::size_t i = 0; i < map.size(); i += 4) {
                const std::uint32_t kind = rng() % 4;
                for (std::size_t j = i; j < std::min(map.size(), i + 4); ++j)
                    map[j] = kind == 0 ? 0 : kind == 1 ? 255 : kind == 2 ? byte() : (rng() % 2 ? 255 : 0);
            }
            for (std::uint32_t alpha : {1u, 77u, 128u, 255u}) {
                Image want = dst, got = dst;
                BlendJob job = jobFor(code, src, got);
                job.alpha = alpha;
                job.colorKey = key;
                modelRect(code, src, want, alpha, nullptr);
                fast::blendRect(job);
                ASSERT_EQ(pixelsOf(got), pixelsOf(want)) << "rect code " << code << " width " << width << " alpha " << alpha;

                want = dst, got = dst;
                job.dst = got.data.data();
                modelRect(code, src, want, alpha, &key);
                fast::blendRectKeyed(job);
                ASSERT_EQ(pixelsOf(got), pixelsOf(want)) << "keyed code " << code << " width " << width << " alpha " << alpha;
            }
            Image want = dst, got = dst;
            modelMask(code, src, want, map, mapPitch);
            fast::blendMask(jobFor(code, src, got, &map, mapPitch));
            ASSERT_EQ(pixelsOf(got), pixelsOf(want)) << "mask code " << code << " width " << width;
        }
    }
}
