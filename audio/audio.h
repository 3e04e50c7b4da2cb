// The audio module: what the game uses to load and play sounds. Every function is harmless
// while no audio device is set (the game then runs silent).
#pragma once

#include "audio/audio_device.h"
#include "runtime/gc.h"
#include "runtime/string.h"

// A loaded sound effect or instrument sample.
class Sound : public Object {
public:
    gc_ref<gxtkSample> sample;

    explicit Sound(gxtkSample* loaded);
    void mark() override;
};

namespace audio {
// The platform audio device, set once when the application adapter is made.
extern gc_ref<gxtkAudio> device;
}  // namespace audio

// Sets the module's device to null and registers it with the collector's roots; called from
// the host's initGlobals.
void InitAudioGlobals();

int SetAudioDevice(gxtkAudio* dev);

// path is a data name such as "sfx/001.wav"; null when the file is missing or unreadable.
Sound* LoadSound(const String& path);
int PlaySound(Sound* sound, int channel, int flags = 0);
int StopChannel(int channel);
int SetChannelVolume(int channel, float volume);
int SetChannelPan(int channel, float pan);
int SetChannelRate(int channel, float rate);
