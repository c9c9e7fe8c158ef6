// Where a decoder's bytes come from: the whole input as one block of memory that is read front to
// back. Every read is checked against the size, so no decoder can step past the end.
#pragma once

#include <cstdint>
#include <string>

#include "platform/image/decode/PLIProgressNotification.h"
#include "platform/image/PLObject.h"

class PLSource : public PLObject {
public:
    explicit PLSource(PLIProgressNotification* notifier = nullptr) : notifier(notifier) {}
    PLSource(const PLSource&) = delete;
    PLSource& operator=(const PLSource&) = delete;

    virtual void close();

    // The next n bytes without consuming them. End of data (code 11) when fewer remain.
    const std::uint8_t* peek(int n) const;
    // Consumes n bytes and returns the first of them. End of data (code 11) when fewer remain.
    const std::uint8_t* read(int n);
    // The current byte, for handing the whole rest to a library.
    const std::uint8_t* data() const { return current; }

    const char* getName() const { return name.c_str(); }
    int getSize() const { return size; }
    int getConsumed() const { return consumed; }
    int getRemaining() const { return size - consumed; }
    bool isOpen() const { return opened; }

protected:
    void open(const char* sourceName, int sourceSize, const std::uint8_t* bytes);

private:
    std::string name;
    int size = 0;
    int consumed = 0;
    bool opened = false;
    const std::uint8_t* current = nullptr;
    PLIProgressNotification* notifier;
};
