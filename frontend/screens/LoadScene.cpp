#include "frontend/screens/LoadScene.h"

#include "compat/win32/system/machine/timer.h"
#include "frontend/app/AdSdk.h"
#include "frontend/app/EntryShellLink.h"
#include "frontend/app/GameApp.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "game/screen/GameScene.h"
#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Fill.h"
#include "platform/surface/Blit.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/properties/PropertyManager.h"
#include "toolkit/component/Label.h"

namespace {

constexpr std::uint32_t background = 0xFF000000;
constexpr std::uint32_t kTitleMusicDelayMs = 3000;

void drawImage(const char* id, Surface* target, int x, int y, int width = -1)
{
    SurfaceHolder* image = ResourceManager::getImage(id);
    if (image == nullptr || image->getSurface() == nullptr)
        return;
    Surface* surface = image->getSurface();
    const int full = static_cast<int>(surface->getDesc().width);
    blitSurface(image, 0, 0, width < 0 ? full : width, static_cast<int>(surface->getDesc().height), target, x, y, nullptr);
}

// True when the picture, drawn whole at (0, 0), sets every pixel of a target of that description: it
// is at least as large, of the target's depth, and copied as it is (no colour key, mask or blending).
bool coversOpaquely(SurfaceHolder* image, const SurfaceDesc& target)
{
    Surface* surface = image != nullptr ? image->getSurface() : nullptr;
    if (surface == nullptr)
        return false;
    const SurfaceDesc& desc = surface->getDesc();
    if (desc.hasColorKey() || desc.format.bitsPerPixel != target.format.bitsPerPixel)
        return false;
    const BlitOptions* options = image->getOptions();
    if (options != nullptr && (options->flags & (BlitOptions::BlendAlpha | BlitOptions::BlendMask)) != 0)
        return false;
    return desc.width >= target.width && desc.height >= target.height;
}

class CatalogueSource : public LoadSource {
public:
    explicit CatalogueSource(ResourceManager& catalogue) : catalogue(catalogue) {}
    float progress() override { return catalogue.getProgress(); }
    bool isDone() override { return catalogue.isDone() != 0; }
    void step() override { catalogue.loadStep(); }

private:
    ResourceManager& catalogue;
};

} // namespace

LoadScene::LoadScene(Application* owner) : Scene(owner, "SCENE_LOAD") {}

LoadScene::~LoadScene()
{
    unregisterInput();
    if (label != nullptr)
        label->release();
}

void LoadScene::makeLabel()
{
    PropertyManager* store = getOwner()->getPropertyManager();
    BitmapFont* font = ResourceManager::getFont("FONT_SMALL");
    if (label != nullptr || store == nullptr || font == nullptr || !store->hasString("MESSAGE_LOADING_THE_GAME"))
        return;
    // The label draws its text through the font's mask, so the words lie on the picture: a plain copy
    // of the glyph cells would bring their black with them. It keeps the font's own colours: a tint
    // would colour the font's dark rim as well and thicken every letter.
    // Unbuffered: the screen is drawn whole every frame anyway, and drawn straight each letter keeps
    // its own edges where the next one's cell overlaps it.
    const LabelOptions direct(0, 0, 1);
    label = new AnimatedLabel(font, 0, Label::WrapNone, &direct);
    label->addRef();
    if (store->hasString("LABEL_LOADING_MESSAGE"))
        readTextComponentProperties(label, store->getString("LABEL_LOADING_MESSAGE"));
    label->setColourMode(Label::FontColours);
    label->setText(store->getString("MESSAGE_LOADING_THE_GAME"));
    // It does not pulse: fully shown.
    label->setSpeed(0.0f);
    label->setPhase(1.0f);
}

void LoadScene::restore()
{
    Scene::restore();
    if (label != nullptr)
        label->restore();
}

void LoadScene::begin()
{
    // The SDK answers with the logo package only when it has one: a zero or negative answer is no package.
    AdSdk& sdk = AdSdk::instance();
    sdk.initAdSdk(EntryShellLink::instance().signedOut ? 1 : 0);
    adMovieState.path[0] = '\0';
    const int answer = AdSdk::functions().queryAdEx(0, &adMovieState.sdkHandle, adMovieState.path, 0, 0);
    adMovieState.path[sizeof adMovieState.path - 1] = '\0';
    if (answer > 0) {
        std::string logo;
        std::string text;
        sdk.updateAdLogo(adMovieState.path, logo, text);
        sdk.setChosen(0, logo);
    }
    registerQuarrytideTransitionCreator();
    if (ResourceManager* catalogue = ResourceManager::instance()) {
        for (const char* id : {"IMAGE_LOADSCREEN", "IMAGE_LOADBAR", "FONT_SMALL", "FONT_TINY"})
            catalogue->loadById(id);
        catalogue->beginLoading();
    }
    Screen* screen = getOwner()->getScreen();
    const bool windowed = screen == nullptr || screen->isWindowed() != 0;
    progress = std::make_unique<LoadProgress>(windowed ? 0.1f : 1.2f);
}

void LoadScene::enter()
{
    if (!progress)
        begin();
    registerInput();
}

void LoadScene::keyPressed(int)
{
    if (progress && progress->isDone())
        requestTitle();
}

void LoadScene::mousePressed(int, int, int, int)
{
    if (progress && progress->isDone())
        requestTitle();
}

void LoadScene::leave()
{
    unregisterInput();
    if (musicStartTime != 0) {
        GameApp::playMusic("STRING_MUSIC_SELECTIONSCREEN", 0.5f);
        musicStartTime = 0;
    }
}

void LoadScene::updateSelf(Surface*, const FrameTime& frameInfo)
{
    if (musicStartTime != 0 && static_cast<std::int32_t>(timeGetTime() - musicStartTime) >= 0) {
        GameApp::playMusic("STRING_MUSIC_SELECTIONSCREEN", 0.5f);
        musicStartTime = 0;
    }
    if (!progress)
        begin();
    // The screen is entered before the input manager exists: it listens from the first frame on.
    if (isRegistered() == 0)
        registerInput();
    ResourceManager* catalogue = ResourceManager::instance();
    if (catalogue == nullptr)
        return;
    CatalogueSource source(*catalogue);
    if (progress->update(frameInfo.elapsedSeconds, source) == LoadProgress::Frame::Finished)
        finish();
}

void LoadScene::finish()
{
    Application* app = getOwner();
    app->onResourcesLoaded();
    if (app->findScene("SCENE_PLAY") == nullptr)
        app->addScene(new GameScene(app));
    playSound("SOUND_VANTREL_TUNE", 255);
    loopSound("SOUND_MINE_AMBIENCE", 255);
    musicStartTime = timeGetTime() + kTitleMusicDelayMs;
    if (musicStartTime == 0)
        musicStartTime = 1;
    requestTitle();
}

void LoadScene::requestTitle()
{
    Application* app = getOwner();
    if (Scene* title = app->findScene("SCENE_TITLE"))
        app->setPendingScene(title);
}

void LoadScene::paint(Surface* target, const FrameTime& frameInfo)
{
    if (target == nullptr)
        return;
    const SurfaceDesc& desc = target->getDesc();
    PropertyManager* store = getOwner()->getPropertyManager();
    SurfaceHolder* picture = ResourceManager::getImage("IMAGE_LOADSCREEN");
    SurfaceHolder* bar = ResourceManager::getImage("IMAGE_LOADBAR");
    makeLabel();
    PaintedFrame frame;
    frame.target = target;
    frame.picture = picture != nullptr ? picture->getSurface() : nullptr;
    frame.bar = bar != nullptr ? bar->getSurface() : nullptr;
    frame.barWidth = progress && store != nullptr && frame.bar != nullptr
                         ? progress->barWidth(static_cast<int>(frame.bar->getDesc().width))
                         : -1;
    // The loading message goes once loading is done, as the title takes over.
    frame.message = (!progress || !progress->isDone()) && label != nullptr;
    frame.number = getOwner()->getFrameCounter();
    if (keepsLastFrame(frame)) {
        painted.number = frame.number;
        return;
    }
    painted = frame;

    // The black behind the picture shows only where the picture leaves some of the screen uncovered:
    // clearing the whole screen under a full-screen picture every frame would only be written over.
    if (!coversOpaquely(picture, desc))
        fillRectClipped(target, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height),
                        desc.format.packPixel(&background));
    drawImage("IMAGE_LOADSCREEN", target, 0, 0);
    if (frame.barWidth >= 0) {
        const PointValue& at = store->getPoint("POINT_LOADINGBAR");
        drawImage("IMAGE_LOADBAR", target, at.x, at.y, frame.barWidth);
    }
    if (frame.message) {
        label->update(target, frameInfo);
        label->draw(target, frameInfo);
    }
}

bool LoadScene::keepsLastFrame(const PaintedFrame& frame)
{
    // Half the load screen's frames show what the frame before showed (a step runs, the bar moves only
    // in the next frame). The back buffer still holds that picture when the last frame drew it there,
    // nothing was lost or drawn over since, and presenting copies rather than flips the buffers; then
    // drawing it again would only write the same pixels, and the unchanged buffer costs nothing to
    // present.
    Application* app = getOwner();
    Screen* screen = app->getScreen();
    SurfaceHolder* back = screen != nullptr ? screen->getBackBuffer() : nullptr;
    const bool copiedToScreen = screen != nullptr && (screen->isWindowed() != 0 || screen->usesBlitPresent() != 0);
    return !isDirty() && copiedToScreen && app->isStatisticsOverlayOn() == 0 && back != nullptr &&
           back->getSurface() == frame.target && painted.target == frame.target &&
           painted.number + 1 == frame.number && painted.picture == frame.picture && painted.bar == frame.bar &&
           painted.barWidth == frame.barWidth && painted.message == frame.message;
}
