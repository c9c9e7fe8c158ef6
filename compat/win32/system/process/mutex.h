// Named mutexes across processes, as the program's single-instance guard uses them: a name is an
// exclusive lock (flock) on a file named after it in $XDG_RUNTIME_DIR (else /tmp). The kernel releases
// the lock when the holder dies, so a crashed game never blocks the next start.
#pragma once

#include "compat/win32/base.h"

// Creates (or opens) the mutex. When another process already holds a mutex of that name, the handle
// is still returned and GetLastError answers ERROR_ALREADY_EXISTS; else ERROR_SUCCESS. Null (with an
// error) only when the lock file cannot be made; `attributes` and `initialOwner` are accepted and
// ignored.
HANDLE CreateMutexA(LPVOID attributes, BOOL initialOwner, LPCSTR name);
constexpr DWORD MUTEX_ALL_ACCESS = 0x1F0001;

// Opens a mutex that some process holds now: a handle (which holds nothing) when one does, else null
// with ERROR_FILE_NOT_FOUND. `access` and `inheritHandle` are accepted and ignored.
HANDLE OpenMutexA(DWORD access, BOOL inheritHandle, LPCSTR name);
// Releases the lock (if this handle holds it) and frees the handle.
BOOL CloseHandle(HANDLE handle);
// The last error set by this layer's calls on this thread.
DWORD GetLastError();
void SetLastError(DWORD error);
