#include "runtime/java/System.h"

#include <ace/OS_NS_sys_time.h>
#include <ace/Time_Value.h>

namespace java {

int64_t System::currentTimeMillis()
{
    ACE_Time_Value now = ACE_OS::gettimeofday();
    uint32_t millis = static_cast<uint32_t>(now.sec()) * 1000U + static_cast<uint32_t>(now.usec() / 1000);
    return static_cast<int64_t>(millis);
}

} // namespace java
