// The resource entries of the property files (Surface, Font, Mask, Sound, Script). Each is handed to
// the resource queue (the catalogue), which makes the descriptor of its kind; fonts are deferred there,
// since the surface entry they draw from must be loaded first. A later file's entry of the same
// identifier replaces the earlier one.
#include "resources/properties/PropertyManager.h"

#include "resources/properties/ResourceQueue.h"

#include <cstdlib>

namespace {

// The attribute as a C decimal number; 0 when absent.
int intAttribute(PropertyManager& store, const char* name)
{
    return store.hasAttribute(name) ? std::atoi(store.getAttribute(name).c_str()) : 0;
}

// Hands the entry to the queue. Without one the entry is read and dropped.
void queue(PropertyManager& store, const ResourceRecord& entry)
{
    if (ResourceQueue* resources = store.getResourceManager())
        resources->queueResource(entry);
}

// An entry whose text is a file name.
int readFileEntry(PropertyManager& store, ResourceRecord::Kind kind, const char* name)
{
    ResourceRecord entry;
    entry.kind = kind;
    entry.id = store.readId();
    entry.tag = intAttribute(store, "tag");
    store.readChildText(name, entry.fileName);
    queue(store, entry);
    return 1;
}

} // namespace

int PropertyManager::readSurface()
{
    ResourceRecord entry;
    entry.kind = ResourceRecord::Surface;
    entry.id = readId();
    entry.tag = intAttribute(*this, "tag");
    for (;;) {
        nextToken();
        if (isTag("Image") && !closingTag) {
            if (hasAttribute("id"))
                entry.imageId = getAttribute("id");
            if (hasAttribute("mem"))
                entry.memoryType = getAttribute("mem");
            readChildText("Image", entry.imageFile);
        } else if (isTag("Mask") && !closingTag) {
            if (hasAttribute("id"))
                entry.maskId = getAttribute("id");
            readChildText("Mask", entry.maskFile);
        } else {
            break;
        }
    }
    queue(*this, entry);
    return isCloseTag("Surface");
}

int PropertyManager::readFont()
{
    ResourceRecord entry;
    entry.kind = ResourceRecord::Font;
    entry.id = readId();
    entry.tag = intAttribute(*this, "tag");
    entry.charSpace = intAttribute(*this, "charspace");
    entry.lineSpace = intAttribute(*this, "linespace");
    entry.spaceWidth = intAttribute(*this, "spacewidth");
    if (hasAttribute("color"))
        entry.color = parseHex(getAttribute("color").c_str());
    if (hasAttribute("baseline")) {
        entry.baseline = intAttribute(*this, "baseline");
        entry.baselineCharHeight = intAttribute(*this, "charheight");
        entry.baselineGiven = 1;
    }
    entry.chineseFont = intAttribute(*this, "chinesefont");
    entry.charWidth = intAttribute(*this, "charwidth");
    entry.charHeight = intAttribute(*this, "charheight");
    int compressed = intAttribute(*this, "compressed");

    for (;;) {
        nextToken();
        if (closingTag)
            break;
        if (!readChildText("Surface", entry.surfaceId) && !readChildText("Characters", entry.characters) &&
            !readChildText("Comfile", entry.characterFile))
            break;
    }
    entry.compressed = entry.characterFile.empty() ? 0 : compressed;
    queue(*this, entry);
    return isCloseTag("Font");
}

int PropertyManager::readMask() { return readFileEntry(*this, ResourceRecord::Mask, "Mask"); }

int PropertyManager::readSound() { return readFileEntry(*this, ResourceRecord::Sound, "Sound"); }

int PropertyManager::readScript() { return readFileEntry(*this, ResourceRecord::Script, "Script"); }
