// The platform audio device over OpenAL: 33 channels, each one OpenAL source made on first use.
// Channels 0 to 31 play sounds, channel 32 plays music. Without a current OpenAL context every
// operation is a harmless no-op, so the game simply runs silent.
#pragma once

#include <AL/al.h>

#include <cstddef>

#include "platform/gxtk_object.h"
#include "runtime/gc.h"
#include "runtime/string.h"

// A sound held in one OpenAL buffer. The buffer is never deleted directly: a source may still
// be playing it, so discarding only queues it for the device's next flush.
class gxtkSample : public gxtkObject {
public:
    ALuint buffer = 0;

    gxtkSample() = default;
    explicit gxtkSample(ALuint bufferName) : buffer(bufferName) {}
    ~gxtkSample() override;

    void SetBuffer(ALuint bufferName) { buffer = bufferName; }
    virtual int Discard();
};

struct gxtkChannel {
    ALuint source = 0;  // 0 until first use, then kept for the whole run
    gc_ref<gxtkSample> sample;
    int flags = 0;  // non-zero loops
    int state = 0;  // 0 stopped, 1 playing, 2 paused, as last set or observed here
};

class gxtkAudio : public gxtkObject {
public:
    static constexpr int kChannelCount = 33;
    static constexpr int kMusicChannel = 32;

    gxtkChannel channels[kChannelCount];

    gxtkAudio();
    // Applies the device-wide settings to the current OpenAL context; the host calls it when it
    // opens the device after the first frame (the constructor's call then found no context).
    void ContextReady();

    // Keeps every still-sounding sample alive even when the game dropped it.
    void mark() override;

    virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, const String& path);
    virtual gxtkSample* LoadSample(const String& path);
    virtual int PlaySample(gxtkSample* sample, int channel, int flags);
    virtual int StopChannel(int channel);
    virtual int PauseChannel(int channel);
    virtual int ResumeChannel(int channel);
    virtual int ChannelState(int channel);
    virtual int SetVolume(int channel, float volume);
    virtual int SetPan(int channel, float pan);
    virtual int SetRate(int channel, float rate);
    virtual int PlayMusic(const String& path, int flags);
    virtual int StopMusic();
    virtual int PauseMusic();
    virtual int ResumeMusic();
    virtual int MusicState();
    virtual int SetMusicVolume(float volume);

    // Called by the host around an application suspension. Channels the game paused itself
    // stay paused across it.
    void OnSuspend();
    void OnResume();

    // Deletes the buffers of discarded samples that no source holds any more; run before
    // every load and play.
    void FlushDiscarded();

private:
    gxtkChannel* channelAt(int channel);
    ALuint sourceOf(gxtkChannel& channel);
};

// How many discarded buffers still wait for their source to let go (for diagnostics and tests).
std::size_t DiscardedBufferCount();
