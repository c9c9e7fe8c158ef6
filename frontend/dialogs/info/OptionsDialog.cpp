#include "frontend/dialogs/info/OptionsDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/sound/SoundManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "resources/settings/Settings.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/Slider.h"

#include <tinyxml.h>

namespace {

// The slider background is drawn under the slider: the next child goes back up over it.
constexpr float kSliderBackLift = 43.0f;

Slider* createSlider(const std::string& id)
{
    Sprite* made = nullptr;
    if (const TiXmlElement* element = findLayoutElement(id))
        made = createSpriteFromXml(element);
    if (made && made->isKindOf(&Slider::classRecord))
        return static_cast<Slider*>(made);
    if (made) {
        made->addRef();
        made->setObsolete(true);
        made->release();
    }
    auto* slider = new Slider;
    slider->setName(id);
    slider->setSize(200, 20);
    return slider;
}

SoundManager* sounds()
{
    Application* app = Application::instance();
    return app ? app->getSoundManager() : nullptr;
}

Screen* screen()
{
    Application* app = Application::instance();
    return app ? app->getScreen() : nullptr;
}

bool displayWindowed()
{
    Screen* s = screen();
    return s ? s->isWindowed() != 0 : true;
}

int toVolume(float value)
{
    const int volume = static_cast<int>(value * 255.0f);
    return volume < 0 ? 0 : volume > 255 ? 255 : volume;
}

} // namespace

OptionsDialog::OptionsDialog()
    : GameDialog({"DIALOG_OPTIONS", "IMAGE_DIALOG_SETTINGS", "IMAGE_DIALOG_BOTTOM_SMALL", 0, 0, 350, true})
{
    addLabel(layoutString("STRING_SETTINGS_SOUND"), "LABEL_SLIDER");
    addBelow(createImageSprite("IMAGE_SLIDER_BACK"));
    moveReference(0, -kSliderBackLift);
    sfxSlider = createSlider("SLIDER_SOUNDFX");
    sfxSlider->addRef();
    addBelow(sfxSlider);
    addTooltip(sfxSlider);

    PixelFontLabel* musicCaption = addLabel(layoutString("STRING_SETTINGS_MUSIC"), "LABEL_SLIDER");
    musicCaption->setSize(musicCaption->getWidth(), musicCaption->getHeight() + 1);
    addBelow(createImageSprite("IMAGE_SLIDER_BACK"));
    moveReference(0, -kSliderBackLift);
    musicSlider = createSlider("SLIDER_MUSIC");
    musicSlider->addRef();
    addBelow(musicSlider);
    addTooltip(musicSlider);

    fullScreenToggle = makeButton("TOGGLE_FULL_SCREEN");
    fullScreenToggle->addRef();
    addBelow(createLabeledControl(layoutString("STRING_FULLSCREEN_TOGGLE"), findLayoutElement("LABEL_TOGGLE"),
                                  fullScreenToggle, this));
    hintsToggle = makeButton("TOGGLE_SHOW_HINTS");
    hintsToggle->addRef();
    addBelow(createLabeledControl(layoutString("STRING_SHOWHINTS_TOGGLE"), findLayoutElement("LABEL_TOGGLE"),
                                  hintsToggle, this));

    addButton("BUTTON_INFO");
    addButtonRow({"BUTTON_OK", "BUTTON_CANCEL"});
    loadVolumes();
    finish();
}

OptionsDialog::~OptionsDialog()
{
    for (Sprite* held : {static_cast<Sprite*>(sfxSlider), static_cast<Sprite*>(musicSlider),
                         static_cast<Sprite*>(fullScreenToggle), static_cast<Sprite*>(hintsToggle)})
        if (held)
            held->release();
}

void OptionsDialog::loadVolumes()
{
    Settings& settings = Settings::instance();
    openedSfxVolume = settings.getSfxVolume();
    openedMusicVolume = settings.getMusicVolume();
    sfxSlider->setValue(static_cast<float>(openedSfxVolume / 255.0));
    musicSlider->setValue(static_cast<float>(openedMusicVolume / 255.0));
    fullScreenToggle->setSelected(!displayWindowed());
    hintsToggle->setSelected(StatsManager::instance().areHintsEnabled());
}

void OptionsDialog::tick()
{
    Settings& settings = Settings::instance();
    SoundManager* manager = sounds();
    const int sfx = toVolume(sfxSlider->getValue());
    const int music = toVolume(musicSlider->getValue());
    if (manager) {
        manager->setSfxVolume(sfx);
        manager->setMusicVolume(music);
    }
    settings.setSfxVolume(manager ? manager->getSfxVolume() : sfx);
    settings.setMusicVolume(manager ? manager->getMusicVolume() : music);
}

bool OptionsDialog::onClick(ButtonBlit* button)
{
    const std::string& name = button->getName();
    if (name == "BUTTON_OK") {
        if (displayWindowed() == fullScreenToggle->isSelected()) {
            if (Application* app = Application::instance())
                app->toggleFullScreen();
        }
        StatsManager::instance().setHintsEnabled(hintsToggle->isSelected());
        return GameDialog::onClick(button);
    }
    if (name == "BUTTON_CANCEL") {
        Settings& settings = Settings::instance();
        SoundManager* manager = sounds();
        if (manager)
            manager->setSfxVolume(openedSfxVolume);
        settings.setSfxVolume(openedSfxVolume);
        if (manager)
            manager->setMusicVolume(openedMusicVolume);
        settings.setMusicVolume(manager ? manager->getMusicVolume() : openedMusicVolume);
        return GameDialog::onClick(button);
    }
    if (name == "TOGGLE_FULL_SCREEN") {
        // Called before the toggle flips: a selected toggle is the player asking for a window.
        Screen* s = screen();
        if (button->isSelected() && s && !s->isModeSwitchAllowed()) {
            button->setSelected(false);
            button->setState(2);
            PropertyManager* store = LayoutDocument::propertyStore();
            const std::string text = store ? store->getString("MESSAGE_24BITS") : std::string();
            FramedDialog* message = showOkDialog("24BITS_DIALOG", "IMAGE_DIALOG_HEADER_SMALL", text);
            centerOnScreen(message);
            message->setListener(this);
            if (SpriteCanvas* canvas = getCanvas())
                canvas->addSprite(message);
            else {
                message->addRef();
                message->release();
            }
        }
        return true;
    }
    if (name == "BUTTON_INFO") {
        openChild(openCreditsDialog());
        return true;
    }
    return true;
}

Dialog* openOptionsDialog()
{
    return new OptionsDialog;
}
