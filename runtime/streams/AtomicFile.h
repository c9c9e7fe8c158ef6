// The runtime's name for the replace-by-rename file writer of the compatibility layer: a crash or a
// full disk mid-write leaves the old file as it was. See compat/win32/atomic_file.h.
#pragma once

#include "compat/win32/atomic_file.h"

using compat::ReplacingFile;
using compat::writeFileAtomically;
