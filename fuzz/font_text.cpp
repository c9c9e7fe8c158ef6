// Lays out, measures and draws arbitrary text with a bitmap font, as labels do with texts from the
// layout documents, and reads a character file of arbitrary bytes.
// Input: one byte of settings (bit 0 double-byte, bit 1 compressed, bits 2-3 the drawing mode), the
// pen's x and y (signed bytes), the cell width and height, then the text; a zero byte ends the text
// and what follows is the character file.
#include "FuzzFile.h"

#include "compat/ddraw/ddraw.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// A band-mask picture of the glyphs "ab^ c" and two destinations, made once.
struct Fixture {
    Fixture()
    {
        IDirectDraw* first = nullptr;
        DirectDrawCreate(nullptr, &first, nullptr);
        first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd));
        first->Release();
        const std::uint32_t w = 40, h = 14;
        image = new SurfaceHolder;
        image->addRef();
        image->setSurface(createDirectDrawSurface(dd, w, h));
        MemorySurface* map = createMemorySurface(w, h);
        auto* bytes = static_cast<std::uint8_t*>(map->pixels());
        std::memset(bytes, 0, w * h);
        bytes[12 * w] = 0xFF;
        for (std::uint32_t g = 0; g < 5; ++g)
            for (std::uint32_t y = 0; y < 12; ++y)
                for (std::uint32_t x = 0; x < 5; ++x)
                    bytes[y * w + 2 + g * 7 + x] = static_cast<std::uint8_t>(0x40 + 0x30 * ((x + y) % 3));
        image->setMask(map);
        image->getOptions()->flags |= BlitOptions::BlendMask;
        screen = createDirectDrawSurface(dd, 64, 32);
        screen->addRef();
        coverage = createMemorySurface(64, 32);
        coverage->addRef();
    }

    IDirectDraw4* dd = nullptr;
    SurfaceHolder* image = nullptr;
    Surface* screen = nullptr;
    Surface* coverage = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Fixture fixture;
    if (size < 5)
        return 0;
    const std::uint8_t settings = data[0];
    const int x = static_cast<std::int8_t>(data[1]), y = static_cast<std::int8_t>(data[2]);
    std::string rest(reinterpret_cast<const char*>(data + 5), size - 5);
    std::size_t end = rest.find('\0');
    std::string text = rest.substr(0, end);

    auto* font = new BitmapFont(fixture.image, "ab^ c");
    font->addRef();
    font->setDoubleByte(settings & 1);
    font->setCharWidth(data[3] & 31);
    font->setCharHeight(data[4] & 31);
    font->setCompressed(settings & 2);
    font->computeTrims(data[3] % 20, data[4] % 20);
    if (end != std::string::npos)
        font->loadCharacterFile(fuzzsupport::scratchFile(data + 5 + end + 1, size - 5 - end - 1, "font_text.chars"));

    font->measure(text);
    font->measureMarkup(text);
    font->measureHeight(text);
    font->measureRange(text, x, y);
    switch ((settings >> 2) & 3) {
    case 0:
        font->drawString(fixture.screen, x, y, text);
        font->drawStringBlended(fixture.screen, x, y, text, data[3]);
        break;
    case 1:
        font->drawStringColored(fixture.screen, x, y, text, 0xFFFFFF, data[4]);
        break;
    case 2:
        font->drawStringHidingMarkup(fixture.screen, x, y, text, 0xFF00, 255);
        break;
    default:
        font->drawStringMask(fixture.coverage, x, y, text, data[3] % 12);
        break;
    }
    font->release();
    return 0;
}
