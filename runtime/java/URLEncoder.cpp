#include "runtime/java/URLEncoder.h"

#include <cstring>

std::string URLEncoder::encode(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string result;
    for (unsigned char c : std::string(text.c_str())) {
        bool alphanumeric = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (alphanumeric || std::strchr("-_.*", c) != nullptr) {
            result += static_cast<char>(c);
        } else if (c == ' ') {
            result += '+';
        } else {
            result += '%';
            result += hex[c >> 4];
            result += hex[c & 0xF];
        }
    }
    return result;
}
