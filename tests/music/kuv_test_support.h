// Test support for the music player: a private data folder with generated instruments and tune
// strips, and a harness that runs the player on the headless platform with the recording GL
// table and OpenAL's silent "null" device.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "audio/audio.h"
#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "host/random.h"
#include "music/kuv_player.h"
#include "music/kuv_strip.h"
#include "platform/platform_headless.h"

namespace kuvtest {

namespace fs = std::filesystem;

// One event field of a strip: pattern, strip (voice), row, field -> value 0..31.
using FieldKey = std::tuple<int, int, int, int>;
using StripEvents = std::map<FieldKey, int>;

inline void PutEvent(StripEvents& events, int pattern, int voice, int row, int note, int volume,
                     int command = 0, int argument = 0) {
    const int values[4] = {note, volume, command, argument};
    for (int field = 0; field < 4; ++field) {
        if (values[field] != 0) events[{pattern, voice, row, field}] = values[field];
    }
}

// A strip picture: frames of 64 x 64 laid out `columns` to a row. Fields are opaque pixels with
// the value in the top five bits of blue and a per-voice tint in red and green; everything else
// is transparent.
struct StripPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    static StripPicture Make(const StripEvents& events, int columns = 64, int frames = 64) {
        StripPicture picture;
        picture.width = columns * kuv::kFrameSide;
        picture.height = (frames + columns - 1) / columns * kuv::kFrameSide;
        picture.rgba.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
        for (const auto& [key, value] : events) {
            const auto [pattern, strip, row, field] = key;
            const int x = pattern % columns * kuv::kFrameSide + strip * kuv::kFieldCount + field;
            const int y = pattern / columns * kuv::kFrameSide + row;
            uint8_t* pixel = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            pixel[0] = static_cast<uint8_t>(40 * strip);
            pixel[1] = static_cast<uint8_t>(200 - 20 * strip);
            pixel[2] = static_cast<uint8_t>(value * 8 + 4);
            pixel[3] = 255;
        }
        return picture;
    }

    bool Save(const fs::path& path) const {
        fs::create_directories(path.parent_path());
        return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
    }
};

inline bool WriteWav(const fs::path& path, double frequency, double seconds, int rate = 22050) {
    fs::create_directories(path.parent_path());
    const int frames = static_cast<int>(seconds * rate);
    std::vector<int16_t> pcm(frames);
    for (int i = 0; i < frames; ++i) {
        pcm[i] = static_cast<int16_t>(12000.0 * std::sin(2.0 * M_PI * frequency * i / rate));
    }
    FILE* fp = std::fopen(path.c_str(), "wb");
    if (fp == nullptr) return false;
    auto u32 = [fp](uint32_t v) { std::fwrite(&v, 4, 1, fp); };
    auto u16 = [fp](uint16_t v) { std::fwrite(&v, 2, 1, fp); };
    const uint32_t dataBytes = static_cast<uint32_t>(frames) * 2;
    std::fwrite("RIFF", 1, 4, fp);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, fp);
    u32(16);
    u16(1);
    u16(1);
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate) * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, fp);
    u32(dataBytes);
    std::fwrite(pcm.data(), 2, pcm.size(), fp);
    return std::fclose(fp) == 0;
}

// A scratch working directory with a data folder, entered for the lifetime of the object.
class ScratchDataDir {
public:
    ScratchDataDir() {
        char pattern[] = "/tmp/kuv-test-XXXXXX";
        root_ = mkdtemp(pattern);
        previous_ = fs::current_path();
        fs::current_path(root_);
    }
    ~ScratchDataDir() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        fs::remove_all(root_, ignored);
    }
    fs::path Data(const std::string& name) const { return root_ / "data" / name; }

    // Kits 1..kits with 8 short one-shots each, one lead, one accompaniment, basses 1..basses.
    void WriteInstruments(int kits = 4, int basses = 4) const {
        for (int kit = 1; kit <= kits; ++kit) {
            for (int s = 1; s <= 8; ++s) {
                WriteWav(Data("inst/d" + std::to_string(kit) + "-" + std::to_string(s) + ".wav"),
                         100.0 * s, 0.05);
            }
        }
        WriteWav(Data("inst/lead1.wav"), 440.0, 1.0);
        WriteWav(Data("inst/accompany1.wav"), 220.0, 1.0);
        for (int bass = 1; bass <= basses; ++bass) {
            WriteWav(Data("inst/bass" + std::to_string(bass) + ".wav"), 55.0 * bass, 1.0);
        }
    }

private:
    fs::path root_;
    fs::path previous_;
};

// Everything the player reaches: a headless window and clock, the renderer on the recording GL
// table (whose read-back shows the strip frame last drawn, as the real GL would), and an audio
// device on OpenAL's null backend.
class Harness {
public:
    Harness() {
        setenv("ALSOFT_DRIVERS", "null", 1);
        platform.Init();
        platform.OpenWindow(640, 480, "Vexmo");
        SetCurrentPlatform(&platform);
        InitGraphicsGlobals();
        InitAudioGlobals();
        alDevice_ = alcOpenDevice(nullptr);
        if (alDevice_ != nullptr) alContext_ = alcCreateContext(alDevice_, nullptr);
        if (alContext_ != nullptr) alcMakeContextCurrent(alContext_);
        audio = gc_new<gxtkAudio>();
        SetAudioDevice(audio);
        graphics = gc_new<gxtkGraphics>();
        SetGraphicsDevice(graphics);
        recorder.frameBuffer = [this](int x, int y, int w, int h, uint8_t* out) {
            FakeReadBack(x, y, w, h, out);
        };
        player = gc_new<KuvPlayer>();
        player->Kuv_Init(32, 4, 1, 1, 4);
    }

    ~Harness() {
        for (int channel = 0; channel < gxtkAudio::kChannelCount; ++channel) {
            audio->StopChannel(channel);
        }
        // Buffer names are per device: the samples of this test must be deleted while its
        // device is open, or a later test's device would delete its own buffers of those names.
        player = nullptr;
        for (int pass = 0; pass < 3; ++pass) {
            gc_force_sweep = true;
            gc_mark();
            gc_collect();
        }
        audio->FlushDiscarded();
        SetAudioDevice(nullptr);
        SetGraphicsDevice(nullptr);
        alcMakeContextCurrent(nullptr);
        if (alContext_ != nullptr) alcDestroyContext(alContext_);
        if (alDevice_ != nullptr) alcCloseDevice(alDevice_);
        SetCurrentPlatform(nullptr);
    }

    bool HasAudio() const { return alContext_ != nullptr; }

    // Half a millisecond in, so the truncating clock reads exactly ms.
    void SetClockMillis(int ms) { platform.SetTime((ms + 0.5) / 1000.0); }
    void AdvanceMillis(int ms) { platform.SetTime(platform.Time() + ms / 1000.0); }
    int Now() const { return KuvClockMillis(); }

    // The strip the fake read-back shows; also written to data/tunes/<name>.png.
    void UseStrip(const ScratchDataDir& dir, const std::string& name, const StripEvents& events,
                  int columns = 64) {
        strip = StripPicture::Make(events, columns);
        strip.Save(dir.Data("tunes/" + name + ".png"));
    }

    // One rendered frame around the given work, as the host and the graphics module make it.
    template <class Work>
    void Render(Work work) {
        graphics->Validate();  // the host rereads the window size before every frame
        graphics->BeginRender();
        BeginRender();
        work();
        EndRender();
        graphics->EndRender();
    }

    void LoadWholeTune() {
        while (player->tuneLoadStep > 0) Render([this] { player->Kuv_Alive_R(); });
    }

    // Starts a tune and loads it completely.
    void StartAndLoad(const std::string& name, int seed, int tempo = 95) {
        player->Kuv_StartTune(T(name.c_str()), seed, tempo);
        LoadWholeTune();
    }

    // Plays the next step now.
    void PlayStepNow() {
        SetClockMillis(player->nextTick + 1);
        player->Kuv_MusicPlay();
    }

    // Sequencer voice channel state and source parameters.
    const gxtkChannel& Channel(int channel) const { return audio->channels[channel]; }
    int SourceState(int channel) const {
        ALint state = AL_INITIAL;
        if (Channel(channel).source != 0)
            alGetSourcei(Channel(channel).source, AL_SOURCE_STATE, &state);
        return state;
    }
    float Gain(int channel) const { return SourceFloat(channel, AL_GAIN); }
    float Pitch(int channel) const { return SourceFloat(channel, AL_PITCH); }
    bool Looping(int channel) const {
        ALint looping = AL_FALSE;
        if (Channel(channel).source != 0)
            alGetSourcei(Channel(channel).source, AL_LOOPING, &looping);
        return looping == AL_TRUE;
    }
    float PanX(int channel) const {
        ALfloat x = 0, y = 0, z = 0;
        if (Channel(channel).source != 0)
            alGetSource3f(Channel(channel).source, AL_POSITION, &x, &y, &z);
        return x;
    }

    HeadlessPlatform platform;
    GlRecorder recorder;
    gxtkAudio* audio = nullptr;
    gxtkGraphics* graphics = nullptr;
    KuvPlayer* player = nullptr;
    StripPicture strip;
    int readBacks = 0;
    int lastFrameRead = -1;

private:
    float SourceFloat(int channel, ALenum param) const {
        ALfloat value = -1.0f;
        if (Channel(channel).source != 0) alGetSourcef(Channel(channel).source, param, &value);
        return value;
    }

    // The frame the last textured draw call showed, from its smallest texture coordinates.
    int FrameOfLastDraw() const {
        const std::vector<GlCall> draws = recorder.DrawCalls();
        if (draws.empty() || draws.back().vertices.empty() || strip.width == 0) return -1;
        float u = 2.0f, v = 2.0f;
        for (const GlVertexRecord& vertex : draws.back().vertices) {
            u = std::min(u, vertex.u);
            v = std::min(v, vertex.v);
        }
        const int column = static_cast<int>(std::lround(u * strip.width / kuv::kFrameSide));
        const int row = static_cast<int>(std::lround(v * strip.height / kuv::kFrameSide));
        return row * (strip.width / kuv::kFrameSide) + column;
    }

    // What the screen shows after the loader's drawing: the strip frame's opaque texels over
    // the backdrop of colour (1, 0, 0). Rows bottom-first, bytes B, G, R, A.
    void FakeReadBack(int x, int glY, int w, int h, uint8_t* out) {
        ++readBacks;
        const int frame = FrameOfLastDraw();
        lastFrameRead = frame;
        const int windowHeight = graphics->height;
        const int columns = strip.width / kuv::kFrameSide;
        for (int i = 0; i < h; ++i) {
            const int screenY = windowHeight - 1 - (glY + i);
            for (int j = 0; j < w; ++j) {
                const int screenX = x + j;
                uint8_t* pixel = out + (static_cast<size_t>(i) * w + j) * 4;
                pixel[0] = 0;
                pixel[1] = 0;
                pixel[2] = 1;
                pixel[3] = 255;
                if (frame < 0 || screenX >= kuv::kFrameSide || screenY >= kuv::kFrameSide) continue;
                const int sx = frame % columns * kuv::kFrameSide + screenX;
                const int sy = frame / columns * kuv::kFrameSide + screenY;
                const uint8_t* texel =
                    &strip.rgba[(static_cast<size_t>(sy) * strip.width + sx) * 4];
                if (texel[3] == 0) continue;
                pixel[0] = texel[2];
                pixel[1] = texel[1];
                pixel[2] = texel[0];
            }
        }
    }

    ALCdevice* alDevice_ = nullptr;
    ALCcontext* alContext_ = nullptr;
};

}  // namespace kuvtest
