#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/source/PLMemorySource.h"
#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"

namespace {

using testsupport::Bytes;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string smallBmpFile()
{
    testsupport::BmpSpec spec;
    spec.bits = 24;
    spec.pixels = {1, 2, 3, 0};
    Bytes bytes = testsupport::makeBmp(spec);
    return std::string(bytes.begin(), bytes.end());
}

TEST(ImageDecoder, RecognisesFormatsByTheirFirstBytes)
{
    Bytes targa(18, 0);
    targa[2] = 2;
    targa[16] = 24;
    Bytes eps = bytesOf(std::string("\xC5\xD0\xD3\xC6", 4));
    eps.resize(28, 0);
    eps[20] = 1;
    eps[24] = 1;
    Bytes epsWithoutSections = eps;
    epsWithoutSections[24] = 0;
    struct Case {
        Bytes bytes;
        PLAutoDecoder::FileType type;
    } cases[] = {
        {bytesOf("BM"), PLAutoDecoder::Bitmap},
        {bytesOf("BA"), PLAutoDecoder::Bitmap},
        {bytesOf("IC"), PLAutoDecoder::Bitmap},
        {bytesOf("CP"), PLAutoDecoder::Bitmap},
        {bytesOf("CI"), PLAutoDecoder::Bitmap},
        {targa, PLAutoDecoder::Targa},
        {bytesOf("GIF89a"), PLAutoDecoder::Gif},
        {bytesOf(std::string("II\x2A\x00", 4)), PLAutoDecoder::Tiff},
        {bytesOf(std::string("MM\x00\x2A", 4)), PLAutoDecoder::Tiff},
        {bytesOf("\xFF\xD8\xFF\xE0"), PLAutoDecoder::Jpeg},
        {bytesOf("\x89PNG\r\n"), PLAutoDecoder::Png},
        {eps, PLAutoDecoder::Eps},
        {epsWithoutSections, PLAutoDecoder::Unknown},
        {bytesOf("\x0A\x05\x01\x08"), PLAutoDecoder::Pcx},
        {bytesOf("P5\n"), PLAutoDecoder::Pgm},
        {bytesOf("P2\n"), PLAutoDecoder::Pgm},
        {bytesOf("P6\n"), PLAutoDecoder::Ppm},
        {bytesOf("P3\n"), PLAutoDecoder::Ppm},
        {bytesOf("8BPS"), PLAutoDecoder::Psd},
        {bytesOf("hello, world"), PLAutoDecoder::Unknown},
        {Bytes(), PLAutoDecoder::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PLAutoDecoder::determineType(c.bytes.data(), static_cast<int>(c.bytes.size())), c.type)
            << std::string(c.bytes.begin(), c.bytes.end());
}

TEST(ImageDecoder, RefusesFormatsItDoesNotDecode)
{
    struct Case {
        Bytes bytes;
        int code;
        const char* text;
    } cases[] = {
        {bytesOf("GIF89a and the rest"), 6, "Library not compiled for this file type."},
        {bytesOf(std::string("II\x2A\x00 rest", 9)), 6, "Library not compiled for this file type."},
        {bytesOf("just some text\n"), 8, "Unknown file type."},
        {Bytes(), 8, "Unknown file type."},
    };
    for (const Case& c : cases) {
        PLAutoDecoder decoder;
        PLDibBitmap bmp;
        try {
            decoder.makeBmpFromMemory(c.bytes.data(), static_cast<int>(c.bytes.size()), bmp);
            ADD_FAILURE() << c.text;
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.getCode(), c.code);
            EXPECT_STREQ(e.getText(), c.text);
        }
    }
}

int openFailure(const std::string& fileName)
{
    PLAutoDecoder decoder;
    PLDibBitmap bmp;
    try {
        decoder.makeBmpFromFile(fileName.c_str(), bmp);
    } catch (const PLTextException& e) {
        EXPECT_EQ(std::string(e.getText()), "Opening " + fileName + " failed");
        return e.getCode();
    }
    return 0;
}

TEST(ImageDecoder, DecodesFilesAndReportsWhyOneCannotBeOpened)
{
    testsupport::TempDir dir(true);
    std::filesystem::create_directory("images");
    testsupport::writeFile("images/small.bmp", smallBmpFile());
    testsupport::writeFile("images/empty.bmp", "");

    PLAutoDecoder decoder;
    PLDibBitmap bmp;
    decoder.makeBmpFromFile("images\\small.bmp", bmp);
    EXPECT_EQ(bmp.getBitsPerPixel(), 32);
    EXPECT_EQ(bmp.getLineArray()[0][2], 3);

    EXPECT_EQ(openFailure("images\\missing.bmp"), 4);
    EXPECT_EQ(openFailure("nowhere\\missing.bmp"), 3);
    EXPECT_EQ(openFailure("images"), 4);
    EXPECT_EQ(openFailure("images\\empty.bmp"), 5);
    if (geteuid() != 0) {
        chmod("images/small.bmp", 0);
        EXPECT_EQ(openFailure("images\\small.bmp"), 5);
    }
}

TEST(ImageDecoder, AShortFileReadAfterALongerOneEndsWhereItsOwnBytesEnd)
{
    // Files are read into a block that is kept for the next file; a shorter file must not reach into
    // what the longer one left there.
    testsupport::TempDir dir(true);
    testsupport::BmpSpec spec;
    spec.width = 40;
    spec.height = 30;
    spec.bits = 24;
    spec.pixels.assign(static_cast<std::size_t>(40 * 3) * 30, 0x5A);
    Bytes whole = testsupport::makeBmp(spec);
    testsupport::writeFile("whole.bmp", std::string(whole.begin(), whole.end()));
    testsupport::writeFile("cut.bmp", std::string(whole.begin(), whole.begin() + 2000));

    PLAutoDecoder decoder;
    PLDibBitmap bmp;
    decoder.makeBmpFromFile("whole.bmp", bmp);
    EXPECT_EQ(bmp.getLineArray()[29][118], 0x5A);
    try {
        decoder.makeBmpFromFile("cut.bmp", bmp);
        ADD_FAILURE() << "the cut file decoded";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), PLTextException::EndOfFile);
    }
    decoder.makeBmpFromFile("whole.bmp", bmp);
    EXPECT_EQ(bmp.getLineArray()[0][0], 0x5A);
}

TEST(ImageDecoder, MemoryAndResourceSourcesThatCannotOpen)
{
    PLAutoDecoder decoder;
    PLDibBitmap bmp;
    std::uint8_t byte = 0;
    try {
        decoder.makeBmpFromMemory(&byte, -1, bmp);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 4);
        EXPECT_EQ(std::string(e.getText()).rfind("Reading from memory at ", 0), 0u);
    }
    try {
        decoder.makeBmpFromResource(nullptr, 17, bmp);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 4);
        EXPECT_STREQ(e.getText(), "Opening resource 17 failed");
    }
}

struct Progress : PLIProgressNotification {
    void onProgress(double fraction) override { fractions.push_back(fraction); }
    std::vector<double> fractions;
};

TEST(ImageDecoder, SourcesCheckEveryReadAndReportProgress)
{
    Bytes data(3000, 0);
    Progress progress;
    PLMemorySource source(&progress);
    ASSERT_EQ(source.open(data.data(), 3000), 0);
    EXPECT_STREQ(source.getName(), "Mem");
    source.read(1000);
    EXPECT_TRUE(progress.fractions.empty());
    const std::uint8_t* second = source.read(100);
    EXPECT_EQ(second, data.data() + 1000);
    source.read(1000);
    ASSERT_EQ(progress.fractions.size(), 2u); // passed 1024 and 2048
    EXPECT_DOUBLE_EQ(progress.fractions[0], 1100.0 / 3000.0);
    EXPECT_DOUBLE_EQ(progress.fractions[1], 2100.0 / 3000.0);
    try {
        source.read(901);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 11);
        EXPECT_STREQ(e.getText(), "End of file reached while decoding.\n");
    }
    EXPECT_EQ(source.getConsumed(), 2100);
    source.read(900);
    source.close();
    EXPECT_DOUBLE_EQ(progress.fractions.back(), 1.0);
}

TEST(ImageDecoder, TracesWhenATraceFileIsNamed)
{
    testsupport::TempDir dir;
    std::string traceFile = dir.file("trace.txt");
    PLTrace::configure(2, traceFile.c_str());
    std::string bmpFile = smallBmpFile();
    PLAutoDecoder decoder;
    PLDibBitmap bmp;
    decoder.makeBmpFromMemory(reinterpret_cast<const std::uint8_t*>(bmpFile.data()), static_cast<int>(bmpFile.size()),
                              bmp);
    try {
        decoder.makeBmpFromMemory(reinterpret_cast<const std::uint8_t*>("GIF89a"), 6, bmp);
    } catch (const PLTextException&) {
    }
    PLTrace::configure(0, nullptr);
    std::string trace = testsupport::readFile(traceFile);
    for (const char* text : {"Windows bitmap recognized.\n", "Bitmap file signature found\n", "Bitmap header is ok.\n",
                             "Decoding true-color bitmap.\n", "Decoding finished.\n",
                             "Decoder error: Library not compiled for this file type.\n"})
        EXPECT_NE(trace.find(text), std::string::npos) << text;

    // Nothing more is written once no file is named.
    decoder.makeBmpFromMemory(reinterpret_cast<const std::uint8_t*>(bmpFile.data()), static_cast<int>(bmpFile.size()),
                              bmp);
    EXPECT_EQ(testsupport::readFile(traceFile), trace);
}

} // namespace
