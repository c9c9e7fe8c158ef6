// What the property readers hand over for each resource entry of a property file (Surface, Mask, Font,
// Sound, Script), and where they hand it. The store reads the entry's syntax; loading it needs the media
// code above this layer, so the resource catalogue implements the queue and turns each entry into the
// descriptor of its kind.
#pragma once

#include <string>

// The settings of a "Surface" entry: its Image and Mask children.
struct SurfaceEntry {
    std::string imageId;
    std::string imageFile;
    std::string memoryType; // "video", "system" or empty
    std::string maskId;
    std::string maskFile;
};

// The settings of a "Font" entry: the start tag's settings and the children.
struct FontEntry {
    int charSpace = 0;
    int lineSpace = 0;
    int spaceWidth = 0;
    int color = 0; // read from the entry, not used by the font
    std::string surfaceId;
    std::string characters;
    int baseline = 0;
    int baselineCharHeight = 0;
    int baselineGiven = 0;
    int chineseFont = 0;
    int charWidth = 0;
    int charHeight = 0;
    int compressed = 0; // kept only when a character file is named
    std::string characterFile;
};

// One resource entry as its reader found it: texts exactly as written, numbers 0 when absent. The
// catalogue's descriptors carry the same settings, so they take them over whole.
struct ResourceRecord : SurfaceEntry, FontEntry {
    enum Kind { Surface, Mask, Font, Sound, Script };

    Kind kind = Surface;
    std::string id;
    int tag = 0;
    std::string fileName; // Mask, Sound and Script: the element's text
};

class ResourceQueue {
public:
    // Queues the entry, replacing a queued one of the same identifier. Fonts are loaded after every
    // other entry, since the surface entry they draw from must be loaded first.
    virtual void queueResource(const ResourceRecord& entry) = 0;

protected:
    ~ResourceQueue() = default;
};
