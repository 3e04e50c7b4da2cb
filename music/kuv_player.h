// The music player (module KuvTrackr): a five-voice tracker that plays tunes stored as PNG
// strips with a small set of WAV instruments, and arranges them at run time. Every random
// choice is reseeded from the tune seed, so one seed always gives the same piece.
//
// Voices: 0 first drum kit, 1 second drum kit, 2 lead, 3 accompaniment, 4 bass.
//
// Methods are grouped by the file that implements them:
//   kuv_player.cpp     construction, marking, Kuv_Init, the update and render hooks, Kuv_Stop, Rand
//   kuv_loader.cpp     Kuv_StartTune (the seeded draws) and the 70 loading steps of Kuv_LoadChunk
//   kuv_sequencer.cpp  Kuv_MusicPlay: step timing, pattern switches, pattern and section ends
//   kuv_voices.cpp     Kuv_PlayNote: drums, melodic voices, volumes, the envelope and slides
//   kuv_pitch.cpp      GetPitch, GetPitch_Alpha, Kuv_GetChord
// The strip format and its decoder are in kuv_strip.h, the note and chord tables in kuv_tables.h.
#pragma once

#include "runtime/array.h"
#include "runtime/gc.h"
#include "runtime/string.h"

class Image;
class Sound;

class KuvPlayer : public Object {
public:
    static constexpr int kVoices = 5;
    static constexpr int kLoadSteps = 70;
    static constexpr int kStartDelayMs = 100;  // playback waits this long after a start or load
    static constexpr int kPauseDelayMs = 150;  // each paused update pushes the next step this far
    static constexpr int kClockJumpMs = 123456;

    int baseChannel = 0;
    Array<int> instCounts;  // variants per family: 1 drum kits, 2 leads, 3 accompaniments, 4 basses
    int tuneLoadStep = 0;   // 0 nothing to load, else the next of the 70 loading steps
    Array<int> instPicks;   // 1 first kit, 2 second kit, 3 lead, 4 accompaniment, 5 bass
    Array<gc_ref<Sound>> drumsA;
    Array<gc_ref<Sound>> drumsB;
    Array<gc_ref<Sound>> melodic;  // 2 lead, 3 accompaniment, 4 bass
    String tuneName;
    gc_ref<Image> tuneImage;
    Array<int> tuneData;     // pattern * 4096 + strip * 512 + row * 8 + field
    Array<int> lastPattern;  // per strip, the highest pattern holding any data
    int nextTick = 0;        // clock milliseconds at which the next step is due
    int playState = 0;       // 0 stopped, 2 playing
    int voiceCount = kVoices;
    Array<int> voiceChannel;
    Array<int> voiceActive;
    Array<int> voicePattern;
    int stepPos = 0;
    int patternsLeft = 0;
    Array<int> voiceMuted;
    Array<int> voiceFillIn;
    Array<int> voiceNextMuted;
    float chordRate = 0.0f;
    String chords;  // letters of the progression still to play, one per pattern
    Array<float> voiceRate;
    Array<float> voiceEnvelope;
    float masterVolume = 0.5f;
    Array<float> voiceVolume;
    int tempo = 95;  // a step lasts 8000 / tempo milliseconds
    int tuneSeed = 0;
    int section = 0;

    KuvPlayer();
    void mark() override;

    virtual int Kuv_Init(int base, int drumKits, int leads, int accompaniments, int basses);
    virtual int Kuv_StartTune(String name, int seed, int tuneTempo);
    virtual int Kuv_LoadChunk();
    virtual int Kuv_Alive_R();
    virtual int Rand(float lo, float hi);
    virtual int Kuv_Alive_U(int paused, int musicOn);
    virtual int Kuv_MusicPlay();
    virtual int Kuv_PlayNote(int voice, int note, int volume, int command, int argument);
    virtual int Kuv_Stop(int flag);
    virtual String Kuv_GetChord(int n);
    virtual float GetPitch(int note);
    virtual float GetPitch_Alpha(int letter);

private:
    // kuv_loader.cpp
    void PickInstruments();
    void PickVoiceArrangement(int voice);
    void LoadSampleForStep(int step);
    void LoadTuneImage();
    void DecodePattern(int pattern, int step);
    void DiscardTuneImage();
    // kuv_sequencer.cpp
    bool StepIsDue(int now) const;
    void PlayRow(int voice, bool* endsPattern);
    int SwitchPatternIfAsked(int voice, int eventIndex);
    void EndPattern();
    void EndSection();
    // kuv_voices.cpp
    bool VoiceHeardNow(int voice) const;
    void StrikeDrum(int voice, int note, int channel);
    float ApplyVolume(int voice, int volume, int channel, bool muted);
    void ApplyEnvelope(int voice, float level, int channel);
    void StartMelodicNote(int voice, int note, int channel);
    void ApplySlide(int voice, int command, int argument, int channel);
    // kuv_player.cpp
    void ReseedAndSkip(int seed, int discardedDraws);
    void KeepADrumVoiceAudible();
};

// Milliseconds on the device clock, truncated: the time base of the sequencer.
int KuvClockMillis();
