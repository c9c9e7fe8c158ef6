// The host of a socket, as the name or dotted address it was opened with.
#pragma once

#include "runtime/java/Object.h"

namespace java {

class String;

class InetAddress : public Object {
public:
    explicit InetAddress(const String& hostName);
    ~InetAddress() override;

    InetAddress(const InetAddress&) = delete;
    InetAddress& operator=(const InetAddress&) = delete;

    // The host name with one reference added for the caller.
    virtual String* getHostName();

private:
    String* hostName;
};

} // namespace java
