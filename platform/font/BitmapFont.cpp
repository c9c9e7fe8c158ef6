#include "platform/font/BitmapFont.h"

#include "compat/win32/path.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceHolder.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

// Pixel reads of a surface of 8, 16 or 32 bits, inside one lock. A lock that fails is recorded and
// the surface then reads as empty.
class PixelReader {
public:
    explicit PixelReader(Surface* surface) : surface(surface)
    {
        if (!surface)
            return;
        HRESULT result = surface->lock();
        if (FAILED(result)) {
            recordDrawError(result);
            return;
        }
        locked = true;
        const SurfaceDesc& desc = surface->getDesc();
        bytes = static_cast<int>(desc.format.bitsPerPixel / 8);
        if (bytes != 1 && bytes != 2 && bytes != 4)
            return;
        base = static_cast<const std::uint8_t*>(surface->pixels());
        pitch = desc.pitch;
        width = static_cast<int>(desc.width);
        height = static_cast<int>(desc.height);
    }
    ~PixelReader()
    {
        if (locked)
            surface->unlock();
    }
    PixelReader(const PixelReader&) = delete;
    PixelReader& operator=(const PixelReader&) = delete;

    // The raw value at (x, y); 0 outside the surface.
    std::uint32_t at(int x, int y) const
    {
        if (!base || x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        const std::uint8_t* p = base + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(x) * bytes;
        std::uint32_t v = 0;
        std::memcpy(&v, p, static_cast<std::size_t>(bytes));
        return v;
    }

    // Whether column x holds only 0 in rows top ... bottom - 1 (rows outside the surface count as 0).
    bool columnEmpty(int x, int top, int bottom) const
    {
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
            if (at(x, y) != 0)
                return false;
        return true;
    }

    int width = 0;
    int height = 0;

private:
    Surface* surface;
    bool locked = false;
    const std::uint8_t* base = nullptr;
    std::ptrdiff_t pitch = 0;
    int bytes = 0;
};

} // namespace

BitmapFont::BitmapFont(SurfaceHolder* image, const std::string& characters)
    : image(image), characters(characters)
{
    if (image)
        image->addRef();
    if (characters.empty()) {
        glyphs.emplace_back(0, 0, 0, 0);
        leftTrim.push_back(0);
        rightTrim.push_back(0);
    } else if (Surface* surface = image ? image->getSurface() : nullptr) {
        scan(surface);
    }
    indexGlyphs();
}

// A mask map whose bottom line is empty holds bands of glyphs; otherwise the picture's own bottom
// line marks where each glyph ends.
void BitmapFont::scan(Surface* surface)
{
    const SurfaceDesc& desc = surface->getDesc();
    int width = static_cast<int>(desc.width), height = static_cast<int>(desc.height);
    Surface* map = maskMap();
    bool bottomLineEmpty = true;
    if (map) {
        PixelReader mask(map);
        for (int x = 0; x < width && bottomLineEmpty; ++x)
            bottomLineEmpty = mask.at(x, height - 1) == 0;
    }
    if (map && bottomLineEmpty)
        scanGlyphs(map, width, height);
    else
        scanGlyphMarkers(surface);
}

BitmapFont::~BitmapFont()
{
    if (image)
        image->release();
}

Surface* BitmapFont::maskMap() const
{
    if (!image || !(image->getOptions()->flags & BlitOptions::BlendMask))
        return nullptr;
    return image->getMask();
}

void BitmapFont::scanGlyphMarkers(Surface* surface)
{
    PixelReader pixels(surface);
    const SurfaceDesc& desc = surface->getDesc();
    int width = static_cast<int>(desc.width), height = static_cast<int>(desc.height);
    int x = 0;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        int start = x;
        while (x < width && pixels.at(x, height - 1) == 0)
            ++x;
        if (x >= width)
            break;
        glyphs.emplace_back(start, 0, x - start + 1, height - 1);
        leftTrim.push_back(0);
        rightTrim.push_back(0);
        ++x;
    }
    lineHeight = height;
    spaceWidth = width / static_cast<int>(characters.size());
}

void BitmapFont::scanGlyphs(Surface* map, int width, int height)
{
    PixelReader mask(map);
    int bandTop = 0;
    long long total = 0;
    for (int y = 0; y < height; ++y) {
        if (mask.at(0, y) == 0)
            continue;
        // Row y closes a band of glyphs; columns 0 and 1 never belong to one.
        int glyphStart = -1;
        for (int x = 2; x < width; ++x) {
            bool empty = mask.columnEmpty(x, bandTop, y);
            if (glyphStart < 0 && !empty) {
                glyphStart = x;
            } else if (glyphStart >= 0 && empty) {
                glyphs.emplace_back(glyphStart, bandTop, x - glyphStart, y - bandTop);
                leftTrim.push_back(0);
                rightTrim.push_back(0);
                total += x - glyphStart;
                glyphStart = -1;
            }
        }
        bandTop = y + 1;
    }
    // A picture without glyphs has neither a line height nor an average width.
    lineHeight = glyphs.empty() ? 0 : glyphs.front().height;
    spaceWidth = glyphs.empty() ? 0 : static_cast<int>(total / static_cast<long long>(glyphs.size()));
}

void BitmapFont::computeTrims(int baseline, int height)
{
    Surface* map = maskMap();
    if (!map)
        return;
    PixelReader mask(map);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const RectangleValue& g = glyphs[i];
        long long top = static_cast<long long>(g.y) + baseline - height - 1;
        int clippedTop = static_cast<int>(std::clamp<long long>(top, -1, mask.height));
        int clippedBottom = static_cast<int>(std::clamp<long long>(top + height, -1, mask.height));
        bool gapSeen = false;
        int left = 0, right = 0;
        for (int x = g.x; x < g.x + g.width; ++x) {
            if (mask.columnEmpty(x, clippedTop, clippedBottom))
                gapSeen = true;
            else if (gapSeen)
                ++right;
            else
                ++left;
        }
        if (gapSeen) {
            leftTrim[i] += left;
            rightTrim[i] += right;
        } else {
            leftTrim[i] = 0;
            rightTrim[i] = 0;
        }
    }
}

void BitmapFont::indexGlyphs()
{
    for (int c = 0; c < 256; ++c) {
        std::size_t index = characters.find(static_cast<char>(c));
        glyphOf[c] = index < glyphs.size() ? static_cast<std::int32_t>(index) : -1;
    }
}

int BitmapFont::glyphIndex(unsigned char c) const
{
    return glyphOf[c];
}

int BitmapFont::getGlyphHeight()
{
    if (doubleByte != 0)
        return lineHeight;
    return glyphs.empty() ? 0 : glyphs.front().height;
}

int BitmapFont::getGlyphWidth(unsigned char c)
{
    int i = glyphIndex(c);
    return i < 0 ? 0 : glyphs[static_cast<std::size_t>(i)].width;
}

int BitmapFont::getLeftTrim(unsigned char c)
{
    int i = glyphIndex(c);
    return i < 0 ? 0 : leftTrim[static_cast<std::size_t>(i)];
}

int BitmapFont::getRightTrim(unsigned char c)
{
    int i = glyphIndex(c);
    return i < 0 ? 0 : rightTrim[static_cast<std::size_t>(i)];
}

void BitmapFont::setCharHeight(int value)
{
    charHeight = value;
    lineHeight = value;
}

std::uint8_t BitmapFont::setCompressed(std::uint8_t value)
{
    compressed = value;
    return compressed;
}

RectangleValue BitmapFont::cellBox(unsigned code) const
{
    unsigned cell = code;
    if (compressed) {
        cell = 0;
        for (int k = 0; k < codeTableSize; ++k) {
            if (codeTable[k] == static_cast<std::int32_t>(code)) {
                cell = 288 + static_cast<unsigned>(k);
                break;
            }
        }
    }
    int column = static_cast<int>(cell % 32), row = static_cast<int>(cell / 32);
    return RectangleValue(charWidth * column, charHeight * row, charWidth, charHeight);
}

void BitmapFont::loadCharacterFile(const std::string& fileName)
{
    std::ifstream in(compat::hostPath(fileName));
    std::string character;
    long long slot = 0;
    while (in >> character >> slot) {
        if (character.size() < 2 || slot < 0 || slot >= codeTableSize)
            continue;
        auto b0 = static_cast<unsigned char>(character[0]), b1 = static_cast<unsigned char>(character[1]);
        codeTable[slot] = (b0 - 0xA1) * 94 + (b1 - 0xA1);
    }
}

void BitmapFont::restoreLost()
{
    if (image)
        image->check();
}

std::string BitmapFont::withoutMarkup(const std::string& text)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t open = text.find('^', start);
        const std::size_t close = open == std::string::npos ? open : text.find('^', open + 1);
        if (close == std::string::npos)
            return out + text.substr(start);
        out += text.substr(start, open - start);
        start = close + 1;
    }
}
