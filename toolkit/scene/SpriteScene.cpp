#include "toolkit/scene/SpriteScene.h"

#include "platform/app/FrameTime.h"
#include "toolkit/sprite/SpriteCanvas.h"

SpriteScene::SpriteScene(Application* owner, const std::string& name, int width, int height, int tileWidth,
                         int tileHeight)
    : Scene(owner, name), canvas(new SpriteCanvas(width, height, tileWidth, tileHeight))
{
    canvas->addRef();
}

SpriteScene::~SpriteScene()
{
    if (canvas)
        canvas->release();
    canvas = nullptr;
}

void SpriteScene::updateSelf(Surface* target, const FrameTime& frameInfo)
{
    canvas->update(frameInfo.elapsedSeconds, frameInfo.elapsedMs, frameInfo.frameRate);
}

void SpriteScene::paint(Surface* target, const FrameTime& frameInfo)
{
    if (target)
        canvas->render(target);
}
