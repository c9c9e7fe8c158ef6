#include "frontend/screens/LoadScene.h"

#include "compat/win32/system/machine/timer.h"
#include "frontend/app/AdSdk.h"
#include "frontend/app/EntryShellLink.h"
#include "frontend/app/GameApp.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "frontend/screens/TitleScene.h"
#include "frontend/screens/TreasureScene.h"
#include "game/screen/GameScene.h"
#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Fill.h"
#include "platform/surface/Blit.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/properties/PropertyManager.h"
#include "toolkit/component/AnimationComponent.h"
#include "toolkit/component/Label.h"

namespace {

constexpr std::uint32_t background = 0xFF000000;
constexpr std::uint32_t kTitleMusicDelayMs = 3000;

void drawImage(const char* id, Surface* target, int x, int y)
{
    SurfaceHolder* image = ResourceManager::getImage(id);
    if (image == nullptr || image->getSurface() == nullptr)
        return;
    Surface* surface = image->getSurface();
    blitSurface(image, 0, 0, static_cast<int>(surface->getDesc().width), static_cast<int>(surface->getDesc().height),
                target, x, y, nullptr);
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

LoadScene::LoadScene(Application* owner) : Scene(owner, "SCENE_LOAD")
{
    snapshotWidth = owner != nullptr ? owner->getWidth() : 640;
    snapshotHeight = owner != nullptr ? owner->getHeight() : 480;
}

LoadScene::~LoadScene()
{
    unregisterInput();
    if (label != nullptr)
        label->release();
    if (bar != nullptr)
        bar->release();
}

void LoadScene::onAdded()
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
    makeLabel();
    makeBar();
    Screen* screen = getOwner()->getScreen();
    const bool windowed = screen == nullptr || screen->isWindowed() != 0;
    progress = std::make_unique<LoadProgress>(windowed ? 0.1f : 1.2f);
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

void LoadScene::makeBar()
{
    PropertyManager* store = getOwner()->getPropertyManager();
    SurfaceHolder* image = ResourceManager::getImage("IMAGE_LOADBAR");
    if (bar != nullptr || store == nullptr || image == nullptr || image->getSurface() == nullptr)
        return;
    const SurfaceDesc& desc = image->getSurface()->getDesc();
    barFullWidth = static_cast<int>(desc.width);
    barFullHeight = static_cast<int>(desc.height);
    bar = new AnimationComponent(image, 0, 0, 0, 0, 1, AnimationComponent::VerticalStrip);
    bar->addRef();
    const PointValue& at = store->getPoint("POINT_LOADINGBAR");
    bar->setPosition(at);
    bar->setClipped(true);
    bar->setSize(barFullWidth, barFullHeight);
    // The clip rectangle is the part of the bar that is uncovered: none until a step moves the
    // percentage.
    bar->getClipRect().set(at.x, at.y, 0, barFullHeight);
}

void LoadScene::showProgress()
{
    if (label != nullptr) {
        PropertyManager* store = getOwner()->getPropertyManager();
        label->setText(store->getString("MESSAGE_LOADING_THE_GAME"));
    }
    if (bar == nullptr)
        return;
    // The bar uncovers its image from the left.
    const int width = progress->barWidth(barFullWidth);
    bar->setSize(width, barFullHeight);
    bar->getClipRect().width = width;
    bar->setDirty(true);
}

void LoadScene::restoreLost()
{
    if (SurfaceHolder* picture = ResourceManager::getImage("IMAGE_LOADSCREEN"))
        picture->check();
}

void LoadScene::enter()
{
    for (Component* part : {static_cast<Component*>(label), static_cast<Component*>(bar)})
        if (part != nullptr && part->getParent() != this)
            addChild(part);
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

void LoadScene::startTitleMusic()
{
    GameApp::playMusic("STRING_MUSIC_SELECTIONSCREEN", 0.5f);
    musicStartTime = 0;
}

void LoadScene::leave()
{
    if (musicStartTime != 0)
        startTitleMusic();
    unregisterInput();
}

void LoadScene::updateSelf(Surface*, const FrameTime& frameInfo)
{
    if (musicStartTime != 0 && static_cast<std::int32_t>(timeGetTime() - musicStartTime) >= 0)
        startTitleMusic();
    // A screen entered before the input manager existed listens from its first frame on.
    if (isRegistered() == 0)
        registerInput();
    ResourceManager* catalogue = ResourceManager::instance();
    if (catalogue == nullptr || !progress)
        return;
    CatalogueSource source(*catalogue);
    switch (progress->update(frameInfo.elapsedSeconds, source)) {
    case LoadProgress::Frame::Moved:
        showProgress();
        break;
    case LoadProgress::Frame::Finished:
        showProgress();
        finish();
        break;
    default:
        break;
    }
}

void LoadScene::finish()
{
    // The screens that need the whole catalogue and the player's data exist from here on.
    Application* app = getOwner();
    app->onResourcesLoaded();
    app->addScene(new TitleScene(app));
    app->addScene(new GameScene(app));
    app->addScene(new TreasureScene(app));
    playSound("SOUND_VANTREL_TUNE", 255);
    loopSound("SOUND_MINE_AMBIENCE", 255);
    musicStartTime = timeGetTime() + kTitleMusicDelayMs;
    if (musicStartTime == 0)
        musicStartTime = 1;
    if (label != nullptr)
        label->setVisible(false);
    requestTitle();
}

void LoadScene::requestTitle()
{
    Application* app = getOwner();
    Scene* title = app->findScene("SCENE_TITLE");
    if (auto* screen = dynamic_cast<TransitionScene*>(title))
        screen->setPreviousScene(this);
    if (title != nullptr)
        app->setPendingScene(title);
}

Surface* LoadScene::takeSnapshot(const std::string&)
{
    IDirectDraw4* display = ResourceManager::getDirectDraw();
    if (display == nullptr)
        return nullptr;
    DirectDrawSurface* picture = createDirectDrawSurface(display, static_cast<std::uint32_t>(snapshotWidth),
                                                         static_cast<std::uint32_t>(snapshotHeight));
    if (picture == nullptr)
        return nullptr;
    picture->addRef();
    // Drawn whole, past the check that keeps the back buffer's last frame.
    Scene::draw(picture, FrameTime());
    return picture;
}

void LoadScene::draw(Surface* target, const FrameTime& frameInfo)
{
    if (target == nullptr || !isEnabled() || !isVisible())
        return;
    PaintedFrame frame;
    frame.target = target;
    SurfaceHolder* picture = ResourceManager::getImage("IMAGE_LOADSCREEN");
    frame.picture = picture != nullptr ? picture->getSurface() : nullptr;
    SurfaceHolder* barImage = bar != nullptr ? bar->getImage() : nullptr;
    frame.bar = barImage != nullptr ? barImage->getSurface() : nullptr;
    frame.barWidth = bar != nullptr && bar->getParent() == this ? bar->getClipRect().width : -1;
    frame.message = label != nullptr && label->isVisible() && label->getParent() == this;
    frame.number = getOwner()->getFrameCounter();
    if (keepsLastFrame(frame)) {
        painted.number = frame.number;
        return;
    }
    painted = frame;
    Scene::draw(target, frameInfo);
}

void LoadScene::paint(Surface* target, const FrameTime&)
{
    if (target == nullptr)
        return;
    const SurfaceDesc& desc = target->getDesc();
    SurfaceHolder* picture = ResourceManager::getImage("IMAGE_LOADSCREEN");
    // The black behind the picture shows only where the picture leaves some of the screen uncovered:
    // clearing the whole screen under a full-screen picture every frame would only be written over.
    if (!coversOpaquely(picture, desc))
        fillRectClipped(target, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height),
                        desc.format.packPixel(&background));
    drawImage("IMAGE_LOADSCREEN", target, 0, 0);
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
