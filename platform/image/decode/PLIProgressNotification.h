// Receives how far reading a source has come, as a fraction from 0 to 1.
#pragma once

class PLIProgressNotification {
public:
    virtual ~PLIProgressNotification() = default;
    virtual void onProgress(double fraction) = 0;
};
