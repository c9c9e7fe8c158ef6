#include "platform/catalogue/ResourceDescriptor.h"

#include "platform/catalogue/CatalogueHost.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/sound/SoundManager.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/containers/Buffer.h"

namespace {

std::string startupAdvertImage;

// The sample format flags every sound entry is loaded with.
constexpr unsigned kSampleMode = 0x130;

ResourceManager& catalogue()
{
    ResourceManager* manager = ResourceManager::instance();
    if (!manager)
        throw GameTextException(0, "ERROR - No resource catalogue.\n");
    return *manager;
}

} // namespace

void setStartupAdvertImage(const std::string& path) { startupAdvertImage = path; }

const std::string& getStartupAdvertImage() { return startupAdvertImage; }

int ImageDescriptor::load(Archive* archive)
{
    ImageRecord record;
    record.imageId = imageId;
    record.imageFile = imageFile;
    record.maskId = maskId;
    record.maskFile = maskFile;
    if (record.imageFile == "extra_ad")
        record.imageFile = startupAdvertImage.empty() ? "logo.jpg" : startupAdvertImage;
    if (memoryType == "video")
        record.memoryType = ImageRecord::VideoMemory;
    else if (memoryType == "system" || memoryType.empty())
        record.memoryType = ImageRecord::SystemMemory;
    else
        throw GameTextException(0, "ERROR: Invalid memory type\n");
    loaded = loadImageWithMask(id, archive, record);
    return loaded;
}

int MaskDescriptor::load(Archive* archive)
{
    MemorySurface* mask = loadSurfaceFromArchiveOrFile(ResourceManager::getDirectDraw(), archive, fileName);
    if (!mask)
        DebugLog::instance().log("ERROR - Could not load mask: " + fileName + "\n");
    catalogue().storeMask(id, mask);
    loaded = 1;
    return loaded;
}

int FontDescriptor::load(Archive*)
{
    ResourceManager& manager = catalogue();
    SurfaceHolder* holder = manager.findImage(surfaceId);
    if (!holder) {
        manager.loadById(surfaceId);
        holder = manager.findImage(surfaceId);
    }
    if (!holder)
        throw GameTextException(0, "NO SURFACE AVAILABLE\n");

    auto* font = new BitmapFont(holder, characters);
    font->addRef();
    font->setCharSpacing(charSpace);
    if (lineSpace != 0)
        font->setLineHeight(lineSpace);
    if (spaceWidth != 0)
        font->setSpaceWidth(spaceWidth);
    if (baselineGiven)
        font->computeTrims(baseline, baselineCharHeight);
    if (chineseFont != 0)
        font->setDoubleByte(1);
    if (charWidth != 0)
        font->setCharWidth(charWidth);
    if (charHeight != 0)
        font->setCharHeight(charHeight);
    if (compressed != 0) {
        font->setCompressed(1);
        font->loadCharacterFile(characterFile);
    }
    manager.storeFont(id, font);
    font->release();
    loaded = 1;
    return loaded;
}

int SoundDescriptor::load(Archive* archive)
{
    ResourceManager& manager = catalogue();
    int slot = manager.takeSoundSlot();
    CatalogueHost* host = CatalogueHost::active();
    if (SoundManager* sound = host ? host->catalogueSoundManager() : nullptr)
        sound->loadSample(archive, fileName, slot, kSampleMode);
    manager.storeSound(id, slot);
    loaded = 1;
    return loaded;
}

int ScriptDescriptor::load(Archive* archive)
{
    auto* buffer = new Buffer;
    buffer->addRef();
    if (!Buffer::loadFile(archive, fileName, *buffer)) {
        buffer->release();
        loaded = 0;
        return 0;
    }
    catalogue().storeScript(id, buffer);
    buffer->release();
    loaded = 1;
    return loaded;
}
