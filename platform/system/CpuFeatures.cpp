#include "platform/system/CpuFeatures.h"

#include "compat/win32/system/machine/sysinfo.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

constexpr std::uint32_t mmxBit = 0x800000;

} // namespace

std::uint32_t getCpuFeatures()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    if (info.dwProcessorType == PROCESSOR_INTEL_386 || info.dwProcessorType == PROCESSOR_INTEL_486)
        return 0;
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return 0;
    return edx;
#else
    return 0;
#endif
}

int hasMmx = (getCpuFeatures() & mmxBit) != 0 ? 1 : 0;
