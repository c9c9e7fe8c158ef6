// Writes the scrambled form of every plain saved game already in the corpus folder it is given (the
// committed seeds, copied there first), so the fuzz target starts from scrambled files the game could
// have written and not only from bytes that unscramble to noise. A plain seed's first byte has bit 0
// clear; its scrambled twin has it set and the rest scrambled.
#include "runtime/scramble/ScrambleTable.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const std::filesystem::path folder = argv[1];
    std::vector<std::filesystem::path> plain;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".xml")
            plain.push_back(entry.path());
    for (const auto& path : plain) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.empty() || (bytes[0] & 1) != 0)
            continue;
        bytes[0] = static_cast<char>(bytes[0] | 1);
        scrambleBuffer(reinterpret_cast<unsigned char*>(bytes.data()) + 1, bytes.size() - 1);
        std::ofstream(folder / (path.stem().string() + ".scrambled"), std::ios::binary) << bytes;
    }
    return 0;
}
