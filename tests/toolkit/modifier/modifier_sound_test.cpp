// The sound modifier plays through the application's sound manager (SDL's dummy audio device), in the
// frame in which the blocking modifier in front of it finishes.
#include "compat/fmod/testing.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/modifier/ModifierTestSupport.h"

#include "support/TempDir.h"
#include "support/WavFixture.h"

#include <cstdlib>

namespace {

class SoundApp : public Application {
public:
    SoundApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000)
    {
        soundManager = new SoundManager(0, 44100, 32);
    }
};

TEST_F(ModifierTest, ASoundBehindABlockingDelayPlaysOnceAtFullVolumeWhenTheDelayRunsOut)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    compat::testing::setAudioAvailable(true);
    testsupport::TempDir dir{true};
    testsupport::writeFile(dir.file("click.wav"), testsupport::makeWav(0.1));
    SoundApp app;
    ASSERT_TRUE(app.getSoundManager()->isAudioAvailable());
    ASSERT_EQ(S_OK, app.getSoundManager()->loadSample(nullptr, "click.wav", 3, FSOUND_NORMAL));
    ResourceManager catalogue(0);
    catalogue.storeSound("SOUND_CLICK", 3);
    compat::testing::clearPlayedSounds();

    ModifierDelay::start(sprite, 2.0, 0);
    ModifierSound::start(sprite, "SOUND_CLICK", 0);
    frame();
    EXPECT_TRUE(compat::testing::playedSounds().empty());
    frame();
    ASSERT_EQ(compat::testing::playedSounds().size(), 1u);
    EXPECT_EQ(compat::testing::playedSounds()[0].slot, 3);
    EXPECT_EQ(compat::testing::playedSounds()[0].volume, 255);
    EXPECT_TRUE(sprite->getModifiers().empty());
    frame();
    EXPECT_EQ(compat::testing::playedSounds().size(), 1u);
}

} // namespace
