#include "compat/win32/system/machine/sysinfo.h"

#include <unistd.h>

namespace {

DWORD processorTypeOverride = 0;

} // namespace

void compat::testing::setProcessorType(DWORD type) { processorTypeOverride = type; }

void GetSystemInfo(SYSTEM_INFO* info)
{
    *info = SYSTEM_INFO{};
    const long pageSize = sysconf(_SC_PAGESIZE);
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    info->dwPageSize = pageSize > 0 ? static_cast<DWORD>(pageSize) : 4096;
    info->dwNumberOfProcessors = processors > 0 ? static_cast<DWORD>(processors) : 1;
    info->dwAllocationGranularity = 65536;
#if defined(__x86_64__)
    info->dwProcessorType = PROCESSOR_AMD_X8664;
#else
    // Every 32-bit x86 processor that runs this program has CPUID; other machines report none.
    info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#endif
    if (processorTypeOverride != 0)
        info->dwProcessorType = processorTypeOverride;
}
