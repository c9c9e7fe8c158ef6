// The bytes of a module resource.
#pragma once

#include "compat/win32/system/process/resources.h"
#include "platform/image/source/PLSource.h"

class PLResSource : public PLSource {
public:
    explicit PLResSource(PLIProgressNotification* notifier = nullptr) : PLSource(notifier) {}
    ~PLResSource() override;

    // type 0 means raw data (10). 0, or 4 when the resource cannot be found, loaded or locked.
    int open(HMODULE module, int id, int type);
    void close() override;

private:
    HGLOBAL resource = nullptr;
};
