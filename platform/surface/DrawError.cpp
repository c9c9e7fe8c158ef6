#include "platform/surface/DrawError.h"

#include "compat/ddraw/ddraw.h"

namespace {

HRESULT lastFailure = 0;
std::uint32_t failureFlag = 0;
std::uint32_t failureCount = 0;

} // namespace

void recordDrawError(HRESULT result)
{
    if (result >= 0)
        return;
    lastFailure = result;
    failureFlag = 1;
    ++failureCount;
}

std::uint32_t drawErrorCount() { return failureCount; }

std::uint32_t hasDrawError() { return failureFlag; }

HRESULT lastDrawError() { return lastFailure; }

void resetDrawError()
{
    lastFailure = 0;
    failureFlag = 0;
}

const char* ddErrorName(HRESULT result)
{
    if (result == DD_OK)
        return "DD_OK";
    switch (result) {
#define QUARRY_NAME_DDERR(name, value) \
    case value:                        \
        return #name;
        QUARRY_DDRAW_ERROR_CODES(QUARRY_NAME_DDERR)
#undef QUARRY_NAME_DDERR
    default:
        return "UNSPECIFIED";
    }
}
