// The program-wide catalogue of loadable resources. The property readers queue each resource entry
// here, where it becomes a descriptor of its kind; the load screen then runs one loading step per
// frame until the pass is done, and from then on images (surface holders), masks, fonts, scripts and
// sound sample numbers are served by identifier. A lookup never fails: an identifier nothing was
// loaded under yields null (a sound: -1) and is remembered with that value. After a lost display the
// catalogue restores what it holds. It reports to the program through its host (CatalogueHost.h).
#pragma once

#include "compat/ddraw/ddraw.h"
#include "platform/catalogue/ResourceDescriptor.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/Restorable.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/properties/ResourceQueue.h"
#include "runtime/containers/Buffer.h"
#include "runtime/containers/DynamicArray.h"

#include <cstddef>
#include <map>
#include <string>

// Identifier to loaded object; each stored object is held with one reference.
template <class T>
class ResourceMap {
public:
    ResourceMap() = default;
    ResourceMap(const ResourceMap&) = delete;
    ResourceMap& operator=(const ResourceMap&) = delete;
    virtual ~ResourceMap()
    {
        for (auto& entry : entries) {
            if (entry.second)
                entry.second->release();
        }
    }

    // The stored object; a missing identifier is inserted with null.
    T* get(const std::string& id) { return entries[id]; }
    // Null for a missing identifier, which stays missing.
    T* find(const std::string& id) const
    {
        auto found = entries.find(id);
        return found == entries.end() ? nullptr : found->second;
    }
    void store(const std::string& id, T* object)
    {
        if (object)
            object->addRef();
        T*& slot = entries[id];
        if (slot)
            slot->release();
        slot = object;
    }
    const std::map<std::string, T*>& all() const { return entries; }

private:
    std::map<std::string, T*> entries;
};

// What the image operations pass around: the names of an image entry and its memory type.
struct ImageRecord {
    enum : int { SystemMemory = 1, VideoMemory = 2 };
    std::string imageId;
    std::string imageFile;
    std::string maskId;
    std::string maskFile;
    int memoryType = SystemMemory;
};

class ResourceManager : public Restorable, public ResourceQueue {
public:
    // Deletes the current catalogue, if any, and becomes the current one. (A current catalogue that
    // was not made with new, which cannot be deleted, is only replaced.)
    explicit ResourceManager(int total = 0);
    ~ResourceManager() override;
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    static void* operator new(std::size_t bytes);
    static void operator delete(void* object) noexcept;

    static ResourceManager* instance();
    // Lookups on the current catalogue; null (a sound: -1) without one.
    static SurfaceHolder* getImage(const std::string& id);
    static MemorySurface* getMask(const std::string& id);
    static BitmapFont* getFont(const std::string& id);
    static Buffer* getScript(const std::string& id);
    static int getSound(const std::string& id);
    static Archive* currentResourceArchive();

    // The display's DirectDraw object, on which images and masks are made. Until the screen sets it,
    // the catalogue makes one of its own (all DirectDraw objects share the one display).
    static void setDirectDraw(IDirectDraw4* directDraw);
    static IDirectDraw4* getDirectDraw();

    // Loads the first queued descriptor of that identifier now, loaded or not.
    virtual void loadById(const std::string& id);
    // Loads the first queued descriptor that is not loaded (and did not fail).
    virtual void loadNextPending();
    // Starts a pass over the queued descriptors that are not loaded yet. A pass with none is complete
    // at once: done, 100 %, its one progress event posted and the deferred descriptors loaded.
    virtual void beginLoading();
    // One step of the pass: posts the progress event, loads one descriptor and, at the end, the
    // deferred ones. A finished pass is left as it is.
    virtual void loadStep();
    virtual void finishLoading();
    virtual int getTotal() { return total; }
    virtual int isDone() { return done; }
    virtual float getProgress() { return percent; }
    virtual Archive* getArchive() { return archive; }
    virtual void setArchive(Archive* newArchive) { archive = newArchive; }
    // Queue the descriptor (the catalogue takes it over), replacing one of the same identifier.
    virtual void addPending(ResourceDescriptor* descriptor);
    virtual void addDeferred(ResourceDescriptor* descriptor);
    // A property file's entry becomes the descriptor of its kind: fonts deferred, the rest pending.
    void queueResource(const ResourceRecord& entry) override;

    virtual SurfaceHolder* lookupImage(const std::string& id) { return images.get(id); }
    virtual MemorySurface* lookupMask(const std::string& id) { return masks.get(id); }
    virtual BitmapFont* lookupFont(const std::string& id) { return fonts.get(id); }
    virtual Buffer* lookupScript(const std::string& id) { return scripts.get(id); }
    virtual int lookupSound(const std::string& id);

    // Every loaded holder, mask and font restores what a lost display took (once per frame).
    void restoreLoaded();
    void restoreLost() override { restoreLoaded(); }

    // Storing by the descriptors.
    void storeImage(const std::string& id, SurfaceHolder* holder) { images.store(id, holder); }
    void storeMask(const std::string& id, MemorySurface* mask) { masks.store(id, mask); }
    void storeFont(const std::string& id, BitmapFont* font) { fonts.store(id, font); }
    void storeScript(const std::string& id, Buffer* buffer) { scripts.store(id, buffer); }
    void storeSound(const std::string& id, int sample) { sounds[id] = sample; }
    // Holder of the identifier without remembering a missing one.
    SurfaceHolder* findImage(const std::string& id) const { return images.find(id); }
    // Sample slots are numbered in loading order by a counter of their own, so that a sound looked up
    // before it loaded cannot share a slot with another.
    int takeSoundSlot() { return nextSoundSlot++; }

    const RefDynamicArray<ResourceDescriptor>& getPending() const { return pending; }
    const RefDynamicArray<ResourceDescriptor>& getDeferred() const { return deferred; }

private:
    static void queue(RefDynamicArray<ResourceDescriptor>& list, ResourceDescriptor* descriptor);
    void load(ResourceDescriptor* descriptor);
    // Ends a pass with nothing to load: done at 100 %, one progress event, the deferred entries loaded.
    void completeEmptyPass();

    ResourceMap<SurfaceHolder> images;
    ResourceMap<MemorySurface> masks;
    ResourceMap<BitmapFont> fonts;
    ResourceMap<Buffer> scripts;
    std::map<std::string, int> sounds;
    RefDynamicArray<ResourceDescriptor> pending{10, 10};
    RefDynamicArray<ResourceDescriptor> deferred{10, 10};
    float percent = 0.0f;
    int done = 0;
    int nextIndex = 0;
    int total;
    Archive* archive = nullptr;
    int nextSoundSlot = 0;
};

// A new surface holder (reference count 0) with the image in the memory type and, when a mask file is
// named, the mask map blended through. Throws "ERROR - Could not load image: %s.\n".
SurfaceHolder* loadImageSurface(Archive* archive, const std::string& imageFile, const std::string& maskFile,
                                int memoryType);
// Loads the record's image and mask, names their surfaces and stores the holder (and the mask) in the
// current catalogue. Returns 1.
int loadImageWithMask(const std::string& id, Archive* archive, const ImageRecord& record);
