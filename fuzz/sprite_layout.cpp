// Sprites built from fuzzed layout elements through the object factory: every element of a document fed
// arbitrary bytes is handed to the factory by its tag; what comes back as a sprite is stepped through its
// frames, put on a canvas, updated and drawn, and what comes back as a sprite factory builds its sprites
// (and some it cannot). Layout documents are edited by hand; none of this may crash, hang or leak.
#include "FuzzFile.h"

#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XMLSprite.h"
#include "toolkit/sprite/XMLSpriteFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

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
    }
    ResourceManager* catalogue;
    Surface* target;
};

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
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            pending.push_back(child);
    }
    canvas->update(0.02f, 20, 50.0f);
    canvas->render(setup.target);
    canvas->release();
    LayoutDocument::unloadAll();
    return 0;
}
