// The silent device: what the sound library runs on before it is opened and when no audio device
// exists. Nothing loads, so nothing can be started, and every query answers "not playing".
#include "compat/host/audio/audio.h"

namespace compat::host {
namespace {

class SilentAudioDevice : public AudioDevice {
public:
    std::unique_ptr<AudioClip> loadClip(const void*, std::size_t) override { return nullptr; }
    std::unique_ptr<AudioClip> loadClipFile(const std::string&) override { return nullptr; }
    bool play(int, AudioClip&, bool, int) override { return false; }
    void setVolume(int, int) override {}
    void setPaused(int, bool) override {}
    void stop(int) override {}
    bool isPlaying(int) override { return false; }
    std::unique_ptr<AudioMusic> openMusic(const std::string&) override { return nullptr; }
    bool playMusic(AudioMusic&, bool) override { return false; }
    void setMusicVolume(int) override {}
    void stopMusic() override {}
    bool isMusicPlaying() override { return false; }
};

} // namespace

std::unique_ptr<AudioDevice> silentAudioDevice() { return std::make_unique<SilentAudioDevice>(); }

} // namespace compat::host
