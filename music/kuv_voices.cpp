#include <algorithm>

#include "audio/audio.h"
#include "music/kuv_player.h"

namespace {

constexpr int kFirstMelodicVoice = 2;
constexpr int kFillInRows = 56;  // a fill-in sounds in the rows after this one
constexpr float kDrumPan = 0.35f;
constexpr float kDrumHold = 4.0f;  // a drum hit without a volume holds for 30 steps
constexpr float kNoteHold = 1.5f;  // a note or a volume holds for 5 steps
constexpr float kEnvelopeStep = 0.1f;
constexpr float kMaxRate = 4.0f;
constexpr float kMinRate = 0.25f;

// Drum keys 13, 15, 17, 18, 20, 22, 24 and 25 (the white keys from the root) pick samples 1..8.
int DrumSampleOfKey(int note) {
    switch (note) {
        case 13:
            return 1;
        case 15:
            return 2;
        case 17:
            return 3;
        case 18:
            return 4;
        case 20:
            return 5;
        case 22:
            return 6;
        case 24:
            return 7;
        case 25:
            return 8;
        default:
            return 0;
    }
}

}  // namespace

int KuvPlayer::Kuv_PlayNote(int voice, int note, int volume, int command, int argument) {
    if (voice < 0 || voice >= voiceCount) return 0;
    const bool muted = !VoiceHeardNow(voice);

    chordRate = 1.0f;
    if (playState >= 2 && chords.Length() > 0) chordRate = GetPitch_Alpha(chords[0]);

    // Once notes play, the voices move one channel down from where the tune start put them.
    for (int other = 0; other < voiceCount; ++other) voiceChannel[other] = baseChannel - 1 - other;
    const int channel = voiceChannel[voice];

    const bool melodicVoice = voice >= kFirstMelodicVoice;
    if (!melodicVoice && note >= 1 && !muted && channel >= 1) StrikeDrum(voice, note, channel);

    const float level = ApplyVolume(voice, volume, channel, muted);
    ApplyEnvelope(voice, level, channel);

    if (melodicVoice) {
        if (note >= 1) {
            if (muted || channel < 1) return 0;
            StartMelodicNote(voice, note, channel);
        } else if (muted) {
            return 0;
        }
    }
    if (channel >= 1) ApplySlide(voice, command, argument, channel);
    return 0;
}

bool KuvPlayer::VoiceHeardNow(int voice) const {
    if (voiceMuted[voice] == 0) return true;
    // A voice that comes back next section plays a fill-in over the last rows of this one.
    return playState >= 2 && patternsLeft < 2 && stepPos >= kFillInRows &&
           voiceFillIn[voice] == 1 && voiceNextMuted[voice] == 0;
}

void KuvPlayer::StrikeDrum(int voice, int note, int channel) {
    StopChannel(channel);
    const int sampleSlot = DrumSampleOfKey(note);
    if (sampleSlot != 0) {
        Sound* const sample = voice == 0 ? drumsA[sampleSlot].get() : drumsB[sampleSlot].get();
        if (sample != nullptr) {
            voiceActive[voice] = 1;
            PlaySound(sample, channel, 0);
            SetChannelPan(channel, voice == 0 ? -kDrumPan : kDrumPan);
        }
    }
    voiceRate[voice] = 1.0f;
    voiceEnvelope[voice] = kDrumHold;
}

float KuvPlayer::ApplyVolume(int voice, int volume, int channel, bool muted) {
    float level = static_cast<float>(volume - 1) / 29.0f;
    if (level > 1.0f) {  // volume 31 cuts the voice
        voiceEnvelope[voice] = 0.0f;
        level = 0.0f;
    }
    if (level < 0.0f) level = 0.0f;
    if (volume >= 1 && channel >= 1 && !muted) {
        voiceEnvelope[voice] = kNoteHold;
        SetChannelVolume(channel, masterVolume * level);
        voiceVolume[voice] = level;
        return level;
    }
    return voiceVolume[voice];
}

void KuvPlayer::ApplyEnvelope(int voice, float level, int channel) {
    float envelope = voiceEnvelope[voice] - kEnvelopeStep;
    if (envelope < 0.0f) envelope = 0.0f;
    voiceEnvelope[voice] = envelope;
    if (envelope < 1.0f && channel >= 1) {
        // The faded volume becomes the next step's level, so the fade compounds.
        SetChannelVolume(channel, masterVolume * envelope * level);
        voiceVolume[voice] = envelope * level;
    }
}

void KuvPlayer::StartMelodicNote(int voice, int note, int channel) {
    StopChannel(channel);
    const float rate = GetPitch(note) * chordRate;
    voiceRate[voice] = rate;
    voiceEnvelope[voice] = kNoteHold;
    SetChannelRate(channel, rate);
    Sound* const sample = melodic[voice].get();
    if (sample != nullptr) {
        voiceActive[voice] = 1;
        PlaySound(sample, channel, 1);  // looped: only the envelope ends a note
    }
}

void KuvPlayer::ApplySlide(int voice, int command, int argument, int channel) {
    float rate = voiceRate[voice];
    switch (command) {
        case 1:
            rate = std::min(rate + argument / 180.0f, kMaxRate);
            break;
        case 2:
            rate = std::max(rate - argument / 180.0f, kMinRate);
            break;
        case 3:
            rate = std::min(rate + argument / 15.0f, kMaxRate);
            break;
        case 4:
            rate = std::max(rate - argument / 15.0f, kMinRate);
            break;
        default:
            return;
    }
    voiceRate[voice] = rate;
    SetChannelRate(channel, rate);
}
