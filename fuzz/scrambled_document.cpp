// The loader of scrambled XML documents fed arbitrary bytes: saved games and layouts may be damaged
// or hand-made.
#include "runtime/streams/XMLDocumentFile.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlDocument document;
    parseXMLBytes(document, data, size, true);
    return 0;
}
