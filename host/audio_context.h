// The game's OpenAL context: what it asks of the device besides the defaults.
#pragma once

#include <AL/alc.h>

#include <vector>

// The attributes for the game's context, 0-terminated, after `base` (a loopback device's format,
// say). Where OpenAL Soft's output limiter exists it is asked for: a crowded moment (many hit
// sounds over the music, every volume as set) is then compressed just below full scale instead
// of clipping. OpenAL Soft turns the limiter on by itself only for integer output; a float
// device (PulseAudio, PipeWire) would clip.
std::vector<ALCint> AudioContextAttributes(ALCdevice* device, const std::vector<ALCint>& base = {});

// Creates the context with those attributes; an implementation that refuses them gets a second
// try with `base` alone. Null when the device makes no context at all.
ALCcontext* CreateAudioContext(ALCdevice* device, const std::vector<ALCint>& base = {});
