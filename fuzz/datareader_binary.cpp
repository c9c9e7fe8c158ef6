// Reads typed values from arbitrary bytes until the reader throws; the first byte picks the order of
// the reads.
#include "FuzzFile.h"

#include "runtime/GameException.h"
#include "runtime/streams/BinaryDataReader.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzzsupport::scratchFile(data, size, "binary");
    BinaryDataReader reader;
    try {
        reader.open(path);
        unsigned pattern = reader.readByte();
        for (unsigned i = 0;; ++i) {
            switch ((pattern >> (i % 8)) % 6) {
            case 0: reader.readInt(); break;
            case 1: reader.readLong(); break;
            case 2: reader.readByte(); break;
            case 3: reader.readFloat(); break;
            case 4: reader.readString(); break;
            default: reader.readIdentifier(); break;
            }
        }
    } catch (const GameTextException&) {
    }
    std::remove(path.c_str());
    return 0;
}
