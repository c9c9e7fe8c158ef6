// The sound library's channel and slot bookkeeping over the dummy audio device.
#include "compat/fmod/fmod.h"
#include "compat/fmod/testing.h"
#include "compat/host/audio/audio.h"
#include "compat/win32/system/notify/beep.h"
#include "support/TempDir.h"
#include "support/WavFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class Fmod : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        compat::testing::setAudioAvailable(true);
        testsupport::writeFile(dir.file("tone.wav"), testsupport::makeWav(0.5));
        ASSERT_TRUE(FSOUND_Init(44100, 4, FSOUND_INIT_GLOBALFOCUS));
    }
    void TearDown() override { FSOUND_Close(); }

    testsupport::TempDir dir{true};
};

TEST_F(Fmod, ChannelsRunOutAndComeBackWhenStopped)
{
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, "tone.wav", FSOUND_LOOP_NORMAL, 0, 0);
    ASSERT_NE(nullptr, sample);
    EXPECT_EQ(sample, FSOUND_Sample_Get(0));
    for (int expected = 0; expected < 4; ++expected)
        EXPECT_EQ(expected, FSOUND_PlaySound(FSOUND_FREE, sample));
    EXPECT_EQ(4, FSOUND_GetChannelsPlaying());
    EXPECT_EQ(-1, FSOUND_PlaySound(FSOUND_FREE, sample));
    EXPECT_EQ(FMOD_ERR_CHANNEL_ALLOC, FSOUND_GetError());

    EXPECT_TRUE(FSOUND_StopSound(2));
    EXPECT_EQ(2, FSOUND_PlaySound(FSOUND_FREE, sample));
    // A channel asked for by number is taken over.
    EXPECT_EQ(1, FSOUND_PlaySound(1, sample));
    EXPECT_EQ(4, FSOUND_GetChannelsPlaying());
}

TEST_F(Fmod, ReloadingASlotStopsItsOldSampleAndPausedStartsWaitForTheirVolume)
{
    FSOUND_SAMPLE* first = FSOUND_Sample_Load(0, "tone.wav", FSOUND_NORMAL, 0, 0);
    int channel = FSOUND_PlaySoundEx(FSOUND_FREE, first, nullptr, 1);
    ASSERT_EQ(0, channel);
    // Paused channels hold their channel but are not heard.
    EXPECT_EQ(0, FSOUND_GetChannelsPlaying());
    EXPECT_TRUE(FSOUND_SetVolume(channel, 100));
    EXPECT_TRUE(FSOUND_SetPaused(channel, 0));
    EXPECT_EQ(1, FSOUND_GetChannelsPlaying());
    EXPECT_EQ((100 * 128 + 127) / 255, compat::testing::deviceChannelVolume(channel));

    FSOUND_SAMPLE* second = FSOUND_Sample_Load(0, "tone.wav", FSOUND_NORMAL, 0, 0);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, FSOUND_Sample_Get(0));
    EXPECT_EQ(0, FSOUND_GetChannelsPlaying());
    EXPECT_FALSE(FSOUND_SetVolume(channel, 10));
    EXPECT_EQ(FMOD_ERR_INVALID_PARAM, FSOUND_GetError());
}

TEST_F(Fmod, SetUpCallsAreRefusedOnceStartedAndEverythingFailsAfterClose)
{
    EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_WINMM));
    EXPECT_EQ(FMOD_ERR_BUSY, FSOUND_GetError());
    ASSERT_NE(nullptr, FSOUND_Sample_Load(0, "tone.wav", FSOUND_NORMAL, 0, 0));

    FSOUND_Close();
    EXPECT_EQ(nullptr, FSOUND_Sample_Get(0));
    EXPECT_EQ(nullptr, FSOUND_Sample_Load(0, "tone.wav", FSOUND_NORMAL, 0, 0));
    EXPECT_EQ(FMOD_ERR_UNINITIALIZED, FSOUND_GetError());
    EXPECT_EQ(nullptr, FSOUND_Stream_Open("tone.wav", 0, 0, 0));
    EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_WINMM));
}

} // namespace

TEST_F(Fmod, SystemBeepsSoundOnTheirOwnChannelBesideTheGamesChannels)
{
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, "tone.wav", FSOUND_LOOP_NORMAL, 0, 0);
    ASSERT_NE(nullptr, sample);
    for (int i = 0; i < 4; ++i)
        ASSERT_GE(FSOUND_PlaySound(FSOUND_FREE, sample), 0);

    EXPECT_TRUE(MessageBeep(0x30));
    EXPECT_TRUE(compat::host::systemTonePlaying()) << "the beep needs no free game channel";
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 4) << "the beep took a game channel";
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1) << "the beep's channel is not the game's";

    EXPECT_FALSE(Beep(20, 100)) << "below what a speaker can sound";
    FSOUND_Close();
    EXPECT_FALSE(compat::host::systemTonePlaying());
    EXPECT_TRUE(MessageBeep(0x10)) << "with no device open a beep is silent, not an error";
    EXPECT_FALSE(compat::host::systemTonePlaying());
    ASSERT_TRUE(FSOUND_Init(44100, 4, FSOUND_INIT_GLOBALFOCUS));
    compat::testing::takeMessageBeeps();
}

TEST_F(Fmod, SamplesOfAnyRateLoadAndAFileThatIsNoSoundDoesNot)
{
    // The device mixes at 22050 Hz: that rate and half of it are widened directly, the others go through
    // the mixer.
    for (int rate : {22050, 44100, 32000, 11025}) {
        testsupport::writeFile(dir.file("rate.wav"), testsupport::makeWav(0.25, rate));
        FSOUND_SAMPLE* sample = FSOUND_Sample_Load(1, "rate.wav", FSOUND_NORMAL, 0, 0);
        ASSERT_NE(nullptr, sample) << rate;
        const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
        EXPECT_GE(channel, 0) << rate;
        FSOUND_StopSound(channel);
    }
    std::string cut = testsupport::makeWav(0.25);
    cut.resize(30);
    for (const std::string& bytes : {cut, std::string("not a sound at all, just text")}) {
        testsupport::writeFile(dir.file("bad.wav"), bytes);
        EXPECT_EQ(nullptr, FSOUND_Sample_Load(2, "bad.wav", FSOUND_NORMAL, 0, 0));
    }
}
