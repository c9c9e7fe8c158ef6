// The committed *.sav seeds are saved games exactly as the game wrote them (the scrambled file, after a
// first byte with bit 0 set, bit 1 for the endless game): they were taken from the player's savegames
// folder while tools/soak played the game headless ("soak run-dir 120 7"), and the mode's bit was put in
// front. The *.xml seeds are small plain documents by hand, for the question's edge cases.
//
// For each *.sav, this writes its plain twin (bit 0 clear, the document unscrambled), so
// the fuzzer also starts from readable documents, whose mutations stay documents, and not only from
// bytes that unscramble to noise once a byte is put in or taken out.
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
    std::vector<std::filesystem::path> written;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".sav")
            written.push_back(entry.path());
    for (const auto& path : written) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.empty() || (bytes[0] & 1) == 0)
            continue;
        bytes[0] = static_cast<char>(bytes[0] & ~1);
        scrambleBuffer(reinterpret_cast<unsigned char*>(bytes.data()) + 1, bytes.size() - 1);
        std::ofstream(folder / (path.stem().string() + ".xml"), std::ios::binary) << bytes;
    }
    return 0;
}
