#include "platform/image/source/PLResSource.h"

#include <cstdio>

#include "platform/image/PLTextException.h"

PLResSource::~PLResSource()
{
    if (isOpen())
        close();
}

int PLResSource::open(HMODULE module, int id, int type)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type != 0 ? type : 10));
    if (info == nullptr)
        return PLTextException::FileNotFound;
    resource = LoadResource(module, info);
    const void* bytes = resource != nullptr ? LockResource(resource) : nullptr;
    if (bytes == nullptr) {
        if (resource != nullptr)
            FreeResource(resource);
        resource = nullptr;
        return PLTextException::FileNotFound;
    }
    char name[32];
    std::snprintf(name, sizeof(name), "Resource: %i", id);
    PLSource::open(name, static_cast<int>(SizeofResource(module, info)), static_cast<const std::uint8_t*>(bytes));
    return 0;
}

void PLResSource::close()
{
    PLSource::close();
    if (resource != nullptr)
        FreeResource(resource);
    resource = nullptr;
}
