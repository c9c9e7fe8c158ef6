#include "frontend/screens/TreasureScene.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/sprite/SpriteCanvas.h"

TreasureScene::TreasureScene(Application* owner) : TransitionScene(owner, "SCENE_TREASURE", 640, 480, 640, 480) {}

TreasureScene::~TreasureScene() { unregisterInput(); }

void TreasureScene::enter()
{
    if (canvas) {
        // A chest left from an earlier visit (when the screen returned to did not clear this one) goes
        // first, so only one chest is ever shown.
        canvas->removeAll();
        canvas->removeObsolete();
        SurfaceHolder* background = ResourceManager::getImage("IMAGE_TREASURESCENE_BACKGROUND");
        canvas->setBackground(background ? background->getSurface() : nullptr);
        Dialog* chest = openTreasureChestDialog();
        chest->setListener(this);
        chest->setCloseOnButton(false);
        canvas->addSprite(chest);
    }
    setTransition(nullptr);
    if (cameFrom("SCENE_TITLE"))
        setTransitionFromLayout("TRANSITION_TITLE_TO_TREASURE");
    TransitionScene::enter();
}

void TreasureScene::onTransitionFinished()
{
    if (previousScene && getOwner()) {
        if (auto* left = dynamic_cast<SpriteScene*>(getOwner()->findScene(previousScene->getSceneName()))) {
            if (SpriteCanvas* leftCanvas = left->getCanvas()) {
                leftCanvas->removeAll();
                leftCanvas->removeObsolete();
            }
        }
    }
    registerInput();
}

void TreasureScene::leave()
{
    unregisterInput();
    removeAllChildren();
}

void TreasureScene::onDialogClosed(Dialog*)
{
    Application* app = getOwner();
    Scene* title = app ? app->findScene("SCENE_TITLE") : nullptr;
    if (!title)
        return;
    if (auto* screen = dynamic_cast<TransitionScene*>(title))
        screen->setPreviousScene(this);
    app->setPendingScene(title);
}

Surface* TreasureScene::takeSnapshot(const std::string&)
{
    return snapshotCanvas();
}
