// Modifiers built from fuzzed layout elements through the object factory, and started from code with
// fuzzed numbers: each runs on a sprite of a canvas through frames of no time, a nominal frame and a long
// frame. Layout documents are edited by hand; no value may crash, hang or leak, whatever it does to the
// sprite.
#include "runtime/DebugLog.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierBounds.h"
#include "toolkit/modifier/ModifierCreation.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationCubic.h"
#include "toolkit/modifier/ModifierLocationWave.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxElements = 32;
constexpr int kFrames[] = {0, 20, 100, 20, 20, 40, 20, 0, 20, 20};

// Reads fuzzed numbers from the tail of the input; zeros once it is used up.
struct Numbers {
    const uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    template <class T> T next()
    {
        T value{};
        if (at + sizeof(T) <= size) {
            std::memcpy(&value, data + at, sizeof(T));
            at += sizeof(T);
        }
        return value;
    }
};

void fromCode(Sprite* sprite, Numbers& n)
{
    const int options = n.next<uint8_t>() & 7;
    ModifierAlpha::start(sprite, n.next<int16_t>(), n.next<int16_t>(), n.next<float>(), options);
    ModifierLocationLine::startConstantSpeed(sprite, n.next<int>(), n.next<int>(), n.next<int>(), n.next<int>(),
                                             n.next<float>(), n.next<uint8_t>() & 1);
    ModifierLocationDrop::startFromCurrent(sprite, n.next<float>(), n.next<float>(), n.next<float>(), n.next<float>(),
                                           0);
    ModifierFrame::startTimed(sprite, n.next<double>(), n.next<int8_t>(), 0);
    ModifierFrame::start(sprite, n.next<int8_t>(), n.next<int8_t>(), 0);
    ModifierDelay::start(sprite, n.next<double>(), 0);
    ModifierBounds::start(sprite, n.next<int>(), n.next<int>(), n.next<int>(), n.next<int>(), n.next<float>(), 0);
    std::vector<int> xs, ys;
    const int points = n.next<uint8_t>() % 6;
    for (int i = 0; i < points; ++i) {
        xs.push_back(n.next<int16_t>());
        ys.push_back(n.next<int16_t>());
    }
    // A speed below a tenth of a pixel would only make the path long, not different.
    float speed = n.next<float>();
    if (speed > 0.0f && speed < 0.1f)
        speed = 0.1f;
    ModifierLocationCubic::start(sprite, xs, ys, speed, 0);
    ModifierLocationWave::start(sprite, n.next<int>(), n.next<int>(), n.next<int>(), n.next<int>(), n.next<float>(),
                                n.next<float>(), n.next<float>(), n.next<float>(), 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (DebugLog::instance().setDebuggerOutput(false), true);
    (void)quiet;
    // The first part is the document, the part after a NUL byte the numbers for the start functions.
    const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const std::size_t textSize = nul ? static_cast<std::size_t>(nul - data) : size;
    const std::string text(reinterpret_cast<const char*>(data), textSize);
    Numbers numbers{data + textSize, size - textSize};

    auto* canvas = new SpriteCanvas(64, 48, 64, 48);
    canvas->addRef();
    auto* sprite = new BitmapSprite;
    canvas->addSprite(sprite);
    sprite->setSize(8, 32);
    sprite->setFrameCount(4);

    TiXmlDocument document;
    document.Parse(text.c_str());
    std::vector<const TiXmlElement*> pending;
    if (const TiXmlElement* root = document.RootElement())
        pending.push_back(root);
    std::size_t visited = 0;
    while (!pending.empty() && visited++ < kMaxElements) {
        const TiXmlElement* element = pending.back();
        pending.pop_back();
        if (Modifier* modifier = createModifierFromXml(element))
            sprite->addModifier(modifier);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            pending.push_back(child);
    }
    if (numbers.size > 0)
        fromCode(sprite, numbers);

    for (int ms : kFrames)
        canvas->update(static_cast<float>(ms) / 1000.0f, ms, 50.0f);
    canvas->release();
    return 0;
}
