// OpenAL Soft's "wave" backend records the real mix to a file. It reads its configuration once
// per process, so the recording runs in a child: this test program started again with only the
// child test selected and the backend chosen through its environment.
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "tests/audio/wav_bytes.h"

extern char** environ;

using namespace wavtest;

namespace {

constexpr const char* kToneVariable = "VEXMO_WAVE_CHILD_TONE";
constexpr int kRate = 44100;

int spawnRecorder(const std::string& tone, const std::string& config) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("ALSOFT_", 0) != 0) env.push_back(entry);
    }
    env.push_back("ALSOFT_DRIVERS=wave");
    env.push_back("ALSOFT_CONF=" + config);
    env.push_back(std::string(kToneVariable) + "=" + tone);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=WaveBackendChild.*";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<int16_t> readRecordedStereo(const std::string& path) {
    std::vector<int16_t> samples;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return samples;
    Bytes file;
    unsigned char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        file.insert(file.end(), buf, buf + n);
    std::fclose(f);
    auto u32 = [&](size_t at) {
        return static_cast<size_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
                                   static_cast<uint32_t>(file[at + 3]) << 24);
    };
    for (size_t at = 12; at + 8 <= file.size(); at += 8 + u32(at + 4)) {
        if (std::memcmp(&file[at], "data", 4) != 0) continue;
        const size_t size = std::min(u32(at + 4), file.size() - at - 8);
        samples.resize(size / 2);
        std::memcpy(samples.data(), &file[at + 8], samples.size() * 2);
        break;
    }
    return samples;
}

}  // namespace

// Runs only inside the child started below.
TEST(WaveBackendChild, PlaysTheTonePannedFullyLeft) {
    const char* tone = std::getenv(kToneVariable);
    if (tone == nullptr) GTEST_SKIP() << "runs only as the wave backend recorder";
    ALCdevice* device = alcOpenDevice(nullptr);
    ASSERT_NE(device, nullptr);
    ALCcontext* context = alcCreateContext(device, nullptr);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(alcMakeContextCurrent(context));

    gxtkAudio* audio = gc_new<gxtkAudio>();
    gxtkSample* sample = audio->LoadSample(String(tone));
    ASSERT_NE(sample, nullptr);
    audio->SetPan(0, -1.0f);
    audio->PlaySample(sample, 0, 0);
    // The wave backend mixes in real time; the tone is short and we only wait for its end.
    for (int waited = 0; audio->ChannelState(0) == 1 && waited < 500; ++waited) usleep(10000);
    EXPECT_EQ(audio->ChannelState(0), 0);
    sample->Discard();
    audio->FlushDiscarded();

    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);  // finishes the recording's header
}

TEST(AudioWaveBackend, TonePannedFullyLeftIsRecordedOnTheLeftOnly) {
    TempDir dir;
    const std::string tone = dir.write("tone.wav", simpleWav(
                                                       [] {
                                                           Format f;
                                                           f.rate = kRate;
                                                           return f;
                                                       }(),
                                                       sineData(kRate / 4, 440, kRate, 0.5)));
    const std::string recording = dir.path() + "/mix.wav";
    const std::string configText =
        "[general]\nsample-type = int16\nchannels = stereo\nfrequency = 44100\n"
        "[wave]\nfile = " +
        recording + "\n";
    const std::string config = dir.write("wave.conf", Bytes(configText.begin(), configText.end()));

    ASSERT_EQ(spawnRecorder(tone, config), 0);

    // The recorder writes the extensible WAV header, which the game's loader does not accept
    // (only plain PCM), so its 16-bit stereo data chunk is found here.
    const std::vector<int16_t> stereo = readRecordedStereo(recording);
    EXPECT_GE(stereo.size() / 2, static_cast<size_t>(kRate / 4));  // the whole tone was mixed

    double left = 0, right = 0;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        left += static_cast<double>(stereo[i]) * stereo[i];
        right += static_cast<double>(stereo[i + 1]) * stereo[i + 1];
    }
    EXPECT_GT(left, 0.0);
    EXPECT_LT(right * 10000.0, left);  // at least 40 dB apart
}
