#include "compat/win32/system/notify/beep.h"

#include "compat/host/audio/audio.h"

#include <algorithm>
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

BOOL Beep(DWORD frequency, DWORD duration)
{
    if (frequency < 37 || frequency > 32767)
        return FALSE;
    compat::host::playSystemTone(static_cast<int>(frequency), static_cast<int>(std::min<DWORD>(duration, 2000)));
    return TRUE;
}

BOOL MessageBeep(UINT type)
{
    std::lock_guard<std::mutex> hold(beepLock());
    // Only the recent past matters to anyone reading the record.
    if (beepRecord().size() >= 1024)
        beepRecord().clear();
    beepRecord().push_back(type);
    // Each kind of message its own pitch: errors low, warnings high, the rest between.
    switch (type & 0xF0) {
    case 0x10: compat::host::playSystemTone(440, 200); break;
    case 0x30: compat::host::playSystemTone(880, 120); break;
    default: compat::host::playSystemTone(660, 100); break;
    }
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
