// A task for a java::Thread. The thread neither owns nor counts its target.
#pragma once

namespace java {

class Runnable {
public:
    virtual ~Runnable() = default;
    virtual void run() = 0;
};

} // namespace java
