#include "platform/image/decode/PLBmpReader.h"

#include "compat/win32/gdi/gdi.h"
#include "platform/image/bitmap/PLBitmap.h"
#include "platform/image/source/PLSource.h"
#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"

namespace {

constexpr int fileHeaderBytes = 14;
constexpr int coreHeaderBytes = 12;
constexpr int infoHeaderBytes = 40;

std::uint16_t read16(PLSource& source)
{
    const std::uint8_t* p = source.read(2);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t read32(PLSource& source)
{
    const std::uint8_t* p = source.read(4);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t readSigned32(PLSource& source)
{
    return static_cast<std::int32_t>(read32(source));
}

// Skips bytes the decoder does not need; running past the end is end of data like any read.
void skip(PLSource& source, std::int64_t bytes)
{
    if (bytes > source.getRemaining())
        PLTrace::raise(PLTextException::EndOfFile, "End of file reached while decoding.\n");
    source.read(static_cast<int>(bytes));
}

bool isBitmapSignature(std::uint16_t word)
{
    return word == 0x4142 || word == 0x4D42 || word == 0x4349 || word == 0x5043 || word == 0x4943;
}

[[noreturn]] void formatError(const char* text)
{
    PLTrace::raise(PLTextException::FormatError, text);
}

// Pixel p (0-based) of a run whose pixels alternate the high and low nibble of its bytes.
std::uint8_t nibble(const std::uint8_t* bytes, int p)
{
    std::uint8_t byte = bytes[p >> 1];
    return static_cast<std::uint8_t>((p & 1) ? (byte & 0x0F) : (byte >> 4));
}

void storeTrueColour(std::uint8_t* out, std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha)
{
    out[0] = blue;
    out[1] = green;
    out[2] = red;
    out[3] = alpha;
}

} // namespace

void PLBmpReader::decode(PLBitmap& bmp, PLSource& source)
{
    Header header;
    readHeader(source, header);

    bool trueColour = header.bits > 8;
    int width = static_cast<int>(header.width);
    int height = static_cast<int>(header.height);
    bool runLength = (header.bits == 4 || header.bits == 8) && header.compression != BI_RGB;
    // Run-length data may end before the last line or leave pixels out; uncompressed rows cover all.
    if (runLength)
        bmp.create(width, height, trueColour ? 32 : 8, header.bits == 32);
    else
        bmp.createToFill(width, height, trueColour ? 32 : 8, header.bits == 32);
    LineLock lock(bmp);
    for (int i = 0; i < header.paletteEntries; ++i)
        bmp.getPalette()[i] = header.palette[i];

    if (runLength)
        decodeRunLength(source, header, bmp);
    else
        decodeUncompressed(source, header, bmp);

    bmp.setResolution(resolution(header.xPelsPerMeter), resolution(header.yPelsPerMeter));
    PLTrace::trace(2, "Decoding finished.\n");
}

void PLBmpReader::readHeader(PLSource& source, Header& header)
{
    // A bitmap array holds its first bitmap after one or more 14-byte array headers.
    std::int64_t arrayOffset = 0;
    std::uint16_t signature = read16(source);
    while (signature == 0x4142) {
        source.read(12);
        arrayOffset += fileHeaderBytes;
        signature = read16(source);
    }
    if (!isBitmapSignature(signature))
        PLTrace::raise(PLTextException::NotABitmap, "Bitmap decoder: This isn't a bitmap.");
    PLTrace::trace(2, "Bitmap file signature found\n");
    read32(source); // file size
    read32(source); // two reserved words
    std::uint32_t dataOffset = read32(source);

    std::uint32_t headerSize = read32(source);
    bool core = headerSize == coreHeaderBytes;
    std::uint32_t coloursUsed = 0;
    if (core) {
        header.width = read16(source);
        header.height = read16(source);
        read16(source); // planes
        header.bits = read16(source);
    } else if (headerSize >= infoHeaderBytes) {
        header.width = readSigned32(source);
        header.height = readSigned32(source);
        read16(source); // planes
        header.bits = read16(source);
        header.compression = read32(source);
        read32(source); // image size
        header.xPelsPerMeter = readSigned32(source);
        header.yPelsPerMeter = readSigned32(source);
        coloursUsed = read32(source);
        read32(source); // colours important
    } else {
        formatError("Decoding bmp: Illegal header size.");
    }
    if (header.bits != 1 && header.bits != 4 && header.bits != 8 && header.bits != 15 && header.bits != 16 &&
        header.bits != 24 && header.bits != 32)
        formatError("Decoding bmp: Illegal bpp value.");
    // Top-down bitmaps (negative heights) are not decoded.
    if (!isAcceptableSize(header.width, header.height))
        formatError("Decoding bmp: Illegal image size.");

    std::uint32_t entries = header.bits <= 8 ? (1u << header.bits) : 0;
    if (core) {
        readPalette(source, header, entries, 3);
        // The core header honours the data offset: skip what lies between the palette and the pixels.
        std::int64_t gap = std::int64_t(dataOffset) - 3 * std::int64_t(entries) - arrayOffset - 26;
        if (gap < 0)
            formatError("Decoding bmp: Illegal data offset.");
        skip(source, gap);
    } else {
        std::int64_t rest = std::int64_t(headerSize) - infoHeaderBytes;
        // Later header versions carry the channel masks inside the header, the 40-byte one after it.
        bool hasMasks = header.compression != BI_RGB &&
                        (header.bits == 15 || header.bits == 16 ||
                         (header.bits == 32 && header.compression == BI_BITFIELDS));
        if (hasMasks) {
            read32(source); // red
            header.greenMask = read32(source);
            read32(source); // blue
            rest -= 12;
        }
        if (rest > 0)
            skip(source, rest);
        if (coloursUsed != 0 && entries != 0)
            entries = coloursUsed;
        readPalette(source, header, entries, 4);
        // Pixels need not follow the palette: a colour table of a true-colour file, or a gap, may lie
        // between. An offset past what was read and inside the file is where the pixels start; any
        // other offset is not trusted and the pixels are taken to follow the palette.
        std::int64_t gap = std::int64_t(dataOffset) - source.getConsumed();
        if (gap > 0 && gap <= source.getRemaining())
            skip(source, gap);
    }
    PLTrace::trace(2, "Bitmap header is ok.\n");
}

void PLBmpReader::readPalette(PLSource& source, Header& header, std::uint32_t entries, int entryBytes)
{
    if (entries == 0)
        return;
    PLTrace::trace(2, "Reading palette.\n");
    // The bitmap keeps at most 256 colours; further entries in the file are passed over.
    std::uint32_t kept = entries > 256 ? 256 : entries;
    for (std::uint32_t i = 0; i < kept; ++i) {
        const std::uint8_t* p = source.read(entryBytes);
        header.palette[i] = {p[0], p[1], p[2], 255};
    }
    skip(source, std::int64_t(entries - kept) * entryBytes);
    header.paletteEntries = static_cast<int>(kept);
}

void PLBmpReader::decodeUncompressed(PLSource& source, const Header& header, PLBitmap& bmp)
{
    int width = bmp.getWidth();
    int height = bmp.getHeight();
    int bits = header.bits;
    switch (bits) {
    case 1:
        PLTrace::trace(2, "Decoding 1 bit per pixel bitmap.\n");
        break;
    case 4:
        PLTrace::trace(2, "Decoding uncompressed 4 bit per pixel bitmap.\n");
        break;
    case 8:
        PLTrace::trace(2, "Decoding uncompressed 8 bit per pixel bitmap.\n");
        break;
    default:
        PLTrace::trace(2, "Decoding true-color bitmap.\n");
        break;
    }
    // 15-bit pixels are stored in 16 bits like 16-bit ones.
    int storedBits = bits == 15 ? 16 : bits;
    int rowBytes = (width * storedBits + 31) / 32 * 4;
    // A file too short for its rows fails before anything is decoded.
    if (std::int64_t(rowBytes) * height > source.getRemaining())
        PLTrace::raise(PLTextException::EndOfFile, "End of file reached while decoding.\n");
    bool fiveSixFive = (bits == 15 || bits == 16) && header.compression != BI_RGB && header.greenMask != 0x3E0;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = source.read(rowBytes);
        std::uint8_t* out = bmp.getLineArray()[height - 1 - row];
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1:
                out[x] = static_cast<std::uint8_t>((in[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                out[x] = nibble(in, x);
                break;
            case 8:
                out[x] = in[x];
                break;
            case 15:
            case 16: {
                unsigned v = in[2 * x] | (in[2 * x + 1] << 8);
                auto blue = static_cast<std::uint8_t>((v << 3) & 0xF8);
                auto green = static_cast<std::uint8_t>(fiveSixFive ? (v >> 3) & 0xF8 : (v >> 2) & 0xF8);
                auto red = static_cast<std::uint8_t>(fiveSixFive ? (v >> 8) & 0xF8 : (v >> 7) & 0xF8);
                storeTrueColour(out + 4 * x, blue, green, red, 255);
                break;
            }
            case 24:
                storeTrueColour(out + 4 * x, in[3 * x], in[3 * x + 1], in[3 * x + 2], 255);
                break;
            default:
                storeTrueColour(out + 4 * x, in[4 * x], in[4 * x + 1], in[4 * x + 2], in[4 * x + 3]);
                break;
            }
        }
    }
}

void PLBmpReader::decodeRunLength(PLSource& source, const Header& header, PLBitmap& bmp)
{
    bool fourBits = header.bits == 4;
    PLTrace::trace(2, fourBits ? "Decoding RLE4-compressed bitmap.\n" : "Decoding RLE8-compressed bitmap.\n");
    int width = bmp.getWidth();
    int height = bmp.getHeight();
    int row = 0;
    int x = 0;
    // Pixels beyond the width are dropped; decoding ends at the last line.
    auto put = [&](std::uint8_t value) {
        if (x < width)
            bmp.getLineArray()[height - 1 - row][x++] = value;
    };
    while (row < height) {
        const std::uint8_t* code = source.read(2);
        int count = code[0];
        std::uint8_t value = code[1];
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(fourBits ? nibble(&value, i & 1) : value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            ++row;
            x = 0;
            break;
        case 1: // end of bitmap
            return;
        case 2:
            PLTrace::raise(PLTextException::Unsupported, "Encountered delta escape.");
        default: { // absolute run, padded to an even number of bytes
            int bytes = fourBits ? (value + 1) / 2 : value;
            const std::uint8_t* run = source.read(bytes + (bytes & 1));
            for (int i = 0; i < value; ++i)
                put(fourBits ? nibble(run, i) : run[i]);
            break;
        }
        }
    }
}

int PLBmpReader::resolution(std::int32_t pelsPerMeter)
{
    int dpi = static_cast<int>(pelsPerMeter * 0.0254 + 0.5);
    return (pelsPerMeter <= 0 || dpi <= 1) ? 150 : dpi;
}
