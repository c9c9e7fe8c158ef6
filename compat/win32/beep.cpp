#include "compat/win32/beep.h"

#include <mutex>

namespace {

std::mutex& beepLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::vector<UINT>& beepRecord()
{
    static auto* record = new std::vector<UINT>;
    return *record;
}

} // namespace

BOOL Beep(DWORD, DWORD)
{
    return TRUE;
}

BOOL MessageBeep(UINT type)
{
    std::lock_guard<std::mutex> hold(beepLock());
    // Only the recent past matters to anyone reading the record.
    if (beepRecord().size() >= 1024)
        beepRecord().clear();
    beepRecord().push_back(type);
    return TRUE;
}

namespace compat::testing {

std::vector<UINT> takeMessageBeeps()
{
    std::lock_guard<std::mutex> hold(beepLock());
    std::vector<UINT> out;
    out.swap(beepRecord());
    return out;
}

} // namespace compat::testing
