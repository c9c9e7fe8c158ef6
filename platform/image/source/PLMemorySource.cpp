#include "platform/image/source/PLMemorySource.h"

#include "platform/image/PLTextException.h"

PLMemorySource::~PLMemorySource()
{
    if (isOpen())
        close();
}

int PLMemorySource::open(const std::uint8_t* bytes, int size)
{
    if (size < 0 || (bytes == nullptr && size > 0))
        return PLTextException::FileNotFound;
    PLSource::open("Mem", size, bytes);
    return 0;
}
