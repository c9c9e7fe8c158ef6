// Sprites built from fuzzed layout elements through the object factory: every element of a document fed
// arbitrary bytes is handed to the factory by its tag; what comes back as a sprite is stepped through its
// frames, put on a canvas, updated and drawn, and what comes back as a sprite factory builds its sprites
// (and some it cannot). Layout documents are edited by hand; none of this may crash, hang or leak.
//
// An element below the root whose tag has no creator is built a second time under a registered tag
// picked from its name, so mutated tag names reach every tag the program registers (widgets included)
// without a list here. Strips and scrollers are also moved and scrolled for a few frames.
#include "FuzzFile.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/ScrollSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XMLSprite.h"
#include "toolkit/sprite/XMLSpriteFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Bounds the work per input; a hostile document can hold far more elements than a real one.
constexpr std::size_t kMaxElements = 64;
constexpr int kMaxCreated = 6;

// A catalogue that knows a few small images and masks, so "surface", "image" and "mask" can name them.
struct Setup {
    Setup()
    {
        DebugLog::instance().setDebuggerOutput(false);
        catalogue = new ResourceManager(0);
        IDirectDraw4* dd = ResourceManager::getDirectDraw();
        MemorySurface* mask = createMemorySurface(16, 12);
        std::memset(mask->pixels(), 0x80, 16 * 12);
        for (const char* id : {"IMAGE_A", "IMAGE_B"}) {
            auto* holder = new SurfaceHolder;
            Surface* image = createDirectDrawSurface(dd, 16, 12);
            image->fill(0x336699);
            holder->setSurface(image);
            if (std::strcmp(id, "IMAGE_A") == 0)
                holder->setMask(mask);
            catalogue->storeImage(id, holder);
        }
        catalogue->storeMask("MASK_A", mask);
        target = createDirectDrawSurface(dd, 64, 48);
        target->addRef();
        tags = ObjectFactory::registeredKeys();
    }
    ResourceManager* catalogue;
    Surface* target;
    std::vector<std::string> tags;
};

// The registered tag an unknown tag name stands for.
const std::string* tagFor(const std::string& name, const std::vector<std::string>& tags)
{
    if (tags.empty())
        return nullptr;
    std::size_t hash = 0;
    for (unsigned char c : name)
        hash = hash * 31 + c;
    return &tags[hash % tags.size()];
}

// Moves a strip both ways along and across, past its bounds, recycling after each move.
void stepStrip(RepeatingSprite* strip)
{
    strip->build();
    const int moves[][2] = {{37, 0}, {0, 37}, {-37, 0}, {0, -37}, {1000, 1000}, {-3000, -3000}, {0, 0}};
    // Positions from the layout can sit at the ends of the integers; a move stops there.
    auto moved = [](int from, int by) {
        return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, static_cast<long long>(from) + by)));
    };
    for (const auto& move : moves) {
        strip->setPosition(moved(strip->getX(), move[0]), moved(strip->getY(), move[1]));
        strip->wrapCopies();
    }
}

// A few frames at a steady and an eased speed, then scrolls far up and down.
void stepScroller(ScrollSprite* scroller, SpriteCanvas* canvas)
{
    canvas->getFrameRate().setFrame(0.02f, 20, 50.0f);
    for (int frame = 0; frame < 3; ++frame)
        scroller->tick();
    scroller->setSpeed(scroller->getSpeed() + 2.5f, 10);
    for (int frame = 0; frame < 5; ++frame)
        scroller->tick();
    scroller->setSpeed(-1.0f, 0);
    scroller->tick();
    for (double amount : {-1000.5, 3.5e9, -7.0e9, 0.25})
        scroller->scroll(amount);
}

void exercise(Sprite* sprite, SpriteCanvas* canvas, Surface* target)
{
    sprite->addRef();
    for (int i = 0; i < 5; ++i)
        sprite->nextFrame();
    sprite->setFrame(sprite->getFrameCount() - 1);
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(sprite)) {
        bitmap->draw(target);
        bitmap->drawAt(target, -3, 40);
    }
    canvas->addSprite(sprite);
    if (sprite->isKindOf(&RepeatingSprite::classRecord)) {
        if (auto* strip = dynamic_cast<RepeatingSprite*>(sprite))
            stepStrip(strip);
    }
    if (auto* scroller = dynamic_cast<ScrollSprite*>(sprite))
        stepScroller(scroller, canvas);
    sprite->release();
}

void build(const TiXmlElement* element, SpriteCanvas* canvas, Surface* target)
{
    if (Sprite* sprite = createSpriteFromXml(element)) {
        exercise(sprite, canvas, target);
        return;
    }
    AbstractXMLSpriteFactory* factory = createSpriteFactoryFromXml(element);
    if (!factory)
        return;
    factory->addRef();
    const int count = factory->getCount();
    for (int i = -1; i < kMaxCreated && i <= count; ++i) {
        if (Sprite* made = factory->create(i))
            exercise(made, canvas, target);
    }
    factory->release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    std::string path = fuzzsupport::scratchFile(data, size, "sprites.xml");
    LayoutDocument::loadFile(LayoutDocument::kBase, path);
    const TiXmlDocument* document = LayoutDocument::document(LayoutDocument::kBase);
    const TiXmlElement* root = document ? document->RootElement() : nullptr;

    auto* canvas = new SpriteCanvas(64, 48, 64, 48);
    canvas->addRef();
    std::vector<const TiXmlElement*> pending;
    if (root)
        pending.push_back(root);
    std::size_t visited = 0;
    while (!pending.empty() && visited++ < kMaxElements) {
        const TiXmlElement* element = pending.back();
        pending.pop_back();
        build(element, canvas, setup.target);
        if (element != root && !ObjectFactory::findCreator(element->ValueStr())) {
            if (const std::string* tag = tagFor(element->ValueStr(), setup.tags)) {
                // Renamed for this one build only; the document is this input's scratch copy.
                auto* renamed = const_cast<TiXmlElement*>(element);
                const std::string name = renamed->ValueStr();
                renamed->SetValue(*tag);
                build(renamed, canvas, setup.target);
                renamed->SetValue(name);
            }
        }
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            pending.push_back(child);
    }
    canvas->update(0.02f, 20, 50.0f);
    canvas->render(setup.target);
    canvas->release();
    LayoutDocument::unloadAll();
    return 0;
}
