// A reference-counted block of bytes into which whole files are read. Users read `size` and `data`
// directly (parsers walk the bytes, the scrambler rewrites them in place); the bytes carry no
// terminator.
#pragma once

#include "runtime/RefCounted.h"

#include <string>

class Buffer;

// A resource archive that whole files can come from. No archive is installed in the game; the resource
// catalogue may hold one.
class Archive {
public:
    virtual ~Archive() = default;
    virtual bool holdsFile(const std::string& name) = 0;
    virtual bool openFile(const std::string& name) = 0;
    // Reads the opened file whole into `buffer`; false when the read failed.
    virtual bool readWhole(Buffer& buffer) = 0;
};

class Buffer : public RefCounted {
public:
    Buffer() = default;
    explicit Buffer(unsigned size) { allocate(size); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() override { free(); }

    // Contents undefined; any earlier bytes are released first.
    void allocate(unsigned newSize);
    void free();
    // Throws GameTextException "Buffer index out of bounds\n" for an index not below `size`.
    unsigned char byteAt(unsigned index) const;

    // Fills `buffer` with the whole file and returns true; false (the buffer unchanged) for a missing,
    // unreadable or empty file. With an archive that holds the name (backslashes turned into forward
    // slashes), the file comes from the archive.
    static bool loadFile(Archive* archive, const std::string& path, Buffer& buffer);

    unsigned size = 0;
    unsigned char* data = nullptr;
};

// Every '\\' becomes '/'.
void toForwardSlashes(std::string& path);
// Whether the file opens for reading.
bool fileExists(const std::string& path);
// Replaces the characters that are not allowed in file names (and blanks, unless `keepSpaces`) with '_';
// the length never changes.
std::string makeSafeFileName(const std::string& name, bool keepSpaces);
