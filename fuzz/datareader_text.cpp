// Reads typed values from arbitrary text until the reader throws, mixing every kind of read.
#include "FuzzFile.h"

#include "runtime/GameException.h"
#include "runtime/streams/TextDataReader.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzzsupport::scratchFile(data, size, "text");
    TextDataReader reader;
    try {
        reader.open(path);
        std::string token;
        for (unsigned i = size; ; ++i) {
            switch (i % 7) {
            case 0: reader.readInt(); break;
            case 1: reader.readLong(); break;
            case 2: reader.readByte(); break;
            case 3: reader.readFloat(); break;
            case 4: reader.readString(); break;
            case 5: reader.readIdentifier(); break;
            default: reader.readToken(token); break;
            }
        }
    } catch (const GameTextException&) {
    }
    std::remove(path.c_str());
    return 0;
}
