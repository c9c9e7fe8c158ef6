#include "runtime/java/Exception.h"

#include "runtime/java/String.h"

namespace java {

IOException::IOException() = default;

IOException::IOException(const char* message) : message(new String(message)) {}

IOException::IOException(const IOException& other) : Exception(other), message(other.message)
{
    if (message)
        message->addRef();
}

IOException& IOException::operator=(const IOException& other)
{
    if (other.message)
        other.message->addRef();
    releaseAndDelete(message);
    message = other.message;
    return *this;
}

IOException::~IOException()
{
    releaseAndDelete(message);
}

std::string IOException::toString()
{
    return message ? message->toString() : std::string();
}

} // namespace java
