// The processor's feature bits, read once at start-up for the rasteriser's choice of workers.
#pragma once

#include <cstdint>

// The standard feature flags (EDX of CPUID leaf 1); 0 on processors that may lack CPUID (386,
// 486) and on machines without the instruction.
std::uint32_t getCpuFeatures();

// 1 when the processor has MMX (feature bit 23), else 0. Set before the program entry.
extern int hasMmx;
