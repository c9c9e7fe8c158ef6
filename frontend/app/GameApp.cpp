#include "frontend/app/GameApp.h"

#include "frontend/screens/LoadScene.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"

#include "compat/win32/timer.h"

GameApp::GameApp() : Application(1, "Quarrytide", "1.1.0", "Quarrytide", 50, 2000)
{
    Random::global().setSeed(timeGetTime());
}

int GameApp::initGame()
{
    LayoutDocument::setPropertyStore(getPropertyManager());
    LayoutDocument::loadAll(false);
    LoadScene* load = new LoadScene(this);
    addScene(load);
    switchScene(load);
    return 0;
}
