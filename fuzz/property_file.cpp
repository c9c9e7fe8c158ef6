// The property-file reader on arbitrary bytes: every input ends in a result or a GameTextException.
// Resource entries are queued in a catalogue, as in the game.
#include "platform/catalogue/ResourceManager.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    auto* catalogue = new ResourceManager();
    {
        PropertyManager store(catalogue);
        try {
            store.parse(text.data());
        } catch (const GameTextException&) {
        }
    }
    delete catalogue;
    return 0;
}
