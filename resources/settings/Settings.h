// The user's options, kept in the registry below the root the property files name: full screen, the
// full-screen warning, music and effects volume, and the mark that the last run ended cleanly.
// One program-wide instance, loaded by the first getter and saved by the options code and at exit.
#pragma once

#include <string>

class Settings {
public:
    static Settings& instance();

    Settings() = default;
    // Saves what this run loaded. A run that never read the options (one that only checked for
    // updates, say) leaves the stored ones alone instead of overwriting them with the defaults.
    virtual ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Reads the options once; throws "ERROR - Can't read from registry.\n" without a root.
    virtual void load();
    // Writes the options and marks the run as ended cleanly; throws
    // "ERROR - Can't write to registry.\n" without a root.
    virtual void save();

    virtual std::string registryRoot() const { return root; }
    // An empty root switches registry use off.
    virtual void setRegistryRoot(const std::string& newRoot);
    virtual void setNoRegistry(int flag) { noRegistry = flag; }

    virtual int getFullscreen();
    virtual int getFullscreenWarning();
    virtual int getMusicVolume();
    virtual int getSfxVolume();
    virtual void setFullscreen(int on) { fullscreen = on; }
    virtual void setFullscreenWarning(int on) { fullscreenWarning = on; }
    // Volumes are 0..255; anything above, read as unsigned (so negatives too), becomes 255.
    virtual void setMusicVolume(int volume);
    virtual void setSfxVolume(int volume);

private:
    std::string root;
    int loaded = 0;
    int noRegistry = 0;
    int fullscreen = 0;
    int musicVolume = 128;
    int sfxVolume = 255;
    int fullscreenWarning = 1;
    int shutdownMark = 1;
};
