// A whole file held in memory, read once when it is opened.
#pragma once

#include "platform/image/source/PLSource.h"

#include <cstdint>
#include <memory>

class PLFileMapSource : public PLSource {
public:
    explicit PLFileMapSource(PLIProgressNotification* notifier = nullptr) : PLSource(notifier) {}
    ~PLFileMapSource() override;

    // 0, or the failure: 3 path not found, 4 file not found or not openable, 5 access denied, or the
    // file is empty or cannot be read.
    int open(const char* fileName);
    void close() override;

private:
    std::unique_ptr<std::uint8_t[]> contents;
    std::size_t contentsBytes = 0;
};
