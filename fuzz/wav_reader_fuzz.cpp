// libFuzzer target: arbitrary bytes through the WAV chunk reader. Besides memory errors it
// traps when a load succeeds with a layout the audio device could not play or with more
// sample bytes than the input held.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "audio/sound_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    int length = -1;
    int channels = -1;
    int bytesPerSample = -1;
    int rate = -1;
    unsigned char* pcm = loadWavFile(file, &length, &channels, &bytesPerSample, &rate);
    std::fclose(file);
    if (pcm == nullptr) {
        if (length != -1 || channels != -1 || bytesPerSample != -1 || rate != -1) {
            __builtin_trap();  // outputs must be untouched on failure
        }
        return 0;
    }
    const bool layoutOk = (channels == 1 || channels == 2) &&
                          (bytesPerSample == 1 || bytesPerSample == 2) && rate > 0 && length >= 0;
    const unsigned long long bytes =
        static_cast<unsigned long long>(length) * channels * bytesPerSample;
    if (!layoutOk || bytes > size) __builtin_trap();
    // Touch every sample byte so a short allocation shows up under AddressSanitizer.
    volatile unsigned char sum = 0;
    for (unsigned long long i = 0; i < bytes; ++i) sum = sum + pcm[i];
    unloadSound(pcm);
    return 0;
}
