#include "game/screen/GameScene.h"

#include "game/endless/EndlessPlayScene.h"
#include "game/field/ClassicPlayScene.h"
#include "game/field/FieldServices.h"
#include "game/field/PlayScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/AppEvent.h"
#include "platform/app/Application.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/SpriteCanvas.h"

namespace {
GameScene::PlayFieldFactory installedFactory = nullptr;
} // namespace

GameScene::GameScene(Application* owner) : TransitionScene(owner, "SCENE_PLAY", 640, 480, 640, 480) {}

GameScene::~GameScene()
{
    unregisterInput();
    dropPlayScene();
}

void GameScene::setPlayFieldFactory(PlayFieldFactory factory)
{
    installedFactory = factory;
}

PlayScene* GameScene::createGameField(GameSettings* settings)
{
    if (settings->mode == "CLASSIC")
        return new ClassicPlayScene(settings);
    if (settings->mode == "ENDLESS")
        return new EndlessPlayScene(settings);
    return nullptr;
}

int GameScene::allowedBlockSet(int blockSet)
{
    const StatsManager& stats = StatsManager::instance();
    if (blockSet >= 1 && !stats.isUnlocked(1))
        return 0;
    if (blockSet >= 2 && !stats.isUnlocked(3))
        return 1;
    return blockSet;
}

void GameScene::dropPlayScene()
{
    PlayScene* field = playScene;
    playScene = nullptr;
    if (field)
        field->release();
}

void GameScene::enter()
{
    settings.blockset = allowedBlockSet(settings.blockset);

    dropPlayScene();
    PlayScene* field = (installedFactory ? installedFactory : &GameScene::createGameField)(&settings);
    if (field) {
        field->addRef();
        playScene = field;
        canvas->addSprite(field);
    } else {
        // Nothing to play: the screen goes back to the title screen at its first frame.
        DebugLog::instance().log("No play field for the mode \"" + settings.mode + "\"\n");
    }

    if (cameFrom("SCENE_TITLE"))
        setTransitionFromLayout("TRANSITION_TITLE_TO_" + settings.mode);
    TransitionScene::enter();
}

void GameScene::onTransitionFinished()
{
    if (previousScene && getOwner()) {
        if (auto* left = dynamic_cast<SpriteScene*>(getOwner()->findScene(previousScene->getSceneName()))) {
            if (SpriteCanvas* leftCanvas = left->getCanvas()) {
                leftCanvas->removeAll();
                leftCanvas->removeObsolete();
            }
        }
    }
    if (playScene)
        playScene->start();
    registerInput();
}

void GameScene::backToTitle()
{
    Application* app = getOwner();
    Scene* title = app ? app->findScene("SCENE_TITLE") : nullptr;
    if (!title)
        return;
    if (auto* screen = dynamic_cast<TransitionScene*>(title))
        screen->setPreviousScene(this);
    app->requestScene("SCENE_TITLE");
}

void GameScene::updateSelf(Surface* target, const FrameTime& frameInfo)
{
    if (!playScene || playScene->getPhase() == PlayPhase::Leave) {
        storeGame();
        backToTitle();
        return;
    }
    TransitionScene::updateSelf(target, frameInfo);
}

void GameScene::onEvent(const AppEvent& event)
{
    if (event.id == AppEvent::DisplayLost) {
        if (playScene)
            playScene->sendEvent(PlayEvent::Pause);
        FieldServices::get().fadeMusicOut(0.5f);
    } else if (event.id == AppEvent::DisplayRegained) {
        FieldServices::get().fadeMusicIn(0.5f);
    }
}

void GameScene::storeGame()
{
    if (playScene)
        playScene->saveGame();
}

void GameScene::leave()
{
    dropPlayScene();
    unregisterInput();
    removeAllChildren();
    FieldServices::get().fadeMusicOut(2.0f);
}

Surface* GameScene::takeSnapshot(const std::string&)
{
    return snapshotCanvas();
}
