#include "host/audio_context.h"

// Browser OpenAL has no extension header and no limiter; the request is then left out.
#if __has_include(<AL/alext.h>)
#include <AL/alext.h>
#endif

std::vector<ALCint> AudioContextAttributes(ALCdevice* device, const std::vector<ALCint>& base) {
    std::vector<ALCint> attributes = base;
#ifdef ALC_OUTPUT_LIMITER_SOFT
    if (alcIsExtensionPresent(device, "ALC_SOFT_output_limiter")) {
        attributes.push_back(ALC_OUTPUT_LIMITER_SOFT);
        attributes.push_back(ALC_TRUE);
    }
#endif
    attributes.push_back(0);
    return attributes;
}

ALCcontext* CreateAudioContext(ALCdevice* device, const std::vector<ALCint>& base) {
    if (device == nullptr) return nullptr;
    const std::vector<ALCint> attributes = AudioContextAttributes(device, base);
    ALCcontext* context = alcCreateContext(device, attributes.data());
    if (context != nullptr || attributes.size() == base.size() + 1) return context;
    std::vector<ALCint> plain = base;
    plain.push_back(0);
    return alcCreateContext(device, plain.data());
}
