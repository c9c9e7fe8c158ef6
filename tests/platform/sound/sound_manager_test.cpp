// The sound manager over the real mixer (SDL's dummy audio driver under CTest) and in silent mode.
#include "platform/sound/SoundManager.h"

#include "compat/fmod/testing.h"
#include "runtime/DebugLog.h"
#include "runtime/containers/Buffer.h"
#include "support/TempDir.h"
#include "support/WavFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

using compat::testing::musicState;
using compat::testing::playedSounds;

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The real mixer path on SDL's dummy device, however the program is started.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        compat::testing::setAudioAvailable(true);
        compat::testing::clearPlayedSounds();
        testsupport::writeFile(dir.file("click.wav"), testsupport::makeWav(0.2));
        testsupport::writeFile(dir.file("music.wav"), testsupport::makeWav(3.0));
        logStart = DebugLog::instance().getText().size();
    }
    void TearDown() override
    {
        manager.reset();
        compat::testing::setAudioAvailable(true);
    }

    SoundManager& open()
    {
        manager = std::make_unique<SoundManager>(0, 44100, 32);
        return *manager;
    }
    std::string newLog() const { return DebugLog::instance().getText().substr(logStart); }

    testsupport::TempDir dir{true};
    std::unique_ptr<SoundManager> manager;
    std::size_t logStart = 0;
};

TEST_F(SoundManagerTest, FullVolumePlaysAtOnceAndAnyOtherStartsPausedWithItsVolume)
{
    SoundManager& sound = open();
    ASSERT_TRUE(sound.isAudioAvailable());
    ASSERT_EQ(S_OK, sound.loadSample(nullptr, "click.wav", 0, FSOUND_NORMAL));

    const struct {
        int volume;
        bool startedPaused;
    } cases[] = {{255, false}, {254, true}, {0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        compat::testing::clearPlayedSounds();
        int channel = sound.playSample(0, c.volume);
        ASSERT_GE(channel, 0);
        ASSERT_EQ(1u, playedSounds().size());
        const auto& played = playedSounds()[0];
        EXPECT_EQ(0, played.slot);
        EXPECT_EQ(channel, played.channel);
        EXPECT_EQ(c.volume, played.volume);
        EXPECT_EQ(c.startedPaused, played.startedPaused);
        EXPECT_FALSE(played.paused);
        EXPECT_EQ(FSOUND_LOOP_OFF, played.loopMode);
    }
}

TEST_F(SoundManagerTest, LoopedSoundsLoopUntilStoppedAndOneShotsDoNot)
{
    SoundManager& sound = open();
    ASSERT_EQ(S_OK, sound.loadSample(nullptr, "click.wav", 3, FSOUND_NORMAL));
    int looped = sound.playSampleLooped(3, 255);
    int once = sound.playSample(3, 255);
    ASSERT_GE(looped, 0);
    ASSERT_GE(once, 0);
    EXPECT_NE(looped, once);
    ASSERT_EQ(2u, playedSounds().size());
    EXPECT_EQ(FSOUND_LOOP_NORMAL, playedSounds()[0].loopMode);
    EXPECT_EQ(FSOUND_LOOP_OFF, playedSounds()[1].loopMode);

    EXPECT_TRUE(sound.stopSound(looped));
    EXPECT_FALSE(sound.stopSound(looped));
    EXPECT_FALSE(sound.stopSound(31));
}

TEST_F(SoundManagerTest, MissingSamplesAndFilesAreLoggedAndAnswerMinusOne)
{
    SoundManager& sound = open();
    EXPECT_EQ(-1, sound.playSample(7, 255));
    EXPECT_EQ(-1, sound.playSampleLooped(-1, 100));
    EXPECT_EQ(E_FAIL, sound.loadSample(nullptr, "sounds\\none.wav", 0, FSOUND_NORMAL));
    testsupport::writeFile(dir.file("bad.wav"), "RIFF....not a sound");
    EXPECT_EQ(E_FAIL, sound.loadSample(nullptr, "bad.wav", 1, FSOUND_NORMAL));
    EXPECT_TRUE(playedSounds().empty());
    EXPECT_EQ("ERROR: Sample not found! (7)\n"
              "ERROR: Sample not found! (-1)\n"
              "File not found sounds\\none.wav\n"
              "Unknown file format bad.wav\n",
              newLog());
}

TEST_F(SoundManagerTest, FilesOpenWithBackslashPaths)
{
    std::filesystem::create_directory(dir.file("sounds"));
    testsupport::writeFile(dir.file("sounds/step.wav"), testsupport::makeWav(0.1));
    SoundManager& sound = open();
    EXPECT_EQ(S_OK, sound.loadSample(nullptr, "sounds\\step.wav", 0, FSOUND_NORMAL));
    EXPECT_GE(sound.playSample(0, 255), 0);
}

// An archive holding one file; it can be told to fail the read.
class OneFileArchive : public Archive {
public:
    OneFileArchive(std::string name, std::string bytes, bool readFails)
        : name(std::move(name)), bytes(std::move(bytes)), readFails(readFails)
    {
    }
    bool holdsFile(const std::string& file) override { return file == name; }
    bool openFile(const std::string& file) override { return file == name; }
    bool readWhole(Buffer& buffer) override
    {
        if (readFails)
            return false;
        buffer.allocate(static_cast<unsigned>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), buffer.data);
        return true;
    }

private:
    std::string name;
    std::string bytes;
    bool readFails;
};

TEST_F(SoundManagerTest, SamplesComeFromTheArchiveWhenItHoldsThemElseFromDisk)
{
    SoundManager& sound = open();
    OneFileArchive packed("packed.wav", testsupport::makeWav(0.1), false);
    EXPECT_EQ(S_OK, sound.loadSample(&packed, "packed.wav", 0, FSOUND_NORMAL));
    EXPECT_NE(nullptr, FSOUND_Sample_Get(0));

    OneFileArchive broken("click.wav", "", true);
    EXPECT_EQ(S_OK, sound.loadSample(&broken, "click.wav", 1, FSOUND_NORMAL));
    EXPECT_NE(nullptr, FSOUND_Sample_Get(1));
}

TEST_F(SoundManagerTest, EffectsFollowTheMasterVolumeButTheMusicVolumeIsAbsolute)
{
    SoundManager& sound = open();
    ASSERT_EQ(S_OK, sound.loadSample(nullptr, "click.wav", 0, FSOUND_NORMAL));
    ASSERT_TRUE(sound.playMusic("music.wav", FSOUND_LOOP_NORMAL));
    sound.setMusicVolume(200);
    int channel = sound.playSampleLooped(0, 255);
    ASSERT_GE(channel, 0);
    EXPECT_EQ(128, compat::testing::deviceChannelVolume(channel));

    sound.setSfxVolume(0);
    EXPECT_EQ(0, compat::testing::sfxMasterVolume());
    EXPECT_EQ(0, compat::testing::deviceChannelVolume(channel));
    EXPECT_EQ(200, musicState().volume);
    EXPECT_EQ((200 * 128 + 127) / 255, compat::testing::deviceChannelVolume(sound.getMusicChannel()));
}

TEST_F(SoundManagerTest, MusicStartsOnlyWhenNoneIsOpenAndStopsOnlyWhenOpen)
{
    SoundManager& sound = open();
    EXPECT_FALSE(sound.stopMusic());
    EXPECT_FALSE(sound.playMusic("music\\missing.ogg", 0));
    EXPECT_EQ("ERROR: Can't open stream!\n", newLog());

    ASSERT_TRUE(sound.playMusic("music.wav", FSOUND_LOOP_NORMAL));
    int channel = sound.getMusicChannel();
    EXPECT_TRUE(musicState().playing);
    // Starting leaves the volume to the caller.
    EXPECT_EQ(-1, musicState().volume);

    testsupport::writeFile(dir.file("other.wav"), testsupport::makeWav(1.0));
    EXPECT_FALSE(sound.playMusic("other.wav", 0));
    EXPECT_EQ("music.wav", musicState().fileName);
    EXPECT_EQ(channel, sound.getMusicChannel());

    EXPECT_TRUE(sound.stopMusic());
    EXPECT_FALSE(musicState().playing);
    EXPECT_FALSE(sound.stopMusic());
    EXPECT_TRUE(sound.playMusic("other.wav", 0));
    EXPECT_EQ("other.wav", musicState().fileName);
}

TEST_F(SoundManagerTest, FadesMoveTheMusicVolumeFrameByFrameToTheirTarget)
{
    SoundManager& sound = open();
    ASSERT_TRUE(sound.playMusic("music.wav", FSOUND_LOOP_NORMAL));
    sound.setMusicVolume(200);
    EXPECT_EQ(200, musicState().volume);

    // From 1 to 0 in half a second: 25 frames of 20 ms, 2 % of the volume each.
    sound.fadeMusic(0.0f, 0.5f);
    sound.update(0.02f);
    EXPECT_EQ(192, musicState().volume);
    for (int frame = 2; frame <= 24; ++frame)
        sound.update(0.02f);
    EXPECT_GT(musicState().volume, 0);
    sound.update(0.02f);
    EXPECT_EQ(0.0f, sound.getFade());
    EXPECT_EQ(0, musicState().volume);

    // Reached: further frames change nothing, even a volume set behind the manager's back.
    FSOUND_SetVolumeAbsolute(sound.getMusicChannel(), 77);
    sound.update(0.02f);
    EXPECT_EQ(77, musicState().volume);

    // Back up, clamped to 1, over 2 s: half way after 50 frames.
    sound.fadeMusic(1.5f, 2.0f);
    for (int frame = 0; frame < 50; ++frame)
        sound.update(0.02f);
    EXPECT_NEAR(0.5f, sound.getFade(), 1e-4f);
    EXPECT_NEAR(100, musicState().volume, 1);
}

TEST_F(SoundManagerTest, FadesOfNoTimeOrNegativeTimeHappenAtOnce)
{
    SoundManager& sound = open();
    ASSERT_TRUE(sound.playMusic("music.wav", 0));
    sound.setMusicVolume(200);
    const struct {
        float target, seconds, fade;
    } cases[] = {{1.5f, 0.0f, 1.0f}, {0.5f, 0.0f, 0.5f}, {0.25f, -1.0f, 0.25f}, {-1.0f, -3.0f, 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        sound.fadeMusic(c.target, c.seconds);
        EXPECT_EQ(c.fade, sound.getFade());
        EXPECT_EQ(static_cast<int>(200 * c.fade), musicState().volume);
        sound.update(0.02f);
        EXPECT_EQ(c.fade, sound.getFade());
    }
}

TEST_F(SoundManagerTest, WithoutAudioTheManagerLogsWhyAndStaysSilent)
{
    compat::testing::setAudioAvailable(false);
    SoundManager& sound = open();
    EXPECT_FALSE(sound.isAudioAvailable());
    EXPECT_EQ("Error initializing output device.\n"
              "ERROR: Audio is not available.\n"
              "Error initializing output device.\n",
              newLog());

    EXPECT_EQ(E_FAIL, sound.loadSample(nullptr, "click.wav", 0, FSOUND_NORMAL));
    EXPECT_EQ(-1, sound.playSample(0, 255));
    EXPECT_EQ(-1, sound.playSampleLooped(0, 10));
    EXPECT_FALSE(sound.playMusic("music.wav", 0));
    EXPECT_FALSE(sound.stopSound(0));
    sound.setSfxVolume(10);
    sound.setMusicVolume(10);
    sound.fadeMusic(0.0f, 1.0f);
    sound.update(0.5f);
    EXPECT_TRUE(playedSounds().empty());
    EXPECT_EQ(0, FSOUND_GetChannelsPlaying());
}

TEST_F(SoundManagerTest, AnAudioDriverThatFailsMakesTheManagerSilent)
{
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SoundManager& sound = open();
    if (previous)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    EXPECT_FALSE(sound.isAudioAvailable());
    EXPECT_EQ(FMOD_ERR_INIT, FSOUND_GetError());
    EXPECT_EQ(-1, sound.playSample(0, 255));
}

TEST(FmodErrorText, NamesEveryCodeAndUnknownOnes)
{
    EXPECT_STREQ("No errors", fmodErrorText(0));
    EXPECT_STREQ("Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.", fmodErrorText(1));
    EXPECT_STREQ("Not enough memory ", fmodErrorText(12));
    EXPECT_STREQ("Required Mediaplayer codec is not installed", fmodErrorText(18));
    EXPECT_STREQ("Unknown error", fmodErrorText(19));
    EXPECT_STREQ("Unknown error", fmodErrorText(-1));
}

} // namespace
