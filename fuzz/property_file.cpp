// The property-file reader on arbitrary bytes: every input ends in a result or a GameTextException.
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    PropertyManager store(nullptr);
    try {
        store.parse(text.data());
    } catch (const GameTextException&) {
    }
    return 0;
}
