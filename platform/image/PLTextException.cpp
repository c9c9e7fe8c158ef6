#include "platform/image/PLTextException.h"

PLTextException::PLTextException(int code, const char* text) : code(code), text(text != nullptr ? text : "") {}
