#include "runtime/java/InetAddress.h"

#include "runtime/java/String.h"

namespace java {

InetAddress::InetAddress(const String& hostName) : hostName(new String(hostName)) {}

InetAddress::~InetAddress()
{
    releaseAndDelete(hostName);
}

String* InetAddress::getHostName()
{
    hostName->addRef();
    return hostName;
}

} // namespace java
