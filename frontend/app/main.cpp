#include "compat/host/CloseSignals.h"
#include "frontend/app/GameMain.h"
#include "runtime/DataDirectory.h"

int main(int argc, char** argv)
{
    compat::host::closeWindowOnTerminationSignals();
    enterDataDirectory();
    return GameMain(std::vector<std::string>(argv, argv + argc));
}
