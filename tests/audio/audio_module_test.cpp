#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "audio/audio.h"
#include "tests/audio/loopback.h"

using namespace wavtest;

namespace {

// Puts a file under ./data (the working directory is the build folder) for the length of a
// test, so the module's own name resolution is exercised.
class DataFile {
public:
    DataFile(const std::string& name, const Bytes& bytes) {
        createdData_ = mkdir("data", 0755) == 0;
        folder_ = "data/audio_test_" + std::to_string(getpid());
        mkdir(folder_.c_str(), 0755);
        name_ = "audio_test_" + std::to_string(getpid()) + "/" + name;
        file_ = "data/" + name_;
        FILE* f = std::fopen(file_.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ~DataFile() {
        std::remove(file_.c_str());
        rmdir(folder_.c_str());
        if (createdData_) rmdir("data");
    }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // The name the game would pass: relative to the data folder.
    String name() const { return String(name_.c_str()); }

private:
    bool createdData_ = false;
    std::string folder_, name_, file_;
};

}  // namespace

TEST(AudioModuleWithoutDevice, EveryCallIsHarmless) {
    InitAudioGlobals();
    SetAudioDevice(nullptr);
    TempDir dir;
    const std::string path = dir.write("a.wav", simpleWav(mono16(), pattern(64)));
    EXPECT_EQ(LoadSound(String(path.c_str())), nullptr);
    Sound* silent = gc_new<Sound>(nullptr);
    EXPECT_EQ(PlaySound(silent, 0, 1), 0);
    EXPECT_EQ(PlaySound(nullptr, 0, 0), 0);
    EXPECT_EQ(StopChannel(0), 0);
    EXPECT_EQ(SetChannelVolume(0, 0.5f), 0);
    EXPECT_EQ(SetChannelPan(0, -1.0f), 0);
    EXPECT_EQ(SetChannelRate(0, 2.0f), 0);
}

TEST(AudioModule, InitRegistersTheDeviceAsARootOnce) {
    InitAudioGlobals();
    const int roots = gc_root_count();
    InitAudioGlobals();
    EXPECT_EQ(gc_root_count(), roots);
    EXPECT_EQ(audio::device.get(), nullptr);
}

class AudioModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loopback_.ok());
        InitAudioGlobals();
        device_ = gc_new<gxtkAudio>();
        SetAudioDevice(device_);
    }
    void TearDown() override {
        for (int ch = 0; ch < gxtkAudio::kChannelCount; ++ch) device_->StopChannel(ch);
        for (Sound* sound : sounds_) sound->sample->Discard();
        device_->FlushDiscarded();
        EXPECT_EQ(DiscardedBufferCount(), 0u);
        SetAudioDevice(nullptr);
    }
    Sound* Keep(Sound* sound) {
        if (sound != nullptr) sounds_.push_back(sound);
        return sound;
    }

    LoopbackContext loopback_;
    gxtkAudio* device_ = nullptr;
    std::vector<Sound*> sounds_;
};

TEST_F(AudioModuleTest, LoadSoundFindsDataNamesAndPlaySoundStartsTheChannel) {
    DataFile file("hit.wav", simpleWav(mono16(), sineData(kMixRate, 440, kMixRate, 0.5)));
    Sound* sound = Keep(LoadSound(file.name()));
    ASSERT_NE(sound, nullptr);
    ASSERT_NE(sound->sample.get(), nullptr);
    EXPECT_TRUE(alIsBuffer(sound->sample->buffer));

    SetChannelVolume(5, 0.5f);
    SetChannelPan(5, 1.0f);
    SetChannelRate(5, 0.5f);
    EXPECT_EQ(PlaySound(sound, 5, 0), 0);
    EXPECT_EQ(device_->ChannelState(5), 1);
    EXPECT_EQ(device_->channels[5].sample.get(), sound->sample.get());
    ALfloat gain = 0, pitch = 0;
    alGetSourcef(device_->channels[5].source, AL_GAIN, &gain);
    alGetSourcef(device_->channels[5].source, AL_PITCH, &pitch);
    EXPECT_FLOAT_EQ(gain, 0.5f);
    EXPECT_FLOAT_EQ(pitch, 0.5f);

    StopChannel(5);
    EXPECT_EQ(device_->ChannelState(5), 0);
}

TEST_F(AudioModuleTest, MissingOrUnsupportedFilesGiveNoSound) {
    EXPECT_EQ(LoadSound(T("no_such_folder/none.wav")), nullptr);
    DataFile mp3("song.mp3", simpleWav(mono16(), pattern(64)));
    EXPECT_EQ(LoadSound(mp3.name()), nullptr);
}

TEST_F(AudioModuleTest, PlayingASoundWhoseSampleWasDroppedDoesNothing) {
    Sound* empty = gc_new<Sound>(nullptr);
    EXPECT_EQ(PlaySound(empty, 3, 0), 0);
    EXPECT_EQ(device_->channels[3].source, 0u);
    EXPECT_EQ(device_->ChannelState(3), 0);
}
