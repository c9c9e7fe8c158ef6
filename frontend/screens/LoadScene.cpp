#include "frontend/screens/LoadScene.h"

#include "platform/app/Application.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Fill.h"
#include "platform/surface/Blit.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/properties/PropertyManager.h"

namespace {

constexpr std::uint32_t background = 0xFF000000;

void drawImage(const char* id, Surface* target, int x, int y)
{
    SurfaceHolder* image = ResourceManager::getImage(id);
    if (image == nullptr || image->getSurface() == nullptr)
        return;
    Surface* surface = image->getSurface();
    blitSurface(image, 0, 0, static_cast<int>(surface->getDesc().width), static_cast<int>(surface->getDesc().height), target, x, y, nullptr);
}

} // namespace

LoadScene::LoadScene(Application* owner) : Scene(owner, "SCENE_LOAD") {}

void LoadScene::updateSelf(Surface*, const FrameTime&)
{
    ResourceManager* catalogue = ResourceManager::instance();
    if (finished || catalogue == nullptr)
        return;
    if (!started) {
        catalogue->beginLoading();
        started = true;
    }
    catalogue->loadStep();
    if (catalogue->isDone() == 0)
        return;
    finished = true;
    Application* app = getOwner();
    app->onResourcesLoaded();
    playSound("SOUND_VANTREL_TUNE", 255);
    loopSound("SOUND_MINE_AMBIENCE", 160);
}

void LoadScene::paint(Surface* target, const FrameTime&)
{
    if (target == nullptr)
        return;
    const SurfaceDesc& desc = target->getDesc();
    fillRectClipped(target, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height),
                    desc.format.packPixel(&background));
    if (finished)
        drawLoaded(target);
    else
        drawLoading(target);
}

void LoadScene::drawLoading(Surface* target)
{
    drawImage("IMAGE_LOADSCREEN", target, 0, 0);
    ResourceManager* catalogue = ResourceManager::instance();
    SurfaceHolder* bar = ResourceManager::getImage("IMAGE_LOADBAR");
    PropertyManager* store = getOwner()->getPropertyManager();
    if (catalogue == nullptr || bar == nullptr || bar->getSurface() == nullptr || store == nullptr)
        return;
    const PointValue& at = store->getPoint("POINT_LOADINGBAR");
    const int shown = static_cast<int>(static_cast<int>(bar->getSurface()->getDesc().width) * catalogue->getProgress() / 100.0f);
    blitSurface(bar, 0, 0, shown, static_cast<int>(bar->getSurface()->getDesc().height), target, at.x, at.y, nullptr);
}

void LoadScene::drawLoaded(Surface* target)
{
    SurfaceHolder* logo = ResourceManager::getImage("IMAGE_LOGO");
    if (logo != nullptr && logo->getSurface() != nullptr) {
        Surface* surface = logo->getSurface();
        drawImage("IMAGE_LOGO", target, (static_cast<int>(target->getDesc().width) - static_cast<int>(surface->getDesc().width)) / 2,
                  (static_cast<int>(target->getDesc().height) - static_cast<int>(surface->getDesc().height)) / 2);
    }
    BitmapFont* font = ResourceManager::getFont("FONT_SMALL");
    PropertyManager* store = getOwner()->getPropertyManager();
    if (font != nullptr && store != nullptr && store->hasString("MESSAGE_LOADING_THE_GAME"))
        font->drawString(target, 20, static_cast<int>(target->getDesc().height) - 40, store->getString("MESSAGE_LOADING_THE_GAME"));
}
