#include "resources/settings/RegistryInt.h"
#include "resources/settings/RegistryString.h"
#include "resources/settings/Settings.h"
#include "runtime/GameException.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const char* const kRoot = "Software\\Vantrel\\Quarrytide\\";

class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override { compat::testing::setRegistryFile(dir.file("registry")); }
    void TearDown() override { compat::testing::setRegistryFile(""); }

    DWORD stored(const char* name)
    {
        RegistryInt value(std::string(kRoot) + name, 0xDEAD, 0, HKEY_CURRENT_USER);
        return value.get();
    }
    void store(const char* name, DWORD number) { RegistryInt(std::string(kRoot) + name, 0, 1).set(number); }

    testsupport::TempDir dir;
};

TEST_F(RegistrySettings, PathSplitsIntoKeyAndValueName)
{
    struct Case {
        const char* path;
        const char* key;
        const char* name;
    };
    const Case cases[] = {
        {"\\A\\B\\C\\N", "A\\B\\C", "N"},
        {"\\\\A\\B\\\\N", "A\\B", "N"},
        {"N", "", "N"},
        {"A\\", "A", ""},
    };
    for (const Case& c : cases) {
        std::string key;
        std::string name;
        splitRegistryPath(c.path, key, name);
        EXPECT_EQ(key, c.key) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

TEST_F(RegistrySettings, ValuesReadDefaultsAndAreWrittenBackWhenDestroyed)
{
    {
        RegistryString language(std::string(kRoot) + "language", "", 0, HKEY_CURRENT_USER);
        EXPECT_EQ(language.get(), "");
        RegistryInt volume(std::string(kRoot) + "musicvolume", 99, 0, HKEY_CURRENT_USER);
        EXPECT_EQ(volume.get(), 99u);
        volume.set(17);
    }
    RegistryString language(std::string(kRoot) + "language", "xx", 0, HKEY_CURRENT_USER);
    EXPECT_EQ(language.get(), "") << "the empty default was stored on destruction";
    EXPECT_EQ(stored("musicvolume"), 17u);

    // A value of the wrong type reads as the default.
    RegistryString asText(std::string(kRoot) + "musicvolume", "fallback", 0, HKEY_CURRENT_USER);
    EXPECT_EQ(asText.get(), "fallback");
}

TEST_F(RegistrySettings, RereadMakesEveryGetAskTheRegistry)
{
    RegistryInt cached(std::string(kRoot) + "x", 1, 0);
    RegistryInt live(std::string(kRoot) + "x", 1, 1);
    cached.set(5);
    store("x", 9);
    EXPECT_EQ(cached.get(), 5u);
    EXPECT_EQ(live.get(), 9u);
}

TEST_F(RegistrySettings, FirstRunGivesTheDefaultsAndMarksTheRunAsGoingOn)
{
    Settings settings;
    settings.setRegistryRoot(kRoot);
    EXPECT_EQ(settings.getFullscreen(), 1);
    EXPECT_EQ(settings.getFullscreenWarning(), 1);
    EXPECT_EQ(settings.getMusicVolume(), 128);
    EXPECT_EQ(settings.getSfxVolume(), 255);
    EXPECT_EQ(stored("fullscreen"), 1u);
    EXPECT_EQ(stored("fullscreenwarning"), 1u);
    EXPECT_EQ(stored("musicvolume"), 128u);
    EXPECT_EQ(stored("sfxvolume"), 255u);
    EXPECT_EQ(stored("shutdowncorrect"), 0u);
}

TEST_F(RegistrySettings, OptionsSurviveARestartAndACrashForcesAWindow)
{
    {
        Settings first;
        first.setRegistryRoot(kRoot);
        first.getFullscreen();
        first.setFullscreen(1);
        first.setFullscreenWarning(0);
        first.setMusicVolume(40);
        first.setSfxVolume(300);
    }  // a clean exit saves
    EXPECT_EQ(stored("shutdowncorrect"), 1u);
    EXPECT_EQ(stored("sfxvolume"), 255u);

    {
        Settings second;
        second.setRegistryRoot(kRoot);
        EXPECT_EQ(second.getFullscreen(), 1);
        EXPECT_EQ(second.getFullscreenWarning(), 0);
        EXPECT_EQ(second.getMusicVolume(), 40);
        EXPECT_EQ(stored("shutdowncorrect"), 0u);
        second.setNoRegistry(1);  // stands for a crash: nothing is saved
    }

    Settings third;
    third.setRegistryRoot(kRoot);
    EXPECT_EQ(third.getFullscreen(), 0) << "the last run did not end cleanly";
    EXPECT_EQ(third.getMusicVolume(), 40);
}

TEST_F(RegistrySettings, VolumesAboveTheRangeBecomeTheMaximum)
{
    Settings settings;
    settings.setNoRegistry(1);
    for (int volume : {300, -1, 256}) {
        settings.setMusicVolume(volume);
        settings.setSfxVolume(volume);
        EXPECT_EQ(settings.getMusicVolume(), 255) << volume;
        EXPECT_EQ(settings.getSfxVolume(), 255) << volume;
    }
    settings.setMusicVolume(0);
    EXPECT_EQ(settings.getMusicVolume(), 0);

    store("musicvolume", 1000);
    Settings loaded;
    loaded.setRegistryRoot(kRoot);
    EXPECT_EQ(loaded.getMusicVolume(), 255);
}

TEST_F(RegistrySettings, MissingRootThrowsAndNoRegistryLeavesTheStoreAlone)
{
    Settings settings;
    try {
        settings.getMusicVolume();
        FAIL() << "no exception";
    } catch (const GameTextException& e) {
        EXPECT_STREQ(e.getText(), "ERROR - Can't read from registry.\n");
    }
    try {
        settings.save();
        FAIL() << "no exception";
    } catch (const GameTextException& e) {
        EXPECT_STREQ(e.getText(), "ERROR - Can't write to registry.\n");
    }

    Settings off;
    off.setRegistryRoot("");
    EXPECT_EQ(off.getFullscreen(), 0);
    EXPECT_EQ(off.getMusicVolume(), 128);
    off.save();
    EXPECT_EQ(stored("musicvolume"), 0xDEADu) << "nothing written";
}

TEST_F(RegistrySettings, ARunThatNeverReadTheOptionsDoesNotOverwriteThem)
{
    store("musicvolume", 12);
    store("fullscreen", 1);
    {
        Settings settings;
        settings.setRegistryRoot(kRoot);
    }
    EXPECT_EQ(stored("musicvolume"), 12u);
    EXPECT_EQ(stored("fullscreen"), 1u);
}

} // namespace
