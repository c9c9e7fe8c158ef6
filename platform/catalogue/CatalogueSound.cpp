#include "platform/catalogue/CatalogueSound.h"

#include "platform/catalogue/CatalogueHost.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"

namespace {

SoundManager* hostSoundManager()
{
    CatalogueHost* host = CatalogueHost::active();
    return host ? host->catalogueSoundManager() : nullptr;
}

} // namespace

int playSound(const std::string& soundId, int volume)
{
    SoundManager* manager = hostSoundManager();
    if (!manager)
        return -1;
    return manager->playSample(ResourceManager::getSound(soundId), volume);
}

int loopSound(const std::string& soundId, int volume)
{
    SoundManager* manager = hostSoundManager();
    if (!manager)
        return -1;
    return manager->playSampleLooped(ResourceManager::getSound(soundId), volume);
}

void stopSound(int channel)
{
    SoundManager* manager = hostSoundManager();
    if (manager && channel != -1)
        manager->stopSound(channel);
}
