#include "music/kuv_player.h"

#include <cmath>

#include "audio/audio.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "host/random.h"
#include "music/kuv_strip.h"
#include "platform/platform.h"

namespace {
constexpr int kSlots = 8;
constexpr int kDrumSlots = 9;  // samples 1..8 of a kit; slot 0 stays empty
constexpr int kLoadsPerRender = 3;
}  // namespace

int KuvClockMillis() {
    return static_cast<int>(CurrentPlatform().Time() * 1000.0);
}

KuvPlayer::KuvPlayer() {
    // Assigned in the body rather than initialised so every handle passes the write barrier.
    instCounts = Array<int>(kSlots);
    instPicks = Array<int>(kSlots);
    drumsA = Array<gc_ref<Sound>>(kDrumSlots);
    drumsB = Array<gc_ref<Sound>>(kDrumSlots);
    melodic = Array<gc_ref<Sound>>(kSlots);
    tuneData = Array<int>(kuv::kTuneDataSize);
    lastPattern = Array<int>(kSlots);
    voiceChannel = Array<int>(kSlots);
    voiceActive = Array<int>(kSlots);
    voicePattern = Array<int>(kSlots);
    voiceMuted = Array<int>(kSlots);
    voiceFillIn = Array<int>(kSlots);
    voiceNextMuted = Array<int>(kSlots);
    voiceRate = Array<float>(kSlots);
    voiceEnvelope = Array<float>(kSlots);
    voiceVolume = Array<float>(kSlots);
}

void KuvPlayer::mark() {
    gc_mark_field(instCounts);
    gc_mark_field(instPicks);
    gc_mark_field(drumsA);
    gc_mark_field(drumsB);
    gc_mark_field(melodic);
    gc_mark_field(tuneImage);
    gc_mark_field(tuneData);
    gc_mark_field(lastPattern);
    gc_mark_field(voiceChannel);
    gc_mark_field(voiceActive);
    gc_mark_field(voicePattern);
    gc_mark_field(voiceMuted);
    gc_mark_field(voiceFillIn);
    gc_mark_field(voiceNextMuted);
    gc_mark_field(voiceRate);
    gc_mark_field(voiceEnvelope);
    gc_mark_field(voiceVolume);
}

int KuvPlayer::Kuv_Init(int base, int drumKits, int leads, int accompaniments, int basses) {
    baseChannel = base;
    instCounts[1] = drumKits;
    instCounts[2] = leads;
    instCounts[3] = accompaniments;
    instCounts[4] = basses;
    return 0;
}

int KuvPlayer::Kuv_Alive_R() {
    for (int call = 0; call < kLoadsPerRender && tuneLoadStep > 0; ++call) Kuv_LoadChunk();
    // The loader draws its strip frames on the screen; the game paints over black.
    Cls(0, 0, 0);
    return 0;
}

int KuvPlayer::Kuv_Alive_U(int paused, int musicOn) {
    if (playState == 0) Kuv_Stop(0);
    if (playState == 2 && tuneLoadStep == 0 && paused == 0) {
        if (musicOn != 0) {
            Kuv_MusicPlay();
        } else {
            Kuv_Stop(0);
        }
    } else if (paused != 0) {
        // Keep the next step ahead of the clock, so the tune resumes in time instead of
        // racing through every step it missed.
        nextTick = KuvClockMillis() + kPauseDelayMs;
        if (playState == 2) Kuv_Stop(0);
    } else if (playState == 2 && musicOn == 0) {
        Kuv_Stop(0);
    }
    return 0;
}

int KuvPlayer::Kuv_Stop(int flag) {
    for (int voice = 0; voice < voiceCount; ++voice) {
        if (voiceChannel[voice] >= 1 && voiceActive[voice] == 1) {
            StopChannel(voiceChannel[voice]);
            voiceActive[voice] = 0;
        }
    }
    if (flag == 1) playState = 0;
    return 0;
}

int KuvPlayer::Rand(float lo, float hi) {
    // The top end gets 0.99 of a unit so it is included, if slightly rarer.
    return static_cast<int>(std::floor(Rnd(lo, hi + 0.99f)));
}

void KuvPlayer::ReseedAndSkip(int seed, int discardedDraws) {
    Seed = seed;
    for (int draw = 0; draw < discardedDraws; ++draw) Rand(1, 5);
}

void KuvPlayer::KeepADrumVoiceAudible() {
    // The two drum voices are never silent together.
    if (voiceMuted[0] == 1 && voiceMuted[1] == 1) voiceMuted[0] = 0;
}
