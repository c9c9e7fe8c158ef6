// Reads a Properties tree from arbitrary bytes in the binary form; a tree that reads must write bytes
// that read back to the same bytes.
#include "FuzzFile.h"

#include "runtime/GameException.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/BinaryDataReader.h"
#include "runtime/streams/BinaryDataWriter.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string writeTree(const Properties& tree, const std::string& path)
{
    BinaryDataWriter writer;
    writer.open(path);
    tree.write(writer);
    writer.close();
    return fileBytes(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzzsupport::scratchFile(data, size, "properties");
    Properties tree;
    bool complete = false;
    try {
        BinaryDataReader reader;
        reader.open(path);
        tree.read(reader);
        complete = true;
    } catch (const GameTextException&) {
    }

    if (complete) {
        std::string written = writeTree(tree, path);
        Properties again;
        BinaryDataReader reader;
        reader.open(path);
        again.read(reader);
        if (writeTree(again, path) != written)
            std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
