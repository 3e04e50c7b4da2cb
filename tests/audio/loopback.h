// An OpenAL context on a loopback device: nothing plays in real time, the mix advances only
// when a test renders frames, so source states change exactly when the test says.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "tests/audio/wav_bytes.h"

namespace wavtest {

constexpr int kMixRate = 44100;

class LoopbackContext {
public:
    LoopbackContext() {
        if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return;
        auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        render_ = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
            alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        if (open == nullptr || render_ == nullptr) return;
        device_ = open(nullptr);
        if (device_ == nullptr) return;
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_SHORT_SOFT,
                                     ALC_FREQUENCY,
                                     kMixRate,
                                     0};
        context_ = alcCreateContext(device_, attributes);
        if (context_ != nullptr) alcMakeContextCurrent(context_);
    }
    ~LoopbackContext() {
        alcMakeContextCurrent(nullptr);
        if (context_ != nullptr) alcDestroyContext(context_);
        if (device_ != nullptr) alcCloseDevice(device_);
    }
    LoopbackContext(const LoopbackContext&) = delete;
    LoopbackContext& operator=(const LoopbackContext&) = delete;

    bool ok() const { return context_ != nullptr; }

    // Mixes `frames` stereo frames; returns them interleaved left, right.
    std::vector<int16_t> Render(int frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        render_(device_, out.data(), frames);
        return out;
    }

private:
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    LPALCRENDERSAMPLESSOFT render_ = nullptr;
};

inline double channelRms(const std::vector<int16_t>& stereo, int channel) {
    double sum = 0;
    size_t count = 0;
    for (size_t i = channel; i < stereo.size(); i += 2) {
        sum += static_cast<double>(stereo[i]) * stereo[i];
        ++count;
    }
    return count == 0 ? 0 : std::sqrt(sum / count);
}

inline Format mono16(int rate = kMixRate) {
    Format f;
    f.channels = 1;
    f.bits = 16;
    f.rate = rate;
    return f;
}

}  // namespace wavtest
