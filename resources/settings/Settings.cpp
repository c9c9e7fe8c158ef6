#include "resources/settings/Settings.h"

#include "resources/settings/RegistryInt.h"
#include "runtime/GameException.h"

namespace {

int clampVolume(int volume)
{
    return static_cast<unsigned>(volume) > 255 ? 255 : volume;
}

// The stored options under one root. Each value is written back as it goes out of scope, so missing
// ones are stored with their defaults.
struct StoredOptions {
    StoredOptions(const std::string& root, DWORD fullscreenDefault)
        : fullscreen(root + "fullscreen", fullscreenDefault, 1, HKEY_CURRENT_USER),
          warning(root + "fullscreenwarning", 1, 1, HKEY_CURRENT_USER),
          music(root + "musicvolume", 128, 1, HKEY_CURRENT_USER),
          sfx(root + "sfxvolume", 255, 1, HKEY_CURRENT_USER),
          shutdown(root + "shutdowncorrect", 1, 1, HKEY_CURRENT_USER)
    {
    }
    RegistryInt fullscreen, warning, music, sfx, shutdown;
};

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
    // The shutdown mark reads 0 while the program runs.
    StoredOptions stored(root, 1);
    fullscreen = stored.fullscreen.get() != 0;
    fullscreenWarning = stored.warning.get() != 0;
    setMusicVolume(static_cast<int>(stored.music.get()));
    setSfxVolume(static_cast<int>(stored.sfx.get()));
    shutdownMark = static_cast<int>(stored.shutdown.get());
    // The last run did not end cleanly: full screen may be what broke it, so this run is windowed.
    if (shutdownMark == 0)
        fullscreen = 0;
    else
        stored.shutdown.set(0);
    loaded = 1;
}

void Settings::save()
{
    if (noRegistry)
        return;
    if (root.empty())
        throw GameTextException(0, "ERROR - Can't write to registry.\n");
    StoredOptions stored(root, 0);
    stored.fullscreen.set(fullscreen != 0);
    stored.warning.set(fullscreenWarning != 0);
    stored.music.set(static_cast<DWORD>(musicVolume));
    stored.sfx.set(static_cast<DWORD>(sfxVolume));
    stored.shutdown.set(1);
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
