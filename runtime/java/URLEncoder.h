// Form encoding for URL query values and HTTP form bodies.
#pragma once

#include <string>

class URLEncoder {
public:
    // Letters, digits and "-_.*" stay, a blank becomes '+', every other byte "%XX" (upper-case hex).
    // The text ends at its first 0 byte.
    static std::string encode(const std::string& text);
};
