// The game's OpenAL context asks for OpenAL Soft's output limiter, so a crowded mix (every
// volume as set) is compressed below full scale rather than clipped, on float devices too,
// where OpenAL Soft leaves the limiter off unless asked.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "host/audio_context.h"

namespace {

constexpr int kRate = 44100;

// A loopback device that mixes to 32-bit float, where nothing clamps a sample to full scale:
// what the mixer would clip shows as a value above 1.
class FloatLoopback {
public:
    FloatLoopback() {
        if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return;
        auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        render_ = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
            alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        if (open != nullptr && render_ != nullptr) device = open(nullptr);
    }
    ~FloatLoopback() {
        alcMakeContextCurrent(nullptr);
        if (context != nullptr) alcDestroyContext(context);
        if (device != nullptr) alcCloseDevice(device);
    }
    FloatLoopback(const FloatLoopback&) = delete;
    FloatLoopback& operator=(const FloatLoopback&) = delete;

    static std::vector<ALCint> Format() {
        return {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                ALC_FLOAT_SOFT,           ALC_FREQUENCY,   kRate};
    }
    bool Use(ALCcontext* made) {
        context = made;
        return context != nullptr && alcMakeContextCurrent(context);
    }
    std::vector<float> Render(int frames) {
        std::vector<float> out(static_cast<size_t>(frames) * 2);
        render_(device, out.data(), frames);
        return out;
    }

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;

private:
    LPALCRENDERSAMPLESSOFT render_ = nullptr;
};

// Eight full-scale square waves at gain 1 in the middle: far louder together than full scale.
float PeakOfALoudMoment(FloatLoopback& loopback) {
    std::vector<int16_t> square(kRate / 2);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 50) % 2 ? 32767 : -32767;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, square.data(),
                 static_cast<ALsizei>(square.size() * sizeof(int16_t)), kRate);
    alDistanceModel(AL_NONE);
    ALuint sources[8];
    alGenSources(8, sources);
    for (const ALuint source : sources) {
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcef(source, AL_GAIN, 1.0f);
        alSourcePlay(source);
    }
    const std::vector<float> mix = loopback.Render(kRate / 4);
    alDeleteSources(8, sources);
    alDeleteBuffers(1, &buffer);
    float peak = 0;
    for (const float sample : mix) peak = std::max(peak, std::fabs(sample));
    return peak;
}

TEST(OutputLimiter, TheGamesContextAsksForIt) {
    FloatLoopback loopback;
    if (loopback.device == nullptr) GTEST_SKIP() << "no OpenAL Soft loopback device";
    if (!alcIsExtensionPresent(loopback.device, "ALC_SOFT_output_limiter")) {
        GTEST_SKIP() << "this OpenAL has no output limiter";
    }
    const std::vector<ALCint> attributes =
        AudioContextAttributes(loopback.device, FloatLoopback::Format());
    const auto at = std::find(attributes.begin(), attributes.end(), ALC_OUTPUT_LIMITER_SOFT);
    ASSERT_NE(at, attributes.end());
    EXPECT_EQ(*(at + 1), ALC_TRUE);
    EXPECT_EQ(attributes.back(), 0);

    ASSERT_TRUE(loopback.Use(CreateAudioContext(loopback.device, FloatLoopback::Format())));
    ALCint limiter = -1;
    alcGetIntegerv(loopback.device, ALC_OUTPUT_LIMITER_SOFT, 1, &limiter);
    EXPECT_EQ(limiter, ALC_TRUE);
}

TEST(OutputLimiter, ALoudMomentStaysWithinFullScale) {
    FloatLoopback plain;
    FloatLoopback game;
    if (plain.device == nullptr || game.device == nullptr) {
        GTEST_SKIP() << "no OpenAL Soft loopback device";
    }
    // Without the limiter the same moment goes well past full scale: the test is loud enough.
    std::vector<ALCint> format = FloatLoopback::Format();
    format.push_back(0);
    ASSERT_TRUE(plain.Use(alcCreateContext(plain.device, format.data())));
    EXPECT_GT(PeakOfALoudMoment(plain), 1.5f);

    ASSERT_TRUE(game.Use(CreateAudioContext(game.device, FloatLoopback::Format())));
    const float peak = PeakOfALoudMoment(game);
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);  // compressed, not silenced
}

}  // namespace
