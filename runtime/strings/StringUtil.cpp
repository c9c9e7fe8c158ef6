#include "runtime/strings/StringUtil.h"

#include <cctype>
#include <cstring>

bool StringUtil::equals(const std::string& text, const char* other, bool exact)
{
    if (!other)
        return false;
    std::size_t length = std::strlen(other);
    if (text.size() != length)
        return false;
    if (exact)
        return text.compare(0, length, other, length) == 0;
    for (std::size_t i = 0; i < length; ++i) {
        int a = std::tolower(static_cast<unsigned char>(text[i]));
        int b = std::tolower(static_cast<unsigned char>(other[i]));
        if (a != b)
            return false;
    }
    return true;
}
