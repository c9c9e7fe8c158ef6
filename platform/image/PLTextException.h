// The image layer's exception: an error code and a message text.
#pragma once

#include <string>

#include "platform/image/PLObject.h"

class PLTextException : public PLObject {
public:
    // Codes of the image layer.
    enum Code {
        NotABitmap = 1,
        FormatError = 2,
        PathNotFound = 3,
        FileNotFound = 4,
        AccessDenied = 5,
        Unsupported = 6,
        UnknownFileType = 8,
        OutOfMemory = 10,
        EndOfFile = 11,
    };

    PLTextException(int code, const char* text);

    int getCode() const { return code; }
    const char* getText() const { return text.c_str(); }

private:
    int code;
    std::string text;
};
