#include "runtime/scramble/ScrambledInt.h"

#include "runtime/java/Random.h"

namespace {

// Four table bytes from `position` on, each taken as a signed byte, weighted 1, 256, 65536, 16777216.
uint32_t maskAt(const unsigned char* table, int position)
{
    uint32_t mask = 0;
    uint32_t weight = 1;
    for (int k = 0; k < 4; ++k, weight <<= 8)
        mask += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(table[(position + k) % 256]))) * weight;
    return mask;
}

} // namespace

void ScrambledInt::set(int value)
{
    position = static_cast<int>(random->nextFloat() * 256);
    masked = static_cast<uint32_t>(value) ^ maskAt(table, position);
}

int ScrambledInt::get() const
{
    return static_cast<int>(masked ^ maskAt(table, position));
}

std::string ScrambledInt::encodedText() const
{
    int shown = static_cast<int>(static_cast<uint32_t>(get()) ^ maskAt(sharedTable(), position));
    return std::to_string(shown) + "i" + std::to_string(position);
}
