#include "platform/image/source/PLSource.h"

#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"

namespace {

[[noreturn]] void endOfData()
{
    PLTrace::raise(PLTextException::EndOfFile, "End of file reached while decoding.\n");
}

} // namespace

void PLSource::open(const char* sourceName, int sourceSize, const std::uint8_t* bytes)
{
    name = sourceName != nullptr ? sourceName : "";
    size = sourceSize;
    consumed = 0;
    current = bytes;
    opened = true;
}

void PLSource::close()
{
    if (opened && notifier != nullptr)
        notifier->onProgress(1.0);
    opened = false;
    current = nullptr;
}

const std::uint8_t* PLSource::peek(int n) const
{
    if (n < 0 || n > size - consumed)
        endOfData();
    return current;
}

const std::uint8_t* PLSource::read(int n)
{
    const std::uint8_t* start = peek(n);
    int before = consumed;
    consumed += n;
    current += n;
    if (notifier != nullptr && consumed / 1024 != before / 1024)
        notifier->onProgress(static_cast<double>(consumed) / size);
    return start;
}
