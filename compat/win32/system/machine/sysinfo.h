// GetSystemInfo, as far as the game reads it: the processor type.
#pragma once

#include "compat/win32/base.h"

constexpr DWORD PROCESSOR_INTEL_386 = 386;
constexpr DWORD PROCESSOR_INTEL_486 = 486;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;

struct SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    std::uintptr_t dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};

void GetSystemInfo(SYSTEM_INFO* info);

namespace compat::testing {

// The processor type GetSystemInfo reports from now on; 0 gives back the machine's own.
void setProcessorType(DWORD type);

} // namespace compat::testing
