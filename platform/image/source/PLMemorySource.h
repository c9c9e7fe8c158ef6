// A caller's block of memory, which must outlive the source.
#pragma once

#include "platform/image/source/PLSource.h"

class PLMemorySource : public PLSource {
public:
    explicit PLMemorySource(PLIProgressNotification* notifier = nullptr) : PLSource(notifier) {}
    ~PLMemorySource() override;

    // 0, or 4 for a negative size or a missing block.
    int open(const std::uint8_t* bytes, int size);
};
