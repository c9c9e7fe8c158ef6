// Comparison of texts as the attribute readers need it.
#pragma once

#include <string>

class StringUtil {
public:
    // With `exact`, equal character for character; otherwise equal after folding both to lower case by
    // the current locale's classification. Either way the lengths must match (a prefix is not equal).
    static bool equals(const std::string& text, const char* other, bool exact);
};
