// The resource entries of the property files (Surface, Font, Mask, Sound, Script). They are read
// here with their full syntax and its errors; handing each entry to the resource catalogue as a
// descriptor is the catalogue's part and is added with it.
#include "resources/properties/PropertyManager.h"

#include <initializer_list>

namespace {

// Reads child elements of the given names until another token comes, which is left current.
void readChildren(PropertyManager& store, std::initializer_list<const char*> names)
{
    std::string text;
    for (;;) {
        store.nextToken();
        bool child = false;
        for (const char* name : names)
            child = child || store.readChildText(name, text);
        if (!child)
            return;
    }
}

// An entry whose text is a file name.
int readFileEntry(PropertyManager& store, const char* name)
{
    store.readId();
    std::string file;
    store.readChildText(name, file);
    return 1;
}

} // namespace

int PropertyManager::readSurface()
{
    readId();
    readChildren(*this, {"Image", "Mask"});
    return isCloseTag("Surface");
}

int PropertyManager::readFont()
{
    readId();
    readChildren(*this, {"Surface", "Characters", "Comfile"});
    return isCloseTag("Font");
}

int PropertyManager::readMask()
{
    return readFileEntry(*this, "Mask");
}

int PropertyManager::readSound()
{
    return readFileEntry(*this, "Sound");
}

int PropertyManager::readScript()
{
    return readFileEntry(*this, "Script");
}
