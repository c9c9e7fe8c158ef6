#include "platform/catalogue/ResourceManager.h"

#include "compat/ddraw/PixelBlockPool.h"
#include "platform/catalogue/CatalogueHost.h"
#include "platform/catalogue/ResourceDescriptor.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Blit.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceDesc.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/containers/Buffer.h"

#include <set>

namespace {

ResourceManager* current = nullptr;
// The catalogues made with new: only those can be deleted when a new one takes over.
std::set<void*>& heapCatalogues()
{
    static std::set<void*> catalogues;
    return catalogues;
}
IDirectDraw4* displayDirectDraw = nullptr;

void post(int value1, int value2)
{
    if (CatalogueHost* host = CatalogueHost::active())
        host->catalogueProgress(value1, value2);
}

// The descriptor of the entry's kind (reference count 0), with the entry's fields.
ResourceDescriptor* describe(const ResourceRecord& entry)
{
    ResourceDescriptor* descriptor = nullptr;
    switch (entry.kind) {
    case ResourceRecord::Surface: {
        auto* image = new ImageDescriptor(entry.id);
        static_cast<SurfaceEntry&>(*image) = entry;
        descriptor = image;
        break;
    }
    case ResourceRecord::Font: {
        auto* font = new FontDescriptor(entry.id);
        static_cast<FontEntry&>(*font) = entry;
        descriptor = font;
        break;
    }
    case ResourceRecord::Mask: descriptor = new MaskDescriptor(entry.id); break;
    case ResourceRecord::Sound: descriptor = new SoundDescriptor(entry.id); break;
    case ResourceRecord::Script: descriptor = new ScriptDescriptor(entry.id); break;
    }
    if (descriptor) {
        descriptor->setTag(entry.tag);
        descriptor->setFileName(entry.fileName);
    }
    return descriptor;
}

// Runs `check` on the object; a failure only beeps, so the walk goes on.
void checkQuietly(Restorable* object)
{
    if (!object)
        return;
    try {
        object->check();
    } catch (...) {
        beepError();
    }
}

} // namespace

void* ResourceManager::operator new(std::size_t bytes)
{
    void* object = ::operator new(bytes);
    heapCatalogues().insert(object);
    return object;
}

void ResourceManager::operator delete(void* object) noexcept
{
    heapCatalogues().erase(object);
    ::operator delete(object);
}

ResourceManager::ResourceManager(int total) : total(total)
{
    if (current && heapCatalogues().count(current))
        delete current;
    current = this;
}

ResourceManager::~ResourceManager()
{
    if (current == this)
        current = nullptr;
    pending.removeAllElements();
    deferred.removeAllElements();
}

ResourceManager* ResourceManager::instance() { return current; }

SurfaceHolder* ResourceManager::getImage(const std::string& id) { return current ? current->lookupImage(id) : nullptr; }

MemorySurface* ResourceManager::getMask(const std::string& id) { return current ? current->lookupMask(id) : nullptr; }

BitmapFont* ResourceManager::getFont(const std::string& id) { return current ? current->lookupFont(id) : nullptr; }

Buffer* ResourceManager::getScript(const std::string& id) { return current ? current->lookupScript(id) : nullptr; }

int ResourceManager::getSound(const std::string& id) { return current ? current->lookupSound(id) : -1; }

Archive* ResourceManager::currentResourceArchive() { return current ? current->getArchive() : nullptr; }

void ResourceManager::setDirectDraw(IDirectDraw4* directDraw)
{
    if (directDraw)
        directDraw->AddRef();
    if (displayDirectDraw)
        displayDirectDraw->Release();
    displayDirectDraw = directDraw;
}

IDirectDraw4* ResourceManager::getDirectDraw()
{
    if (!displayDirectDraw) {
        IDirectDraw* first = nullptr;
        if (DirectDrawCreate(nullptr, &first, nullptr) == DD_OK && first) {
            first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&displayDirectDraw));
            first->Release();
        }
    }
    return displayDirectDraw;
}

int ResourceManager::lookupSound(const std::string& id)
{
    // An identifier no sound was loaded under answers -1, which no sample slot has.
    auto found = sounds.emplace(id, -1);
    return found.first->second;
}

void ResourceManager::queue(RefDynamicArray<ResourceDescriptor>& list, ResourceDescriptor* descriptor)
{
    for (unsigned index = 0; index < list.size(); ++index) {
        if (list.elementAt(index)->getId() == descriptor->getId()) {
            list.set(index, descriptor);
            return;
        }
    }
    list.addElement(descriptor);
}

void ResourceManager::addPending(ResourceDescriptor* descriptor)
{
    queue(pending, descriptor);
    total = static_cast<int>(pending.size());
}

void ResourceManager::addDeferred(ResourceDescriptor* descriptor) { queue(deferred, descriptor); }

void ResourceManager::queueResource(const ResourceRecord& entry)
{
    ResourceDescriptor* descriptor = describe(entry);
    if (!descriptor)
        return;
    descriptor->addRef();
    if (entry.kind == ResourceRecord::Font)
        addDeferred(descriptor);
    else
        addPending(descriptor);
    descriptor->release();
}

void ResourceManager::load(ResourceDescriptor* descriptor)
{
    // The descriptor stays alive while it loads, whatever the load does to the lists.
    descriptor->addRef();
    try {
        if (descriptor->load(archive)) {
            descriptor->afterLoad();
        } else {
            // Marked, so that the pass moves on to the entries behind it instead of retrying this one.
            descriptor->setFailed(true);
            DebugLog::instance().log("ERROR - Could not load resource: " + descriptor->getId() + " (" +
                                     descriptor->getFileName() + ")\n");
        }
    } catch (...) {
        descriptor->release();
        throw;
    }
    descriptor->release();
}

void ResourceManager::loadById(const std::string& id)
{
    for (auto* list : {&pending, &deferred}) {
        for (unsigned index = 0; index < list->size(); ++index) {
            ResourceDescriptor* descriptor = list->elementAt(index);
            if (descriptor->getId() == id) {
                load(descriptor);
                return;
            }
        }
    }
}

void ResourceManager::loadNextPending()
{
    for (unsigned index = 0; index < pending.size(); ++index) {
        ResourceDescriptor* descriptor = pending.elementAt(index);
        if (!descriptor->isLoaded() && !descriptor->hasFailed()) {
            load(descriptor);
            return;
        }
    }
}

void ResourceManager::beginLoading()
{
    for (unsigned index = pending.size(); index > 0; --index) {
        if (pending.elementAt(index - 1)->isLoaded())
            pending.removeElementAt(index - 1);
    }
    total = static_cast<int>(pending.size());
    nextIndex = 0;
    done = 0;
    percent = 0.0f;
    // Nothing to load: the pass is complete at once, so a caller that never steps an empty pass
    // still sees it done and still gets its deferred entries.
    if (total == 0)
        completeEmptyPass();
}

void ResourceManager::completeEmptyPass()
{
    post(0, 0);
    percent = 100.0f;
    done = 1;
    finishLoading();
}

void ResourceManager::loadStep()
{
    // A finished pass has nothing left to step: stepping it again would post and count anew.
    if (done)
        return;
    if (CatalogueHost* host = CatalogueHost::active())
        host->catalogueBusy();
    if (total <= 0) {
        // Stepped without a pass begun: complete rather than divide by the empty total.
        completeEmptyPass();
        return;
    }
    if (nextIndex == 0)
        post(0, total);
    loadNextPending();
    ++nextIndex;
    post(nextIndex, total);
    percent = (100.0f / static_cast<float>(total)) * static_cast<float>(nextIndex);
    done = total == nextIndex ? 1 : 0;
    if (done)
        finishLoading();
}

void ResourceManager::finishLoading()
{
    pending.removeAllElements();
    nextIndex = 0;
    for (unsigned index = 0; index < deferred.size(); ++index) {
        ResourceDescriptor* descriptor = deferred.elementAt(index);
        if (!descriptor->isLoaded() && !descriptor->hasFailed())
            load(descriptor);
    }
    deferred.removeAllElements();
    // Loading decoded every picture beside the copy it keeps: give that working memory back.
    compat::ddraw::releaseIdlePixelBlocks();
}

void ResourceManager::restoreLoaded()
{
    for (const auto& entry : images.all())
        checkQuietly(entry.second);
    for (const auto& entry : masks.all())
        checkQuietly(entry.second);
    for (const auto& entry : fonts.all())
        checkQuietly(entry.second);
}

SurfaceHolder* loadImageSurface(Archive* archive, const std::string& imageFile, const std::string& maskFile,
                                int memoryType)
{
    IDirectDraw4* directDraw = ResourceManager::getDirectDraw();
    // Handed over with a count of 0, as every loader does; deleted here on every failure.
    auto* holder = new SurfaceHolder;
    SurfaceDesc desc;
    desc.memoryType = static_cast<std::uint32_t>(memoryType);
    HRESULT result = E_FAIL;
    try {
        result = holder->loadFromArchiveOrFile(directDraw, archive, imageFile, desc);
    } catch (...) {
        delete holder;
        throw;
    }
    if (FAILED(result)) {
        delete holder;
        throw GameTextException(0, "ERROR - Could not load image: %s.\n", imageFile.c_str());
    }
    if (Surface* surface = holder->getSurface())
        surface->setName(imageFile);
    if (!maskFile.empty()) {
        MemorySurface* mask = nullptr;
        try {
            mask = loadSurfaceFromArchiveOrFile(directDraw, archive, maskFile);
        } catch (...) {
            mask = nullptr;
        }
        if (!mask) {
            delete holder;
            throw GameTextException(0, "ERROR - Could not load image: %s.\n", maskFile.c_str());
        }
        holder->setMask(mask);
        holder->getOptions()->flags = BlitOptions::BlendMask;
        mask->setName(maskFile);
    }
    return holder;
}

int loadImageWithMask(const std::string& id, Archive* archive, const ImageRecord& record)
{
    SurfaceHolder* holder = loadImageSurface(archive, record.imageFile, record.maskFile, record.memoryType);
    holder->addRef();
    if (Surface* surface = holder->getSurface())
        surface->setName(record.imageId.empty() ? id + "_IMAGE" : record.imageId);
    ResourceManager* manager = ResourceManager::instance();
    if (MemorySurface* mask = holder->getMask()) {
        mask->setName(record.maskId.empty() ? id + "_MASK" : record.maskId);
        if (manager)
            manager->storeMask(record.maskId, mask);
    }
    if (manager)
        manager->storeImage(id, holder);
    holder->release();
    return 1;
}
