#include "compat/host/CloseSignals.h"
#include "frontend/app/GameMain.h"

int main(int argc, char** argv)
{
    compat::host::closeWindowOnTerminationSignals();
    return GameMain(std::vector<std::string>(argv, argv + argc));
}
