// One loadable resource named by a property file entry: an image with its mask, a mask, a bitmap
// font, a sound or a script. The catalogue makes one for each entry the property readers queue;
// loading it puts the loaded object into the catalogue's map of its kind under the identifier.
#pragma once

#include "resources/properties/ResourceQueue.h"
#include "runtime/RefCounted.h"

#include <string>

class Archive;

class ResourceDescriptor : public RefCounted {
public:
    explicit ResourceDescriptor(const std::string& id) : id(id) {}
    ~ResourceDescriptor() override = default;
    ResourceDescriptor(const ResourceDescriptor&) = delete;
    ResourceDescriptor& operator=(const ResourceDescriptor&) = delete;

    // Non-zero on success. Failures of images and fonts throw GameTextException.
    virtual int load(Archive* archive) = 0;
    virtual int isLoaded() { return loaded; }
    virtual void afterLoad() {}

    const std::string& getId() const { return id; }
    const std::string& getFileName() const { return fileName; }
    void setFileName(const std::string& name) { fileName = name; }
    int getTag() const { return tag; }
    void setTag(int value) { tag = value; }

    // A load that reported failure: the pass does not try it again.
    bool hasFailed() const { return failed; }
    void setFailed(bool value) { failed = value; }

protected:
    std::string id;
    std::string fileName;
    int tag = 0;
    int loaded = 0;
    bool failed = false;
};

// A "Surface" entry: an image and an optional mask, drawn through one surface holder.
class ImageDescriptor : public ResourceDescriptor, public SurfaceEntry {
public:
    using ResourceDescriptor::ResourceDescriptor;
    int load(Archive* archive) override;
};

// A "Mask" entry: a grey-level picture loaded as an 8-bit mask map.
class MaskDescriptor : public ResourceDescriptor {
public:
    using ResourceDescriptor::ResourceDescriptor;
    int load(Archive* archive) override;
};

// A "Font" entry: a bitmap font over the picture of a surface entry. Loaded after every other entry.
class FontDescriptor : public ResourceDescriptor, public FontEntry {
public:
    using ResourceDescriptor::ResourceDescriptor;
    int load(Archive* archive) override;
};

// A "Sound" entry: a sample loaded into the next free sample slot of the sound manager.
class SoundDescriptor : public ResourceDescriptor {
public:
    using ResourceDescriptor::ResourceDescriptor;
    int load(Archive* archive) override;
};

// A "Script" entry: the file's bytes.
class ScriptDescriptor : public ResourceDescriptor {
public:
    using ResourceDescriptor::ResourceDescriptor;
    int load(Archive* archive) override;
};

// The start-up advertisement picture that the program entry chose; an image entry whose file is
// "extra_ad" shows it, or "logo.jpg" while it is empty.
void setStartupAdvertImage(const std::string& path);
const std::string& getStartupAdvertImage();
