#include "platform/font/FontTestSupport.h"

#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/surface/Blit.h"
#include "platform/surface/DisplayDepth.h"
#include "platform/surface/FrameCounter.h"
#include "platform/surface/ImageLoader.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/containers/Buffer.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A 5 x 3 interlaced grey picture whose levels rise by 17 from 0: every level is its own byte.
testsupport::PngSpec interlacedGreyRamp()
{
    testsupport::PngSpec grey;
    grey.width = 5;
    grey.height = 3;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.interlaced = true;
    for (int i = 0; i < 15; ++i)
        grey.rows.push_back(static_cast<std::uint8_t>(i * 17));
    return grey;
}

// A 3 x 2 picture of three palette entries, each used at least once.
testsupport::PngSpec palettedThreeByTwo()
{
    testsupport::PngSpec paletted;
    paletted.width = 3;
    paletted.height = 2;
    paletted.colourType = PNG_COLOR_TYPE_PALETTE;
    paletted.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    paletted.rows = {2, 0, 1, 1, 1, 2};
    return paletted;
}

// A 24-bit Windows bitmap file of top-down 0xRRGGBB pixels.
std::string bmp24(int width, int height, const std::vector<std::uint32_t>& pixels)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::string file(54 + static_cast<std::size_t>(rowBytes) * height, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
            std::size_t at = 54 + static_cast<std::size_t>(height - 1 - y) * rowBytes + 3 * x;
            file[at] = static_cast<char>(p);
            file[at + 1] = static_cast<char>(p >> 8);
            file[at + 2] = static_cast<char>(p >> 16);
        }
    return file;
}

// Holds one file; remembers the names it was asked for.
class OneFileArchive : public Archive {
public:
    OneFileArchive(std::string name, std::string bytes) : name(std::move(name)), bytes(std::move(bytes)) {}
    bool holdsFile(const std::string& asked) override
    {
        askedFor.push_back(asked);
        return asked == name;
    }
    bool openFile(const std::string& asked) override { return asked == name; }
    bool readWhole(Buffer& buffer) override
    {
        buffer.allocate(static_cast<unsigned>(bytes.size()));
        std::memcpy(buffer.data, bytes.data(), bytes.size());
        return true;
    }
    std::string name;
    std::string bytes;
    std::vector<std::string> askedFor;
};

struct CountingRestorable : Restorable {
    void restoreLost() override { ++restores; }
    int restores = 0;
};

const std::vector<std::uint32_t> picturePixels = {0x102030, 0x405060, 0x708090, 0xF8FC00, 0x000080, 0xFFFFFF};

class Holder : public FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        frame::set(1);
        path = dir.file("picture.bmp");
        testsupport::writeFile(path, bmp24(3, 2, picturePixels));
    }
    void TearDown() override
    {
        setDisplayDepthCheck(nullptr);
        FontTest::TearDown();
    }

    static SurfaceDesc desc565(std::uint32_t memoryType = SurfaceDesc::SystemMemory)
    {
        SurfaceDesc desc = describe(0, 0, 16, 0xF800, 0x07E0, 0x001F);
        desc.memoryType = memoryType;
        return desc;
    }

    // A loaded holder drawn in the display's format, in video memory.
    SurfaceHolder* loaded()
    {
        auto* holder = keep(new SurfaceHolder);
        SurfaceDesc desc;
        desc.memoryType = SurfaceDesc::VideoMemory;
        EXPECT_EQ(holder->loadFromFile(dd, path, desc), S_OK);
        return holder;
    }

    testsupport::TempDir dir;
    std::string path;
};

std::uint32_t pack565(std::uint32_t rgb)
{
    return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}

TEST_F(Holder, LoadKeepsAnA8R8G8B8SourceAndDrawsInTheAskedFormat)
{
    auto* holder = keep(new SurfaceHolder);
    ASSERT_EQ(holder->loadFromFile(dd, path, desc565()), S_OK);
    Surface* source = holder->getSource();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->getDesc().format.alphaMask, 0xFF000000u);
    EXPECT_EQ(source->getDesc().width, 3u);
    EXPECT_EQ(peek(source, 2, 1), 0xFFFFFFFFu);

    Surface* surface = holder->getSurface();
    EXPECT_EQ(surface->getDesc().format.bitsPerPixel, 16u);
    EXPECT_EQ(surface->getDesc().height, 2u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(peek(surface, i % 3, i / 3), pack565(picturePixels[static_cast<std::size_t>(i)])) << i;

    // In the 32-bit display format the colour is kept and the unused fourth byte is 0.
    ASSERT_EQ(holder->buildFromSource(dd, SurfaceDesc()), S_OK);
    EXPECT_EQ(holder->getSurface()->getDesc().format.alphaMask, 0u);
    EXPECT_EQ(peek(holder->getSurface(), 1, 0), picturePixels[1]);
}

TEST_F(Holder, ArchiveIsAskedFirstWithForwardSlashes)
{
    // The archive's copy differs from the file on disk, so the result shows where the bytes came from.
    OneFileArchive archive("pics/picture.bmp", bmp24(1, 1, {0x0000FF}));
    SurfaceDesc desc = sourceImageDesc();
    std::unique_ptr<Surface> fromArchive(loadImageFromArchiveOrFile(dd, &archive, "pics\\picture.bmp", desc));
    ASSERT_NE(fromArchive, nullptr);
    EXPECT_EQ(archive.askedFor, std::vector<std::string>{"pics/picture.bmp"});
    EXPECT_EQ(desc.width, 1u) << "the description takes the picture's size";

    std::unique_ptr<MemorySurface> mask(loadSurfaceFromArchiveOrFile(dd, &archive, path));
    ASSERT_NE(mask, nullptr) << "not in the archive: from disk";
    const auto* bytes = static_cast<const std::uint8_t*>(mask->pixels());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bytes[i], picturePixels[static_cast<std::size_t>(i)] & 0xFF) << "a mask byte is the blue channel";
}

void fill(Buffer& buffer, const std::string& bytes)
{
    buffer.allocate(static_cast<unsigned>(bytes.size()));
    std::memcpy(buffer.data, bytes.data(), bytes.size());
}

TEST_F(Holder, MaskBytesAreTheBlueThePictureHasOnAnA8R8G8B8Surface)
{
    // Eight-bit pictures are mapped through their palette straight into the mask; every kind of file
    // must give the blue channel of the same picture decoded onto an A8R8G8B8 surface.
    auto bytesOf = [](const testsupport::Bytes& b) { return std::string(b.begin(), b.end()); };
    const testsupport::PngSpec grey = interlacedGreyRamp();
    testsupport::PngSpec twoBit = grey;
    twoBit.width = 4;
    twoBit.height = 1;
    twoBit.bitDepth = 2;
    twoBit.interlaced = false;
    twoBit.rows = {0x1B}; // levels 0, 1, 2, 3
    testsupport::PngSpec palettedPng;
    palettedPng.width = 3;
    palettedPng.colourType = PNG_COLOR_TYPE_PALETTE;
    palettedPng.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    palettedPng.rows = {2, 0, 1};
    testsupport::BmpSpec fewColours; // indices past the colours used
    fewColours.width = 3;
    fewColours.height = 2;
    fewColours.coloursUsed = 2;
    fewColours.palette = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    fewColours.pixels = {0, 1, 7, 0, 1, 200, 0, 0};
    testsupport::BmpSpec shortRle = fewColours; // ends after the bottom row: the rows above hold index 0
    shortRle.compression = 1;
    shortRle.pixels = {3, 1, 0, 1};
    testsupport::Bytes rgb = testsupport::naturalRgb(4, 3, 7);
    testsupport::Bytes greyLevels(12);
    for (std::size_t i = 0; i < greyLevels.size(); ++i)
        greyLevels[i] = static_cast<std::uint8_t>(i * 20);

    struct Case {
        const char* name;
        std::string file;
        std::vector<std::uint8_t> topRow; // when given, what the top row must hold
    } cases[] = {
        {"grey png, interlaced", bytesOf(testsupport::encodePng(grey)), {0, 17, 34, 51, 68}},
        {"grey png of depth 2", bytesOf(testsupport::encodePng(twoBit)), {0, 85, 170, 255}},
        {"paletted png", bytesOf(testsupport::encodePng(palettedPng)), {90, 30, 60}},
        {"8-bit bmp", bytesOf(testsupport::makeBmp(fewColours)), {0x44, 200, 0x11}},
        {"rle8 bmp ending early", bytesOf(testsupport::makeBmp(shortRle)), {0x11, 0x11, 0x11}},
        {"24-bit bmp", bmp24(3, 2, picturePixels), {0x30, 0x60, 0x90}},
        {"rgb png", bytesOf(testsupport::encodePng([&] {
             testsupport::PngSpec spec;
             spec.width = 4;
             spec.height = 3;
             spec.rows = rgb;
             return spec;
         }())),
         {}},
        {"grey jpeg", bytesOf(testsupport::encodeJpeg(4, 3, 1, greyLevels)), {}},
        {"rgb jpeg", bytesOf(testsupport::encodeJpeg(4, 3, 3, rgb)), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buffer;
        fill(buffer, c.file);
        SurfaceDesc desc = sourceImageDesc();
        std::unique_ptr<DirectDrawSurface> picture(decodeImageFromMemory(dd, buffer, desc));
        std::unique_ptr<MemorySurface> mask(decodeMaskFromMemory(dd, buffer));
        ASSERT_NE(picture, nullptr);
        ASSERT_NE(mask, nullptr);
        const std::uint32_t width = picture->getDesc().width, height = picture->getDesc().height;
        ASSERT_EQ(mask->getDesc().width, width);
        ASSERT_EQ(mask->getDesc().height, height);
        EXPECT_EQ(mask->getDesc().pitch, static_cast<std::int32_t>(width));
        const auto* bytes = static_cast<const std::uint8_t*>(mask->pixels());
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x)
                EXPECT_EQ(bytes[y * width + x], peek(picture.get(), static_cast<int>(x), static_cast<int>(y)) & 0xFF)
                    << x << "," << y;
        for (std::size_t x = 0; x < c.topRow.size(); ++x)
            EXPECT_EQ(bytes[x], c.topRow[x]) << x;
    }

    Buffer broken;
    fill(broken, bytesOf(testsupport::encodePng(grey)).substr(0, 60));
    EXPECT_EQ(decodeMaskFromMemory(dd, broken), nullptr);
}

TEST_F(Holder, PicturesLandAlikeWhateverPathTheirDepthAndTargetTake)
{
    // True-colour pictures decode straight into 32-bit surfaces of the DIB's channel order; palettes and
    // other targets go through a device context. Every path must give what drawing the DIB gives.
    testsupport::BmpSpec paletted;
    paletted.width = 2;
    paletted.height = 1;
    paletted.bits = 8;
    paletted.coloursUsed = 2;
    paletted.palette = {0x30, 0x20, 0x10, 0x60, 0x50, 0x40};
    paletted.pixels = {1, 0, 0, 0};
    testsupport::Bytes palettedFile = testsupport::makeBmp(paletted);
    testsupport::PngSpec translucent;
    translucent.width = 2;
    translucent.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    translucent.rows = {0x10, 0x20, 0x30, 0x80, 0x40, 0x50, 0x60, 0x00};
    testsupport::Bytes pngFile = testsupport::encodePng(translucent);

    testsupport::PngSpec twoBitGrey;
    twoBitGrey.width = 4;
    twoBitGrey.colourType = PNG_COLOR_TYPE_GRAY;
    twoBitGrey.bitDepth = 2;
    twoBitGrey.rows = {0x1B}; // levels 0, 1, 2, 3
    testsupport::Bytes greyFile = testsupport::encodePng(twoBitGrey);
    const testsupport::PngSpec palettedPng = palettedThreeByTwo();
    testsupport::Bytes palettedPngFile = testsupport::encodePng(palettedPng);
    testsupport::BmpSpec shortRle = paletted; // ends after the bottom row: the top row holds index 0
    shortRle.height = 2;
    shortRle.compression = 1;
    shortRle.pixels = {2, 1, 0, 1};
    testsupport::Bytes shortRleFile = testsupport::makeBmp(shortRle);

    const std::string rgbFile = bmp24(3, 2, picturePixels);
    struct Case {
        const char* name;
        std::string file;
        SurfaceDesc desc;
        std::vector<std::uint32_t> pixels; // the top row
    } cases[] = {
        {"24 bits into A8R8G8B8", rgbFile, sourceImageDesc(), {0xFF102030, 0xFF405060, 0xFF708090}},
        {"24 bits into X8R8G8B8", rgbFile, describe(0, 0, 32, 0xFF0000, 0xFF00, 0xFF), {0xFF102030, 0xFF405060, 0xFF708090}},
        {"24 bits into 5-6-5", rgbFile, desc565(), {pack565(0x102030), pack565(0x405060), pack565(0x708090)}},
        {"8 bits into A8R8G8B8", std::string(palettedFile.begin(), palettedFile.end()), sourceImageDesc(),
         {0xFF405060, 0xFF102030}},
        {"grey levels into X8R8G8B8", std::string(greyFile.begin(), greyFile.end()),
         describe(0, 0, 32, 0xFF0000, 0xFF00, 0xFF), {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
        {"odd-width palette into A8R8G8B8", std::string(palettedPngFile.begin(), palettedPngFile.end()),
         sourceImageDesc(), {0xFF46505A, 0xFF0A141E, 0xFF28323C}},
        {"odd-width palette into 5-6-5", std::string(palettedPngFile.begin(), palettedPngFile.end()), desc565(),
         {pack565(0x46505A), pack565(0x0A141E), pack565(0x28323C)}},
        {"short run-length picture into A8R8G8B8", std::string(shortRleFile.begin(), shortRleFile.end()),
         sourceImageDesc(), {0xFF102030, 0xFF102030}},
        {"alpha into A8R8G8B8", std::string(pngFile.begin(), pngFile.end()), sourceImageDesc(),
         {0x80102030, 0x00405060}},
        {"alpha into B8G8R8 order", std::string(pngFile.begin(), pngFile.end()),
         describe(0, 0, 32, 0xFF, 0xFF00, 0xFF0000), {0x00302010, 0x00605040}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buffer;
        fill(buffer, c.file);
        std::unique_ptr<DirectDrawSurface> surface(decodeImageFromMemory(dd, buffer, c.desc));
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(c.desc.width, static_cast<std::uint32_t>(c.pixels.size()));
        EXPECT_EQ(surface->getDesc().width, c.desc.width);
        for (std::size_t x = 0; x < c.pixels.size(); ++x)
            EXPECT_EQ(peek(surface.get(), static_cast<int>(x), 0), c.pixels[x]) << x;
    }
}

TEST_F(Holder, OnA32BitDisplayAPictureIsDecodedIntoItsSurfaceAsTheConvertingCopyDrawsIt)
{
    // Loaded in the display's format, a picture goes straight into its surface; it must hold what
    // decoding into an A8R8G8B8 source and converting that gives, and come back the same from its file
    // after a lost display.
    testsupport::PngSpec translucent;
    translucent.width = 2;
    translucent.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    translucent.rows = {0x10, 0x20, 0x30, 0x80, 0x40, 0x50, 0x60, 0x00};
    const testsupport::PngSpec palettedPng = palettedThreeByTwo();
    const testsupport::PngSpec grey = interlacedGreyRamp();
    testsupport::BmpSpec shortRle; // ends after the bottom row: the top row holds index 0
    shortRle.width = 2;
    shortRle.height = 2;
    shortRle.bits = 8;
    shortRle.coloursUsed = 2;
    shortRle.palette = {0x30, 0x20, 0x10, 0x60, 0x50, 0x40};
    shortRle.compression = 1;
    shortRle.pixels = {2, 1, 0, 1};
    const std::pair<const char*, testsupport::Bytes> files[] = {
        {"translucent.png", testsupport::encodePng(translucent)},
        {"paletted.png", testsupport::encodePng(palettedPng)},
        {"grey.png", testsupport::encodePng(grey)},
        {"short.bmp", testsupport::makeBmp(shortRle)},
        {"rgb.jpg", testsupport::encodeJpeg(4, 3, 3, testsupport::naturalRgb(4, 3, 7))},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string file = dir.file(name);
        testsupport::writeFile(file, std::string(bytes.begin(), bytes.end()));
        SurfaceDesc desc;
        desc.memoryType = SurfaceDesc::VideoMemory;
        auto* direct = keep(new SurfaceHolder);
        ASSERT_EQ(direct->loadFromFile(dd, file, desc), S_OK);
        auto* converted = keep(new SurfaceHolder);
        SurfaceDesc sourceDesc = sourceImageDesc();
        converted->setSource(decodeImageFromFile(dd, file, sourceDesc));
        ASSERT_EQ(converted->buildFromSource(dd, desc), S_OK);

        Surface* surface = direct->getSurface();
        const int width = static_cast<int>(sourceDesc.width), height = static_cast<int>(sourceDesc.height);
        ASSERT_EQ(surface->getDesc().width, sourceDesc.width);
        ASSERT_EQ(surface->getDesc().height, sourceDesc.height);
        EXPECT_EQ(surface->getDesc().format.alphaMask, 0u);
        EXPECT_EQ(direct->getSource()->getDesc().width, sourceDesc.width) << "the source knows its size undecoded";
        EXPECT_EQ(direct->getSource()->getDesc().format.alphaMask, 0xFF000000u);
        auto expectSame = [&](const char* when) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(peek(direct->getSurface(), x, y), peek(converted->getSurface(), x, y))
                        << when << " at " << x << "," << y;
        };
        expectSame("loaded");

        compat::testing::loseAllSurfaces();
        direct->restoreLost();
        converted->restoreLost();
        expectSame("after a lost display");
    }
}

TEST_F(Holder, RefusedSurfaceDuringADecodeGivesNoPicture)
{
    Buffer buffer;
    fill(buffer, bmp24(3, 2, picturePixels));
    for (SurfaceDesc desc : {sourceImageDesc(), desc565()}) {
        compat::testing::failNextCreateSurface(DDERR_UNSUPPORTED);
        EXPECT_EQ(decodeImageFromMemory(dd, buffer, desc), nullptr);
        std::unique_ptr<DirectDrawSurface> again(decodeImageFromMemory(dd, buffer, desc));
        ASSERT_NE(again, nullptr) << "only the one creation failed";
        EXPECT_EQ(peek(again.get(), 2, 1), desc.format.bitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFFFu);
    }
}

TEST_F(Holder, UndecodableFileLeavesNoSourceAndIsLogged)
{
    testsupport::writeFile(dir.file("text.bmp"), "not a picture at all");
    auto* holder = keep(new SurfaceHolder);
    EXPECT_EQ(holder->loadFromFile(dd, dir.file("text.bmp"), desc565()), E_FAIL);
    EXPECT_EQ(holder->loadFromArchiveOrFile(dd, nullptr, dir.file("missing.png"), desc565()), E_FAIL);
    EXPECT_EQ(holder->getSource(), nullptr);
    EXPECT_NE(DebugLog::instance().getText().find("Unknown file type."), std::string::npos);
    EXPECT_EQ(loadSurfaceFromArchiveOrFile(dd, nullptr, dir.file("missing.png")), nullptr);
}

TEST_F(Holder, StartUpPictureIsDecodedIntoABitmapOrThrows)
{
    PLDibBitmap bitmap;
    loadDibFromArchiveOrFile(nullptr, path, bitmap);
    EXPECT_EQ(bitmap.getWidth(), 3);
    EXPECT_EQ(bitmap.getHeight(), 2);
    try {
        loadDibFromArchiveOrFile(nullptr, dir.file("missing.jpg"), bitmap);
        FAIL() << "no exception";
    } catch (const GameTextException& e) {
        EXPECT_EQ(e.getCode(), 0);
        EXPECT_NE(std::string(e.getText()).find("missing.jpg"), std::string::npos) << e.getText();
    }
}

TEST_F(Holder, CheckerMaskAlternatesEightPixelSquares)
{
    auto* holder = keep(new SurfaceHolder);
    holder->setSurface(make32(16, 9));
    EXPECT_EQ(holder->makeCheckerMask(), S_OK);
    const auto* bytes = static_cast<const std::uint8_t*>(holder->getMask()->pixels());
    EXPECT_EQ(bytes[0], 0x80);
    EXPECT_EQ(bytes[8], 0x40);
    EXPECT_EQ(bytes[16 * 8], 0x40);
    EXPECT_EQ(bytes[16 * 8 + 15], 0x80);

    auto* empty = keep(new SurfaceHolder);
    empty->makeCheckerMask();
    EXPECT_EQ(empty->getMask()->getDesc().width, 0u);
}

TEST_F(Holder, RefusedSurfaceIsReportedAndCannotBeFilled)
{
    auto* holder = keep(new SurfaceHolder);
    ASSERT_EQ(holder->loadFromFile(dd, path, desc565()), S_OK);
    compat::testing::failNextCreateSurface(DDERR_UNSUPPORTED);
    EXPECT_EQ(holder->createSurface(dd, describe(3, 2, 16, 0xF800, 0x07E0, 0x001F)), DDERR_UNSUPPORTED);
    EXPECT_EQ(holder->copySourceToSurface(), E_FAIL);

    compat::testing::failNextCreateSurface(DDERR_UNSUPPORTED);
    EXPECT_EQ(holder->buildFromSource(dd, desc565()), DDERR_UNSUPPORTED);
    EXPECT_EQ(holder->recreate(), E_FAIL);

    auto* sourceless = keep(new SurfaceHolder);
    EXPECT_EQ(sourceless->buildFromSource(dd, desc565()), E_FAIL);
}

TEST_F(Holder, FailedBlitRestoresTheHolderOncePerFrame)
{
    SurfaceHolder* holder = loaded();
    DirectDrawSurface* dest = make32(3, 2);
    CountingRestorable restorer;

    compat::testing::loseAllSurfaces();
    EXPECT_EQ(blitSurface(holder, 0, 0, 3, 2, dest, 0, 0, &restorer), DDERR_SURFACELOST);
    EXPECT_EQ(lastDrawError(), DDERR_SURFACELOST);
    EXPECT_EQ(blitSurface(holder, 0, 0, 3, 2, dest, 0, 0, &restorer), DDERR_SURFACELOST)
        << "the restorer did not repair the holder";
    EXPECT_EQ(restorer.restores, 1);
    frame::advance();
    blitSurface(holder, 0, 0, 3, 2, dest, 0, 0, &restorer);
    EXPECT_EQ(restorer.restores, 2);

    // Without a restorer the holder repairs itself: rebuilt, its source copied in, drawn next time.
    frame::advance();
    blitSurface(holder, 0, 0, 3, 2, dest, 0, 0, nullptr);
    EXPECT_EQ(blitSurface(holder, 0, 0, 3, 2, dest, 0, 0, nullptr), S_OK);
    EXPECT_EQ(peek(dest, 1, 0) & 0xFFFFFF, picturePixels[1]);
}

TEST_F(Holder, NothingIsRestoredWhileTheDisplayDepthDiffers)
{
    SurfaceHolder* holder = loaded();
    DirectDrawSurface* dest = make32(3, 2);
    CountingRestorable restorer;
    setDisplayDepthCheck([] { return true; });
    compat::testing::loseAllSurfaces();
    frame::advance();
    EXPECT_EQ(blitSurface(holder, 0, 0, 3, 2, dest, 0, 0, &restorer), DDERR_SURFACELOST);
    EXPECT_EQ(restorer.restores, 0);
    EXPECT_EQ(hasDrawError(), 1u);
    EXPECT_EQ(dest->getInterface()->IsLost(), DDERR_SURFACELOST);
}

TEST_F(Holder, BlitOptionsChooseTheDrawingRoutine)
{
    struct Case {
        std::uint32_t flags;
        std::uint8_t alpha;
        bool withMask;
        bool drawn;
    };
    const Case cases[] = {
        {0, 0, true, true},                                                   // plain
        {BlitOptions::BlendAlpha, 0, false, false},                           // constant alpha 0
        {BlitOptions::BlendMask, 0, true, false},                             // mask bytes 0
        {BlitOptions::BlendMask | BlitOptions::BlendAlpha, 255, true, false}, // mask 0 scales to 0
        {BlitOptions::BlendMask, 0, false, true},                             // no mask: plain
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        auto* holder = keep(new SurfaceHolder);
        DirectDrawSurface* image = make32(2, 1);
        poke(image, 0, 0, 0x00FFFFFF);
        holder->setSurface(image);
        if (c.withMask) {
            MemorySurface* map = makeMap(2, 1);
            std::memset(map->pixels(), 0, 2);
            holder->setMask(map);
        }
        holder->getOptions()->flags = c.flags;
        holder->getOptions()->alpha = c.alpha;
        DirectDrawSurface* dest = make32(2, 1);
        dest->fill(0);
        EXPECT_EQ(blitSurface(holder, 0, 0, 2, 1, dest, 0, 0, nullptr), S_OK);
        EXPECT_EQ(peek(dest, 0, 0) & 0xFFFFFF, c.drawn ? 0xFFFFFFu : 0u);
    }
}

TEST_F(Holder, ClippedBlitDrawsOnlyInsideTheClipRectangle)
{
    auto* source = keep(new SurfaceHolder);
    DirectDrawSurface* image = make32(4, 1);
    for (int x = 0; x < 4; ++x)
        poke(image, x, 0, static_cast<std::uint32_t>(x + 1));
    source->setSurface(image);
    auto* target = keep(new SurfaceHolder);
    DirectDrawSurface* dest = make32(8, 1);
    dest->fill(0);
    target->setSurface(dest);

    // Starts two pixels left of the clip rectangle: the source moves right by two as well.
    blitSurfaceClipped(source, 0, 0, 4, 1, target, 0, 0, 2, 0, 4, 1, nullptr);
    // Touches the clip rectangle only along its right edge: nothing.
    blitSurfaceClipped(source, 0, 0, 2, 1, target, 6, 0, 2, 0, 4, 1, nullptr);
    const std::uint32_t expected[] = {0, 0, 3, 4, 0, 0, 0, 0};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(peek(dest, x, 0) & 0xFFFFFF, expected[x]) << x;
}

} // namespace
