#include "runtime/java/Integer.h"

#include <cstdlib>

namespace java {

int Integer::parseInt(const String& text)
{
    return parseInt(text, 10);
}

int Integer::parseInt(const String& text, int radix)
{
    // Out-of-range values keep strtol's clamped result cut to int, as atoi does, without its undefined
    // behaviour.
    return static_cast<int>(std::strtol(text.c_str(), nullptr, radix));
}

} // namespace java
