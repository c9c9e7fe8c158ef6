// The program-wide record of the last failed DirectDraw call, and the names of DirectDraw results.
// The frame loop clears the record every frame; the sprite toolkit reads the flag.
#pragma once

#include "compat/win32/base.h"

#include <cstdint>

// A negative result becomes the last failure and sets the flag; anything else changes nothing.
void recordDrawError(HRESULT result);
std::uint32_t hasDrawError();
HRESULT lastDrawError();
void resetDrawError();
// Failures recorded since the program started (not cleared by resetDrawError): a caller compares two
// readings to learn whether what it drew in between failed.
std::uint32_t drawErrorCount();

// "DD_OK", the DDERR_ name of a DirectDraw result, or "UNSPECIFIED".
const char* ddErrorName(HRESULT result);
