#include "audio/audio_device.h"
#include "graphics/renderer.h"
#include "host/app_host.h"
#include "input/input_device.h"

gxtkGraphics* NewGraphicsDevice() {
    return gc_new<gxtkGraphics>();
}
gxtkInput* NewInputDevice() {
    return gc_new<gxtkInput>();
}
gxtkAudio* NewAudioDevice() {
    return gc_new<gxtkAudio>();
}
