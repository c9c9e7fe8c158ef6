#include "SeedFile.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    fuzzseeds::writeSeed(argv[1], "values", [](DataWriter& w) {
        w.writeByte(0x24);
        w.writeInt(-2);
        w.writeLong(258);
        w.writeFloat(-2.5f);
        w.writeString("text");
        w.writeIdentifier("name_1");
        w.writeByte(7);
    });
    fuzzseeds::writeSeed(argv[1], "strings", [](DataWriter& w) {
        w.writeByte(0x10);
        w.writeString("");
        w.writeString(std::string("a\0b", 3));
        w.writeString("longer string value");
    });
    return 0;
}
