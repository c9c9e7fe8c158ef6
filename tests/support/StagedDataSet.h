// The staged data set (the build's run directory) loaded the way the game loads it: the property files
// into a property store and its resource catalogue, every resource loaded, then both layout documents.
// For tests and benchmarks that draw with the game's own pictures, fonts and layouts. Make the
// application first and drop this before it.
#pragma once

#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"

#include <filesystem>
#include <string>

namespace testsupport {

class StagedDataSet {
public:
    explicit StagedDataSet(const std::string& runDirectory)
        : catalogue(new ResourceManager()), store(new PropertyManager(catalogue))
    {
        store->addRef();
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(runDirectory);
        store->loadProperties(nullptr, "properties\\", "en", "US", "NORMAL");
        catalogue->beginLoading();
        for (int step = 0; step < 1000 && !catalogue->isDone(); ++step)
            catalogue->loadStep();
        LayoutDocument::setPropertyStore(store);
        LayoutDocument::loadAll(true);
        std::filesystem::current_path(previous);
    }
    ~StagedDataSet()
    {
        LayoutDocument::unloadAll();
        LayoutDocument::setPropertyStore(nullptr);
        store->release();
        delete catalogue;
    }
    StagedDataSet(const StagedDataSet&) = delete;
    StagedDataSet& operator=(const StagedDataSet&) = delete;

private:
    ResourceManager* catalogue;
    PropertyManager* store;
};

} // namespace testsupport
