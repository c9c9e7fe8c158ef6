#include "frontend/app/GameMain.h"

int main(int argc, char** argv)
{
    return GameMain(std::vector<std::string>(argv, argv + argc));
}
