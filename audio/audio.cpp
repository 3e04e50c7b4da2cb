#include "audio/audio.h"

#include "platform/data_path.h"

namespace audio {
gc_ref<gxtkAudio> device;
}  // namespace audio

Sound::Sound(gxtkSample* loaded) {
    sample = loaded;
}

void Sound::mark() {
    Object::mark();
    gc_queue(sample.get());
}

void InitAudioGlobals() {
    audio::device = nullptr;
    gc_add_root(audio::device);
}

int SetAudioDevice(gxtkAudio* dev) {
    audio::device = dev;
    return 0;
}

Sound* LoadSound(const String& path) {
    if (audio::device == nullptr) return nullptr;
    gxtkSample* sample = audio::device->LoadSample(FixDataPath(path));
    if (sample == nullptr) return nullptr;
    return gc_new<Sound>(sample);
}

int PlaySound(Sound* sound, int channel, int flags) {
    if (audio::device == nullptr || sound == nullptr || sound->sample == nullptr) return 0;
    audio::device->PlaySample(sound->sample, channel, flags);
    return 0;
}

int StopChannel(int channel) {
    if (audio::device != nullptr) audio::device->StopChannel(channel);
    return 0;
}

int SetChannelVolume(int channel, float volume) {
    if (audio::device != nullptr) audio::device->SetVolume(channel, volume);
    return 0;
}

int SetChannelPan(int channel, float pan) {
    if (audio::device != nullptr) audio::device->SetPan(channel, pan);
    return 0;
}

int SetChannelRate(int channel, float rate) {
    if (audio::device != nullptr) audio::device->SetRate(channel, rate);
    return 0;
}
