#include "audio/audio_device.h"

#include <climits>
#include <vector>

#include "audio/sound_loader.h"

namespace {

// Buffer names of discarded samples, deleted once no source holds them.
std::vector<ALuint> discarded;

void discardBuffer(ALuint* buffer) {
    if (*buffer == 0) return;
    discarded.push_back(*buffer);
    *buffer = 0;
}

// Without a context OpenAL leaves the answer untouched, so an unknown source reads as stopped.
ALint sourceState(ALuint source) {
    ALint state = AL_STOPPED;
    if (source != 0) alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// A channel found stopped forgets its sample, so it never points at a collected object.
void forgetStopped(gxtkChannel* channel) {
    channel->state = 0;
    channel->sample = nullptr;
}

ALenum formatFor(int channels, int bytesPerSample) {
    if (bytesPerSample == 1 && channels == 1) return AL_FORMAT_MONO8;
    if (bytesPerSample == 1 && channels == 2) return AL_FORMAT_STEREO8;
    if (bytesPerSample == 2 && channels == 1) return AL_FORMAT_MONO16;
    if (bytesPerSample == 2 && channels == 2) return AL_FORMAT_STEREO16;
    return 0;
}

}  // namespace

std::size_t DiscardedBufferCount() {
    return discarded.size();
}

gxtkSample::~gxtkSample() {
    discardBuffer(&buffer);
}

int gxtkSample::Discard() {
    discardBuffer(&buffer);
    return 0;
}

gxtkAudio::gxtkAudio() {
    ContextReady();
}

void gxtkAudio::ContextReady() {
    // Position then only pans a source and never makes it quieter.
    alDistanceModel(AL_NONE);
}

gxtkChannel* gxtkAudio::channelAt(int channel) {
    if (channel < 0 || channel >= kChannelCount) return nullptr;
    return &channels[channel];
}

ALuint gxtkAudio::sourceOf(gxtkChannel& channel) {
    if (channel.source == 0) alGenSources(1, &channel.source);
    return channel.source;
}

void gxtkAudio::mark() {
    gxtkObject::mark();
    for (gxtkChannel& channel : channels) {
        if (channel.state == 0) continue;
        if (sourceState(channel.source) == AL_STOPPED) {
            forgetStopped(&channel);
            continue;
        }
        gc_mark(channel.sample.get());
    }
}

void gxtkAudio::FlushDiscarded() {
    if (discarded.empty()) return;
    for (gxtkChannel& channel : channels) {
        if (channel.source == 0 || sourceState(channel.source) != AL_STOPPED) continue;
        alSourcei(channel.source, AL_BUFFER, 0);
        forgetStopped(&channel);
    }
    std::vector<ALuint> stillHeld;
    for (ALuint name : discarded) {
        alGetError();  // an older error must not look like this deletion failing
        alDeleteBuffers(1, &name);
        if (alGetError() != AL_NO_ERROR) stillHeld.push_back(name);
    }
    discarded.swap(stillHeld);
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, const String& path) {
    if (sample == nullptr) return nullptr;
    int length = 0;
    int channelCount = 0;
    int bytesPerSample = 0;
    int rate = 0;
    unsigned char* pcm = loadSound(path, &length, &channelCount, &bytesPerSample, &rate);
    if (pcm == nullptr) return nullptr;
    const ALenum format = formatFor(channelCount, bytesPerSample);
    const long long bytes = static_cast<long long>(length) * channelCount * bytesPerSample;
    if (format == 0 || bytes > INT_MAX) {
        unloadSound(pcm);
        return nullptr;
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (buffer != 0) alBufferData(buffer, format, pcm, static_cast<ALsizei>(bytes), rate);
    unloadSound(pcm);
    sample->Discard();  // a reused sample must not leak its old buffer
    sample->SetBuffer(buffer);
    gc_force_sweep = true;
    return sample;
}

gxtkSample* gxtkAudio::LoadSample(const String& path) {
    FlushDiscarded();
    return LoadSample__UNSAFE__(gc_new<gxtkSample>(), path);
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
    FlushDiscarded();
    gxtkChannel* chan = channelAt(channel);
    if (chan == nullptr) return 0;
    const ALuint source = sourceOf(*chan);
    const ALuint buffer = sample != nullptr ? sample->buffer : 0;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_LOOPING, flags != 0 ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
    chan->sample = sample;
    chan->flags = flags;
    chan->state = 1;
    return 0;
}

int gxtkAudio::StopChannel(int channel) {
    gxtkChannel* chan = channelAt(channel);
    if (chan == nullptr || chan->state == 0) return 0;
    alSourceStop(chan->source);
    forgetStopped(chan);
    return 0;
}

int gxtkAudio::PauseChannel(int channel) {
    gxtkChannel* chan = channelAt(channel);
    if (chan == nullptr || chan->state != 1) return 0;
    if (sourceState(chan->source) == AL_STOPPED) {
        forgetStopped(chan);
        return 0;
    }
    alSourcePause(chan->source);
    chan->state = 2;
    return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
    gxtkChannel* chan = channelAt(channel);
    if (chan == nullptr || chan->state != 2) return 0;
    alSourcePlay(chan->source);
    chan->state = 1;
    return 0;
}

int gxtkAudio::ChannelState(int channel) {
    gxtkChannel* chan = channelAt(channel);
    if (chan == nullptr) return 0;
    if (chan->state == 1 && sourceState(chan->source) == AL_STOPPED) forgetStopped(chan);
    return chan->state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
    gxtkChannel* chan = channelAt(channel);
    if (chan != nullptr) alSourcef(sourceOf(*chan), AL_GAIN, volume);
    return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
    gxtkChannel* chan = channelAt(channel);
    // The listener sits at the origin: x -1 is fully left, 1 fully right.
    if (chan != nullptr) alSource3f(sourceOf(*chan), AL_POSITION, pan, 0.0f, 0.0f);
    return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
    gxtkChannel* chan = channelAt(channel);
    if (chan != nullptr) alSourcef(sourceOf(*chan), AL_PITCH, rate);
    return 0;
}

int gxtkAudio::PlayMusic(const String& path, int flags) {
    StopMusic();
    gxtkSample* music = LoadSample(path);
    if (music == nullptr) return -1;
    PlaySample(music, kMusicChannel, flags);
    return 0;
}

int gxtkAudio::StopMusic() {
    return StopChannel(kMusicChannel);
}
int gxtkAudio::PauseMusic() {
    return PauseChannel(kMusicChannel);
}
int gxtkAudio::ResumeMusic() {
    return ResumeChannel(kMusicChannel);
}
int gxtkAudio::MusicState() {
    return ChannelState(kMusicChannel);
}
int gxtkAudio::SetMusicVolume(float volume) {
    return SetVolume(kMusicChannel, volume);
}

void gxtkAudio::OnSuspend() {
    for (gxtkChannel& channel : channels) {
        // state stays 1: these are the channels OnResume restarts.
        if (channel.state == 1 && sourceState(channel.source) == AL_PLAYING) {
            alSourcePause(channel.source);
        }
    }
}

void gxtkAudio::OnResume() {
    for (gxtkChannel& channel : channels) {
        if (channel.state == 1 && sourceState(channel.source) == AL_PAUSED) {
            alSourcePlay(channel.source);
        }
    }
}
