#include "toolkit/scene/TransitionScene.h"

#include "platform/app/FrameTime.h"
#include "platform/surface/Surface.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "toolkit/scene/TransitionSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

TransitionScene::TransitionScene(Application* owner, const std::string& name, int width, int height, int tileWidth,
                                 int tileHeight)
    : SpriteScene(owner, name, width, height, tileWidth, tileHeight)
{
    snapshotWidth = width;
    snapshotHeight = height;
}

TransitionScene::~TransitionScene()
{
    dropTransitionCanvas();
    setTransition(nullptr);
    previousScene = nullptr;
}

void TransitionScene::setTransition(TransitionSprite* sprite)
{
    if (sprite)
        sprite->addRef();
    if (transitionSprite)
        transitionSprite->release();
    transitionSprite = sprite;
}

bool TransitionScene::cameFrom(const std::string& name) const
{
    return previousScene && previousScene->getSceneName() == name;
}

void TransitionScene::dropTransitionCanvas()
{
    running = false;
    if (transitionCanvas)
        transitionCanvas->release();
    transitionCanvas = nullptr;
}

void TransitionScene::enter()
{
    // An entry while an earlier transition still plays starts afresh.
    dropTransitionCanvas();
    // Nothing to play, or nobody to photograph: the entry is over at once.
    if (!transitionSprite || !previousScene) {
        setTransition(nullptr);
        onTransitionFinished();
        return;
    }
    Surface* previous = previousScene->takeSnapshot(getName());
    Surface* own = takeSnapshot(SelfCaller);
    transitionSprite->setImages(previous, own);
    if (previous)
        previous->release();
    if (own)
        own->release();

    transitionCanvas = new SpriteCanvas(canvas->getWidth(), canvas->getHeight(), canvas->getTileWidth(),
                                        canvas->getTileHeight());
    transitionCanvas->addRef();
    transitionSprite->setName(getName() + " TRANSITION SPRITE...");
    transitionCanvas->addSprite(transitionSprite);
    running = true;
}

void TransitionScene::updateSelf(Surface* target, const FrameTime& frameInfo)
{
    if (!running) {
        SpriteScene::updateSelf(target, frameInfo);
        return;
    }
    if (transitionSprite->getState() != TransitionSprite::Finished) {
        transitionCanvas->update(frameInfo.elapsedSeconds, frameInfo.elapsedMs, frameInfo.frameRate);
        return;
    }
    running = false;
    transitionSprite->finish();
    transitionCanvas->removeSprite(transitionSprite);
    // Carries the removal out: the sprite and its pictures leave the canvas.
    transitionCanvas->update(0.0f, 0, 0.0f);
    dropTransitionCanvas();
    setTransition(nullptr);
    onTransitionFinished();
}

void TransitionScene::paint(Surface* target, const FrameTime& frameInfo)
{
    if (running && transitionCanvas) {
        if (!target)
            return;
        if (isDirty())
            transitionCanvas->invalidateAll(true);
        transitionCanvas->render(target);
        return;
    }
    SpriteScene::paint(target, frameInfo);
}

std::string TransitionScene::transitionId(const std::string& left, const std::string& entered)
{
    return "TRANSITION_" + left + "_TO_" + entered;
}

std::string TransitionScene::shortName(const std::string& sceneName)
{
    static const std::string prefix = "SCENE_";
    if (sceneName.compare(0, prefix.size(), prefix) == 0)
        return sceneName.substr(prefix.size());
    return sceneName;
}

bool TransitionScene::setTransitionFromLayout(const std::string& id)
{
    const TiXmlElement* element = findLayoutElement(id);
    if (!element) {
        DebugLog::instance().log("No transition element " + id + ": the scene is entered without a transition\n");
        setTransition(nullptr);
        return false;
    }
    Sprite* sprite = createSpriteFromXml(element);
    auto* transition = dynamic_cast<TransitionSprite*>(sprite);
    if (!transition) {
        DebugLog::instance().log("The element " + id + " builds no transition sprite: no transition\n");
        if (sprite) {
            sprite->addRef();
            sprite->release();
        }
        setTransition(nullptr);
        return false;
    }
    setTransition(transition);
    return true;
}

bool TransitionScene::chooseTransition(const std::string& previousSceneName, const std::string& entered)
{
    if (!cameFrom(previousSceneName)) {
        setTransition(nullptr);
        return false;
    }
    return setTransitionFromLayout(transitionId(shortName(previousSceneName), entered));
}
