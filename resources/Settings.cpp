#include "resources/Settings.h"

#include "resources/RegistryInt.h"
#include "runtime/GameException.h"

namespace {

int clampVolume(int volume)
{
    return static_cast<unsigned>(volume) > 255 ? 255 : volume;
}

} // namespace

Settings& Settings::instance()
{
    static Settings settings;
    return settings;
}

Settings::~Settings()
{
    if (!loaded || noRegistry || root.empty())
        return;
    try {
        save();
    } catch (const GameException&) {
        // Nothing can be reported at process exit; the stored options stay as they were.
    }
}

void Settings::setRegistryRoot(const std::string& newRoot)
{
    if (newRoot.empty())
        setNoRegistry(1);
    root = newRoot;
}

void Settings::load()
{
    if (noRegistry || loaded)
        return;
    if (root.empty())
        throw GameTextException(0, "ERROR - Can't read from registry.\n");
    // Each value is written back as it goes out of scope, so missing ones are stored with their
    // defaults and the shutdown mark reads 0 while the program runs.
    RegistryInt storedFullscreen(root + "fullscreen", 1, 1, HKEY_CURRENT_USER);
    RegistryInt storedWarning(root + "fullscreenwarning", 1, 1, HKEY_CURRENT_USER);
    RegistryInt storedMusic(root + "musicvolume", 128, 1, HKEY_CURRENT_USER);
    RegistryInt storedSfx(root + "sfxvolume", 255, 1, HKEY_CURRENT_USER);
    RegistryInt storedShutdown(root + "shutdowncorrect", 1, 1, HKEY_CURRENT_USER);

    fullscreen = storedFullscreen.get() != 0;
    fullscreenWarning = storedWarning.get() != 0;
    setMusicVolume(static_cast<int>(storedMusic.get()));
    setSfxVolume(static_cast<int>(storedSfx.get()));
    shutdownMark = static_cast<int>(storedShutdown.get());
    // The last run did not end cleanly: full screen may be what broke it, so this run is windowed.
    if (shutdownMark == 0)
        fullscreen = 0;
    else
        storedShutdown.set(0);
    loaded = 1;
}

void Settings::save()
{
    if (noRegistry)
        return;
    if (root.empty())
        throw GameTextException(0, "ERROR - Can't write to registry.\n");
    RegistryInt storedFullscreen(root + "fullscreen", 0, 1, HKEY_CURRENT_USER);
    RegistryInt storedWarning(root + "fullscreenwarning", 1, 1, HKEY_CURRENT_USER);
    RegistryInt storedMusic(root + "musicvolume", 128, 1, HKEY_CURRENT_USER);
    RegistryInt storedSfx(root + "sfxvolume", 255, 1, HKEY_CURRENT_USER);
    RegistryInt storedShutdown(root + "shutdowncorrect", 1, 1, HKEY_CURRENT_USER);
    storedFullscreen.set(fullscreen != 0);
    storedWarning.set(fullscreenWarning != 0);
    storedMusic.set(static_cast<DWORD>(musicVolume));
    storedSfx.set(static_cast<DWORD>(sfxVolume));
    storedShutdown.set(1);
}

int Settings::getFullscreen()
{
    load();
    return fullscreen;
}

int Settings::getFullscreenWarning()
{
    load();
    return fullscreenWarning;
}

int Settings::getMusicVolume()
{
    load();
    return musicVolume;
}

int Settings::getSfxVolume()
{
    load();
    return sfxVolume;
}

void Settings::setMusicVolume(int volume)
{
    musicVolume = clampVolume(volume);
}

void Settings::setSfxVolume(int volume)
{
    sfxVolume = clampVolume(volume);
}
