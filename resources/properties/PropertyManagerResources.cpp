// The resource entries of the property files (Surface, Font, Mask, Sound, Script). Each becomes a
// descriptor queued in the resource catalogue; fonts are deferred, since the surface entry they draw
// from must be loaded first. A later file's entry of the same identifier replaces the earlier one.
#include "resources/properties/PropertyManager.h"

#include "resources/catalogue/ResourceDescriptor.h"
#include "resources/catalogue/ResourceManager.h"

#include <cstdlib>

namespace {

// The attribute as a C decimal number; 0 when absent.
int intAttribute(PropertyManager& store, const char* name)
{
    return store.hasAttribute(name) ? std::atoi(store.getAttribute(name).c_str()) : 0;
}

// Hands the descriptor to the catalogue, which takes it over. Without a catalogue the entry is read
// and dropped.
void queue(PropertyManager& store, ResourceDescriptor* descriptor, bool deferred)
{
    descriptor->addRef();
    if (ResourceManager* manager = store.getResourceManager()) {
        if (deferred)
            manager->addDeferred(descriptor);
        else
            manager->addPending(descriptor);
    }
    descriptor->release();
}

// An entry whose text is a file name.
template <class Descriptor>
int readFileEntry(PropertyManager& store, const char* name)
{
    std::string id = store.readId();
    int tag = intAttribute(store, "tag");
    std::string file;
    store.readChildText(name, file);
    auto* descriptor = new Descriptor(id);
    descriptor->setTag(tag);
    descriptor->setFileName(file);
    queue(store, descriptor, false);
    return 1;
}

} // namespace

int PropertyManager::readSurface()
{
    std::string id = readId();
    int tag = intAttribute(*this, "tag");
    std::string imageId, imageFile, memoryType, maskId, maskFile;
    for (;;) {
        nextToken();
        if (isTag("Image") && !closingTag) {
            if (hasAttribute("id"))
                imageId = getAttribute("id");
            if (hasAttribute("mem"))
                memoryType = getAttribute("mem");
            readChildText("Image", imageFile);
        } else if (isTag("Mask") && !closingTag) {
            if (hasAttribute("id"))
                maskId = getAttribute("id");
            readChildText("Mask", maskFile);
        } else {
            break;
        }
    }
    auto* descriptor = new ImageDescriptor(id);
    descriptor->setTag(tag);
    descriptor->imageId = imageId;
    descriptor->imageFile = imageFile;
    descriptor->memoryType = memoryType;
    descriptor->maskId = maskId;
    descriptor->maskFile = maskFile;
    queue(*this, descriptor, false);
    return isCloseTag("Surface");
}

int PropertyManager::readFont()
{
    std::string id = readId();
    auto* descriptor = new FontDescriptor(id);
    descriptor->addRef();
    try {
        descriptor->setTag(intAttribute(*this, "tag"));
        descriptor->charSpace = intAttribute(*this, "charspace");
        descriptor->lineSpace = intAttribute(*this, "linespace");
        descriptor->spaceWidth = intAttribute(*this, "spacewidth");
        if (hasAttribute("color"))
            descriptor->color = parseHex(getAttribute("color").c_str());
        if (hasAttribute("baseline")) {
            descriptor->baseline = intAttribute(*this, "baseline");
            descriptor->baselineCharHeight = intAttribute(*this, "charheight");
            descriptor->baselineGiven = 1;
        }
        descriptor->chineseFont = intAttribute(*this, "chinesefont");
        descriptor->charWidth = intAttribute(*this, "charwidth");
        descriptor->charHeight = intAttribute(*this, "charheight");
        int compressed = intAttribute(*this, "compressed");

        for (;;) {
            nextToken();
            if (closingTag)
                break;
            if (!readChildText("Surface", descriptor->surfaceId) &&
                !readChildText("Characters", descriptor->characters) &&
                !readChildText("Comfile", descriptor->characterFile))
                break;
        }
        descriptor->compressed = descriptor->characterFile.empty() ? 0 : compressed;
        queue(*this, descriptor, true);
    } catch (...) {
        descriptor->release();
        throw;
    }
    descriptor->release();
    return isCloseTag("Font");
}

int PropertyManager::readMask() { return readFileEntry<MaskDescriptor>(*this, "Mask"); }

int PropertyManager::readSound() { return readFileEntry<SoundDescriptor>(*this, "Sound"); }

int PropertyManager::readScript() { return readFileEntry<ScriptDescriptor>(*this, "Script"); }
