// The staged data set as the checks see it: the run directory's files, the resource entries of the
// property files, the property store loaded the way the game loads it, and the entries of the two
// layout documents sorted by kind.
#pragma once

#include "resources/properties/PropertyManager.h"

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace dataset {

std::filesystem::path runDir();
std::filesystem::path sourceDir();
std::string readFile(const std::filesystem::path& path);
// A file name as the game writes it (backslashes, relative to the working directory) on disk.
std::filesystem::path inRunDir(const std::string& gamePath);

// Every property file of the run directory, by name.
std::vector<std::filesystem::path> propertyFiles();

// One resource entry of a property file: Surface (image, mask, maskId), Mask/Sound/Script (file),
// Font (surface, characters).
struct ResourceEntry {
    std::string kind, id;
    std::string image, mask, maskId, file, surface, characters;
};
std::vector<ResourceEntry> resourceEntries(const std::string& propertyText);
// The entries of every property file of the run directory.
std::vector<ResourceEntry> allResourceEntries();

// The entries of the two layout documents after both are read (the language document last), by
// the maps the game keeps them in.
struct LayoutEntries {
    std::map<std::string, std::string> strings;
    std::map<std::string, int> integers;
    std::set<std::string> floats, booleans, points, rectangles, templates;
    std::map<std::string, std::vector<std::string>> stringLists;
    std::map<std::string, std::vector<int>> integerLists;
};
// Reads one document into `entries`; returns an error text, empty on success.
std::string readLayoutDocument(const std::filesystem::path& path, LayoutEntries& entries);

// The property store filled from the run directory's "properties\" as at start-up (the registry
// points at a temporary file, so no user choice applies), and both layout documents, loaded by the
// game's own layout loader and, for listing them by kind, into LayoutEntries.
class LoadedDataSet {
public:
    LoadedDataSet();
    ~LoadedDataSet();
    PropertyManager& properties() { return *store; }
    const LayoutEntries& layout() const { return entries; }
    const std::vector<ResourceEntry>& resources() const { return resourceList; }
    // Errors met while loading, empty when everything loaded.
    const std::string& errors() const { return problems; }

private:
    PropertyManager* store = nullptr;
    LayoutEntries entries;
    std::vector<ResourceEntry> resourceList;
    std::string problems;
    std::filesystem::path registryDir;
};

// The one loaded data set shared by the checks of a test program.
LoadedDataSet& loaded();

} // namespace dataset
