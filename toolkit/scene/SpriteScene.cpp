#include "toolkit/scene/SpriteScene.h"

#include "platform/app/FrameTime.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceFactory.h"
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
    if (!target)
        return;
    // A scene marked dirty (after a lost display the back buffer is new and empty) is painted whole,
    // not only where its sprites changed.
    if (isDirty())
        canvas->invalidateAll(true);
    canvas->render(target);
}

Surface* SpriteScene::snapshotCanvas()
{
    IDirectDraw4* display = ResourceManager::getDirectDraw();
    if (!display || !canvas)
        return nullptr;
    DirectDrawSurface* picture = createDirectDrawSurface(display, static_cast<std::uint32_t>(canvas->getWidth()),
                                                         static_cast<std::uint32_t>(canvas->getHeight()));
    if (!picture)
        return nullptr;
    picture->addRef();
    canvas->invalidateAll(true);
    canvas->render(picture);
    return picture;
}
