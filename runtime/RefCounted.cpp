#include "runtime/RefCounted.h"

#include <cstdlib>

void* RefObject::operator new(std::size_t bytes) noexcept
{
    return std::malloc(bytes);
}

void RefObject::operator delete(void* p) noexcept
{
    std::free(p);
}
