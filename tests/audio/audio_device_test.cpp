#include "audio/audio_device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/audio.h"
#include "runtime/gc.h"
#include "tests/audio/loopback.h"

using namespace wavtest;

namespace {

constexpr int kShortFrames = 100;      // ends within one render call
constexpr int kLongFrames = kMixRate;  // one second: still playing after any render here

// Completes a collection cycle and destroys what it found unreachable. A cycle only ends in a
// sweep when there is some garbage, so one throwaway object is made first. An object that was
// reached in the previous cycle needs two of these to go.
void fullCollection() {
    gc_new<Object>();
    gc_mark();
    gc_force_sweep = true;
    gc_collect();
}

class AudioDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loopback_.ok()) << "OpenAL Soft's loopback device is needed";
        audio_ = gc_new<gxtkAudio>();
    }

    void TearDown() override {
        for (int ch = 0; ch < gxtkAudio::kChannelCount; ++ch) audio_->StopChannel(ch);
        for (gxtkSample* sample : loaded_) sample->Discard();
        audio_->FlushDiscarded();
        // Names must not outlive this context: a later context reuses them.
        EXPECT_EQ(DiscardedBufferCount(), 0u);
    }

    gxtkSample* Load(const Bytes& wav) {
        const std::string path = dir_.write("s" + std::to_string(loaded_.size()) + ".wav", wav);
        gxtkSample* sample = audio_->LoadSample(String(path.c_str()));
        if (sample != nullptr) loaded_.push_back(sample);
        return sample;
    }
    gxtkSample* LoadShort() {
        return Load(simpleWav(mono16(), sineData(kShortFrames, 440, kMixRate, 0.5)));
    }
    gxtkSample* LoadLong() {
        return Load(simpleWav(mono16(), sineData(kLongFrames, 440, kMixRate, 0.5)));
    }

    ALint SourceInt(int channel, ALenum what) const {
        ALint value = -1;
        alGetSourcei(audio_->channels[channel].source, what, &value);
        return value;
    }
    ALint SourceState(int channel) const { return SourceInt(channel, AL_SOURCE_STATE); }

    LoopbackContext loopback_;
    TempDir dir_;
    gxtkAudio* audio_ = nullptr;
    std::vector<gxtkSample*> loaded_;
};

}  // namespace

TEST_F(AudioDeviceTest, ConstructionTurnsTheDistanceModelOff) {
    EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_NONE);
}

TEST_F(AudioDeviceTest, LoadedSampleFillsOneBufferAndRequestsASweep) {
    gc_force_sweep = false;
    const Bytes stereo = simpleWav(
        [] {
            Format f;
            f.channels = 2;
            f.bits = 16;
            f.rate = 22050;
            return f;
        }(),
        pattern(4000));
    gxtkSample* sample = Load(stereo);
    ASSERT_NE(sample, nullptr);
    EXPECT_TRUE(gc_force_sweep);
    gc_force_sweep = false;
    ASSERT_TRUE(alIsBuffer(sample->buffer));
    ALint value = 0;
    alGetBufferi(sample->buffer, AL_FREQUENCY, &value);
    EXPECT_EQ(value, 22050);
    alGetBufferi(sample->buffer, AL_CHANNELS, &value);
    EXPECT_EQ(value, 2);
    alGetBufferi(sample->buffer, AL_BITS, &value);
    EXPECT_EQ(value, 16);
    alGetBufferi(sample->buffer, AL_SIZE, &value);
    EXPECT_EQ(value, 4000);
}

TEST_F(AudioDeviceTest, UnreadableFileGivesNoSample) {
    EXPECT_EQ(audio_->LoadSample(String((dir_.path() + "/missing.wav").c_str())), nullptr);
    EXPECT_EQ(Load(pattern(300)), nullptr);  // not a RIFF file
}

TEST_F(AudioDeviceTest, NeverUsedChannelIsStoppedAndHasNoSource) {
    EXPECT_EQ(audio_->ChannelState(5), 0);
    EXPECT_EQ(audio_->channels[5].source, 0u);
}

TEST_F(AudioDeviceTest, FinishedOneShotReadsStoppedAtTheNextQuery) {
    gxtkSample* sample = LoadShort();
    audio_->PlaySample(sample, 0, 0);
    EXPECT_EQ(audio_->ChannelState(0), 1);
    loopback_.Render(4 * kShortFrames);
    EXPECT_EQ(audio_->channels[0].state, 1);  // nobody has looked yet
    EXPECT_EQ(audio_->ChannelState(0), 0);
    EXPECT_EQ(audio_->channels[0].state, 0);
}

class AudioLoopFlags : public AudioDeviceTest, public ::testing::WithParamInterface<int> {};

TEST_P(AudioLoopFlags, AnyNonZeroFlagLoops) {
    const int flags = GetParam();
    audio_->PlaySample(LoadShort(), 4, flags);
    EXPECT_EQ(SourceInt(4, AL_LOOPING), flags != 0 ? AL_TRUE : AL_FALSE);
    loopback_.Render(10 * kShortFrames);
    EXPECT_EQ(audio_->ChannelState(4), flags != 0 ? 1 : 0);
    EXPECT_EQ(audio_->channels[4].flags, flags);
}

INSTANTIATE_TEST_SUITE_P(Flags, AudioLoopFlags, ::testing::Values(0, 1, 2));

TEST_F(AudioDeviceTest, BusyChannelCutsTheOldSampleAndStartsTheNewOneFromItsBeginning) {
    gxtkSample* first = LoadLong();
    gxtkSample* second = LoadLong();
    audio_->PlaySample(first, 7, 0);
    loopback_.Render(1000);
    EXPECT_GT(SourceInt(7, AL_SAMPLE_OFFSET), 0);
    audio_->PlaySample(second, 7, 0);
    EXPECT_EQ(SourceInt(7, AL_BUFFER), static_cast<ALint>(second->buffer));
    EXPECT_EQ(SourceInt(7, AL_SAMPLE_OFFSET), 0);
    EXPECT_EQ(SourceState(7), AL_PLAYING);
    EXPECT_EQ(audio_->channels[7].sample.get(), second);
}

TEST_F(AudioDeviceTest, PauseAndResumeOnlyActFromTheMatchingState) {
    audio_->PauseChannel(1);  // stopped: nothing happens, not even a source
    EXPECT_EQ(audio_->ChannelState(1), 0);
    EXPECT_EQ(audio_->channels[1].source, 0u);

    audio_->PlaySample(LoadLong(), 1, 0);
    audio_->ResumeChannel(1);  // playing: nothing happens
    EXPECT_EQ(audio_->ChannelState(1), 1);
    EXPECT_EQ(SourceState(1), AL_PLAYING);

    audio_->PauseChannel(1);
    EXPECT_EQ(audio_->ChannelState(1), 2);
    EXPECT_EQ(SourceState(1), AL_PAUSED);
    audio_->PauseChannel(1);  // already paused: stays paused
    EXPECT_EQ(audio_->ChannelState(1), 2);

    const ALint offset = SourceInt(1, AL_SAMPLE_OFFSET);
    loopback_.Render(2000);
    EXPECT_EQ(SourceInt(1, AL_SAMPLE_OFFSET), offset);  // a paused source does not advance

    audio_->ResumeChannel(1);
    EXPECT_EQ(audio_->ChannelState(1), 1);
    EXPECT_EQ(SourceState(1), AL_PLAYING);

    audio_->StopChannel(1);
    EXPECT_EQ(audio_->ChannelState(1), 0);
    EXPECT_EQ(SourceState(1), AL_STOPPED);
    audio_->ResumeChannel(1);  // stopped: resuming does not restart it
    EXPECT_EQ(SourceState(1), AL_STOPPED);
}

TEST_F(AudioDeviceTest, PausingAOneShotThatEndedLeavesItStopped) {
    audio_->PlaySample(LoadShort(), 2, 0);
    loopback_.Render(4 * kShortFrames);
    audio_->PauseChannel(2);
    EXPECT_EQ(audio_->channels[2].state, 0);
    EXPECT_EQ(audio_->ChannelState(2), 0);
}

TEST_F(AudioDeviceTest, SuspendPausesPlayingChannelsAndResumeKeepsGamePausedOnesPaused) {
    audio_->PlaySample(LoadLong(), 0, 1);
    audio_->PlaySample(LoadLong(), 1, 1);
    audio_->PauseChannel(1);

    audio_->OnSuspend();
    EXPECT_EQ(SourceState(0), AL_PAUSED);
    EXPECT_EQ(SourceState(1), AL_PAUSED);
    EXPECT_EQ(audio_->ChannelState(0), 1);  // still counts as playing for the game
    EXPECT_EQ(audio_->ChannelState(1), 2);

    audio_->OnResume();
    EXPECT_EQ(SourceState(0), AL_PLAYING);
    EXPECT_EQ(SourceState(1), AL_PAUSED);
    EXPECT_EQ(audio_->ChannelState(1), 2);

    audio_->ResumeChannel(1);
    EXPECT_EQ(SourceState(1), AL_PLAYING);
}

TEST_F(AudioDeviceTest, VolumePanAndRateMadeBeforeAnyPlayStayForLaterSamples) {
    audio_->SetVolume(3, 0.25f);
    audio_->SetPan(3, -1.0f);
    audio_->SetRate(3, 1.5f);
    ASSERT_NE(audio_->channels[3].source, 0u);  // the settings created the source
    audio_->PlaySample(LoadLong(), 3, 0);
    audio_->PlaySample(LoadLong(), 3, 0);
    ALfloat gain = 0, pitch = 0, x = 0, y = 1, z = 1;
    alGetSourcef(audio_->channels[3].source, AL_GAIN, &gain);
    alGetSourcef(audio_->channels[3].source, AL_PITCH, &pitch);
    alGetSource3f(audio_->channels[3].source, AL_POSITION, &x, &y, &z);
    EXPECT_FLOAT_EQ(gain, 0.25f);
    EXPECT_FLOAT_EQ(pitch, 1.5f);
    EXPECT_FLOAT_EQ(x, -1.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    EXPECT_FLOAT_EQ(z, 0.0f);
}

TEST_F(AudioDeviceTest, PanFullyLeftMixesIntoTheLeftChannelOnly) {
    audio_->SetPan(3, -1.0f);
    audio_->PlaySample(LoadLong(), 3, 0);
    const std::vector<int16_t> mix = loopback_.Render(4410);
    const double left = channelRms(mix, 0);
    const double right = channelRms(mix, 1);
    EXPECT_GT(left, 1000.0);
    EXPECT_LT(right, left / 100.0);
}

TEST_F(AudioDeviceTest, DistanceFromTheListenerDoesNotMakeASourceQuieter) {
    gxtkSample* tone = LoadLong();
    auto rightRmsAt = [&](float x) {
        audio_->SetPan(0, x);
        audio_->PlaySample(tone, 0, 0);
        const double rms = channelRms(loopback_.Render(4410), 1);
        audio_->StopChannel(0);
        return rms;
    };
    const double near = rightRmsAt(1.0f);
    const double far = rightRmsAt(50.0f);  // with any distance model this would be faint
    EXPECT_GT(near, 1000.0);
    EXPECT_NEAR(far / near, 1.0, 0.01);
}

TEST_F(AudioDeviceTest, SampleDiscardedWhilePlayingIsDeletedOnlyAfterItsSourceStops) {
    gxtkSample* sample = LoadShort();
    // Loaded up front: OpenAL reuses a deleted name for the next buffer it makes.
    gxtkSample* other = LoadShort();
    const ALuint buffer = sample->buffer;
    audio_->PlaySample(sample, 0, 0);
    sample->Discard();
    EXPECT_EQ(sample->buffer, 0u);
    EXPECT_EQ(DiscardedBufferCount(), 1u);

    audio_->FlushDiscarded();  // still playing: the buffer must stay
    EXPECT_TRUE(alIsBuffer(buffer));
    EXPECT_EQ(DiscardedBufferCount(), 1u);
    EXPECT_EQ(SourceState(0), AL_PLAYING);

    loopback_.Render(4 * kShortFrames);
    audio_->PlaySample(other, 1, 0);  // every play flushes first
    EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_EQ(DiscardedBufferCount(), 0u);
}

TEST_F(AudioDeviceTest, DiscardingTwiceQueuesTheBufferOnce) {
    gxtkSample* sample = LoadShort();
    EXPECT_EQ(sample->Discard(), 0);
    EXPECT_EQ(sample->Discard(), 0);
    EXPECT_EQ(DiscardedBufferCount(), 1u);
}

TEST_F(AudioDeviceTest, StillSoundingSampleSurvivesCollectionUntilItsChannelStops) {
    InitAudioGlobals();
    SetAudioDevice(audio_);
    gxtkSample* looping = LoadLong();
    const ALuint buffer = looping->buffer;
    audio_->PlaySample(looping, 0, 1);
    loaded_.clear();  // from here only the channel refers to the sample

    fullCollection();
    fullCollection();
    EXPECT_EQ(DiscardedBufferCount(), 0u);  // a destroyed sample would have queued its buffer
    EXPECT_EQ(looping->buffer, buffer);

    audio_->StopChannel(0);
    fullCollection();
    fullCollection();
    EXPECT_EQ(DiscardedBufferCount(), 1u);
    audio_->FlushDiscarded();
    EXPECT_FALSE(alIsBuffer(buffer));
    SetAudioDevice(nullptr);
}

TEST_F(AudioDeviceTest, OneShotThatEndedIsReleasedByTheNextCollection) {
    InitAudioGlobals();
    SetAudioDevice(audio_);
    gxtkSample* once = LoadShort();
    const ALuint buffer = once->buffer;
    audio_->PlaySample(once, 0, 0);
    loaded_.clear();
    loopback_.Render(4 * kShortFrames);

    fullCollection();
    fullCollection();
    EXPECT_EQ(audio_->channels[0].state, 0);
    EXPECT_EQ(audio_->channels[0].sample.get(), nullptr);
    EXPECT_EQ(DiscardedBufferCount(), 1u);
    audio_->FlushDiscarded();
    EXPECT_FALSE(alIsBuffer(buffer));
    SetAudioDevice(nullptr);
}

TEST_F(AudioDeviceTest, MusicPlaysOnChannel32) {
    EXPECT_EQ(audio_->PlayMusic(String((dir_.path() + "/missing.ogg").c_str()), 1), -1);
    const std::string path =
        dir_.write("music.wav", simpleWav(mono16(), sineData(kLongFrames, 220, kMixRate, 0.5)));
    EXPECT_EQ(audio_->PlayMusic(String(path.c_str()), 1), 0);
    gxtkSample* music = audio_->channels[gxtkAudio::kMusicChannel].sample;
    ASSERT_NE(music, nullptr);
    loaded_.push_back(music);
    EXPECT_EQ(audio_->MusicState(), 1);
    EXPECT_EQ(SourceInt(32, AL_LOOPING), AL_TRUE);
    audio_->SetMusicVolume(0.5f);
    ALfloat gain = 0;
    alGetSourcef(audio_->channels[32].source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.5f);
    audio_->PauseMusic();
    EXPECT_EQ(audio_->MusicState(), 2);
    audio_->ResumeMusic();
    EXPECT_EQ(audio_->MusicState(), 1);
    audio_->StopMusic();
    EXPECT_EQ(audio_->MusicState(), 0);
    EXPECT_EQ(SourceState(32), AL_STOPPED);
}

TEST_F(AudioDeviceTest, ChannelsOutsideTheTableAreIgnored) {
    gxtkSample* sample = LoadShort();
    for (const int ch : {-1, 33, 1000}) {
        EXPECT_EQ(audio_->PlaySample(sample, ch, 0), 0);
        EXPECT_EQ(audio_->ChannelState(ch), 0);
        audio_->SetVolume(ch, 0.5f);
        audio_->SetPan(ch, 1.0f);
        audio_->SetRate(ch, 2.0f);
        audio_->PauseChannel(ch);
        audio_->ResumeChannel(ch);
        audio_->StopChannel(ch);
    }
    for (const gxtkChannel& channel : audio_->channels) EXPECT_EQ(channel.source, 0u);
}

TEST(AudioDeviceWithoutContext, EveryOperationIsHarmless) {
    alcMakeContextCurrent(nullptr);
    TempDir dir;
    const std::string path =
        dir.write("a.wav", simpleWav(mono16(), sineData(kShortFrames, 440, kMixRate, 0.5)));
    gxtkAudio* audio = gc_new<gxtkAudio>();
    gxtkSample* sample = audio->LoadSample(String(path.c_str()));
    ASSERT_NE(sample, nullptr);  // decoded, but there is nowhere to put it
    EXPECT_EQ(sample->buffer, 0u);
    audio->PlaySample(sample, 0, 1);
    EXPECT_EQ(audio->ChannelState(0), 0);  // nothing can be playing
    audio->SetVolume(0, 0.5f);
    audio->SetPan(0, -1.0f);
    audio->SetRate(0, 2.0f);
    audio->PlaySample(sample, 1, 0);
    audio->PauseChannel(1);
    audio->ResumeChannel(1);
    audio->OnSuspend();
    audio->OnResume();
    audio->StopChannel(1);
    EXPECT_EQ(audio->PlayMusic(String(path.c_str()), 0), 0);
    audio->StopMusic();
    sample->Discard();
    audio->FlushDiscarded();
    EXPECT_EQ(DiscardedBufferCount(), 0u);
}
