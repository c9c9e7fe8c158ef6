// The clock of the java:: library.
#pragma once

#include <cstdint>

namespace java {

class System {
public:
    // Wall-clock milliseconds since 1970, modulo 2^32 (the high 32 bits are always 0).
    static int64_t currentTimeMillis();
};

} // namespace java
