#include "resources/properties/PropertyManager.h"

#include "resources/settings/RegistryString.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/containers/Buffer.h"
#include "runtime/scramble/ScrambleTable.h"

#include <algorithm>
#include <vector>

namespace {

template <typename Map>
typename Map::mapped_type& lookup(Map& map, const std::string& id)
{
    auto found = map.find(id);
    if (found == map.end())
        throw GameTextException(0, "ID not found: %s\n", id.c_str());
    return found->second;
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isLetters(const std::string& text)
{
    for (char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

// The registry's choice goes into a file name, and the registry is the user's to edit: only a plain
// name is taken (two letters for language and country), anything else falls back to the default.
std::string chosenName(const std::string& stored, const std::string& fallback, bool twoLetters)
{
    if (stored.empty())
        return fallback;
    bool plain = twoLetters ? stored.size() == 2 && isLetters(stored)
                            : std::all_of(stored.begin(), stored.end(), isNameChar);
    if (plain)
        return stored;
    DebugLog::instance().log("Ignoring the registry's choice \"" + stored + "\"; using \"" + fallback + "\"\n");
    return fallback;
}

} // namespace

PropertyManager::PropertyManager(ResourceQueue* resourceManager) : resourceManager(resourceManager) {}

PropertyManager::~PropertyManager()
{
    for (auto& entry : stringArrays)
        entry.second->release();
    for (auto& entry : integerArrays)
        entry.second->release();
}

int PropertyManager::fileExists(Archive* archive, const std::string& path)
{
    if (archive != nullptr && archive->holdsFile(path))
        return 1;
    return ::fileExists(path) ? 1 : 0;
}

int PropertyManager::loadFile(Archive* archive, const std::string& path, int scrambled)
{
    Buffer buffer;
    if (!Buffer::loadFile(archive, path, buffer))
        return 0;
    if (scrambled)
        scrambleBuffer(buffer.data, buffer.size);
    std::vector<char> text(buffer.data, buffer.data + buffer.size);
    text.push_back('\0');
    // The reader must not keep pointing into the text once it is gone.
    int result;
    try {
        result = parse(text.data());
    } catch (...) {
        readPosition = "";
        throw;
    }
    readPosition = "";
    return result != 0 ? 1 : 0;
}

std::string PropertyManager::findPropertyFile(Archive* archive, const std::string& path, int& scrambled)
{
    scrambled = 0;
    if (fileExists(archive, path))
        return path;
    std::string scrambledPath = path + ".!";
    if (!fileExists(archive, scrambledPath))
        throw GameTextException(0, "ERROR: Could not find property files\n");
    scrambled = 1;
    return scrambledPath;
}

void PropertyManager::loadOrThrow(Archive* archive, const std::string& path, int scrambled)
{
    if (!loadFile(archive, path, scrambled))
        throw GameTextException(0, "Coulnd't find property data: %s\n", path.c_str());
}

int PropertyManager::loadProperties(Archive* archive, const std::string& directory,
                                    const std::string& defaultLanguage, const std::string& defaultCountry,
                                    const std::string& defaultLookAndFeel)
{
    int scrambled = 0;
    std::string path = findPropertyFile(archive, directory + "default.uprop", scrambled);
    loadOrThrow(archive, path, scrambled);

    // Destroying the three values writes back what they read, so afterwards each exists below the
    // root (empty when it was absent).
    std::string root = getString("RES_REGISTRY_ROOT");
    RegistryString storedLanguage(root + "language", "", 0, HKEY_CURRENT_USER);
    RegistryString storedCountry(root + "country", "", 0, HKEY_CURRENT_USER);
    RegistryString storedLook(root + "lookandfeel", "", 0, HKEY_CURRENT_USER);
    std::string chosenLanguage = chosenName(storedLanguage.get(), defaultLanguage, true);
    std::string chosenCountry = chosenName(storedCountry.get(), defaultCountry, true);
    std::string chosenLook = chosenName(storedLook.get(), defaultLookAndFeel, false);

    if (chosenLanguage != language || chosenCountry != country) {
        std::string prefix = directory + "prop_" + chosenLanguage + "-" + chosenCountry + "_";
        path = findPropertyFile(archive, prefix + "NORMAL" + ".uprop", scrambled);
        loadOrThrow(archive, path, scrambled);
        // The look file has no scrambled name of its own: it is read under its plain name with the
        // language file's scrambling.
        if (chosenLook != lookAndFeel)
            loadOrThrow(archive, prefix + chosenLook + ".uprop", scrambled);
    }
    return 1;
}

const std::string& PropertyManager::getString(const std::string& id)
{
    return lookup(stringValues, id);
}

int PropertyManager::getInteger(const std::string& id)
{
    return lookup(integerValues, id);
}

double PropertyManager::getDouble(const std::string& id)
{
    return lookup(doubleValues, id);
}

int PropertyManager::getBoolean(const std::string& id)
{
    return lookup(booleanValues, id);
}

int PropertyManager::getLong(const std::string& id)
{
    return lookup(longValues, id);
}

const ColorValue& PropertyManager::getColor(const std::string& id)
{
    return lookup(colorValues, id);
}

const PointValue& PropertyManager::getPoint(const std::string& id)
{
    return lookup(pointValues, id);
}

const RectangleValue& PropertyManager::getRectangle(const std::string& id)
{
    return lookup(rectangleValues, id);
}

PropertyManager::IntegerArray* PropertyManager::getArrayInteger(const std::string& id)
{
    return lookup(integerArrays, id);
}

PropertyManager::StringArray* PropertyManager::getArrayString(const std::string& id)
{
    return lookup(stringArrays, id);
}

int PropertyManager::hasString(const std::string& id)
{
    return stringValues.count(id) != 0 ? 1 : 0;
}
