// A file mapped into memory read-only.
#pragma once

#include "platform/image/PLSource.h"

class PLFileMapSource : public PLSource {
public:
    explicit PLFileMapSource(PLIProgressNotification* notifier = nullptr) : PLSource(notifier) {}
    ~PLFileMapSource() override;

    // 0, or the failure: 3 path not found, 4 file not found or not openable, 5 access denied or the
    // file cannot be mapped.
    int open(const char* fileName);
    void close() override;

private:
    void* view = nullptr;
    std::size_t viewBytes = 0;
};
