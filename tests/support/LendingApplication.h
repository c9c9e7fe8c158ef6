// An application object for tests that lend it a sound manager of their own: the application would
// delete the one it holds, so it lets go of the borrowed one before it goes.
#pragma once

#include "platform/app/Application.h"

class LendingApplication : public Application {
public:
    explicit LendingApplication(const std::string& instanceName = "QuarrytideTest")
        : Application(1, "Quarrytide", "1.1.0", instanceName, 50, 2000)
    {
    }
    ~LendingApplication() override { soundManager = nullptr; }
    void useSoundManager(SoundManager* manager) { soundManager = manager; }
};
