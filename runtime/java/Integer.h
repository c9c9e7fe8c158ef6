// Number parsing of the java:: library.
#pragma once

#include "runtime/java/String.h"

namespace java {

class Integer {
public:
    // Decimal digits after optional white space and sign, up to the first other byte; 0 when there are
    // none.
    static int parseInt(const String& text);
    // As strtol with that radix (0 chooses by the prefix: "0x" hexadecimal, "0" octal, else decimal).
    static int parseInt(const String& text, int radix);
};

} // namespace java
