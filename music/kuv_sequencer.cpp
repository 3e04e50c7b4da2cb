#include "music/kuv_player.h"
#include "music/kuv_strip.h"
#include "music/kuv_tables.h"

namespace {
constexpr int kCommandEndPattern = 8;
constexpr int kCommandSwitchPattern = 27;
constexpr int kSwitchUp = 1;    // on an odd count of patterns left
constexpr int kSwitchDown = 2;  // on an even count
constexpr int kPatternEndDraws = 16;
constexpr int kSectionDraws = 11;
constexpr int kLastRow = kuv::kRowCount - 1;
}  // namespace

bool KuvPlayer::StepIsDue(int now) const {
    // A step far in the future means the clock jumped back: play rather than wait for it.
    return now > nextTick || nextTick - now > kClockJumpMs;
}

int KuvPlayer::Kuv_MusicPlay() {
    if (!StepIsDue(KuvClockMillis())) return 0;

    // Command 8 ends the pattern after this row; every voice still plays the row itself.
    bool endsPattern = false;
    for (int voice = 0; voice < voiceCount; ++voice) PlayRow(voice, &endsPattern);
    if (endsPattern) stepPos = kLastRow;

    // The fraction of a step is dropped every step (tempo 95 gives 84 ms steps); the sum is
    // made in double so the step keeps its length however long the clock has been running.
    const int stepTempo = tempo > 0 ? tempo : 1;
    nextTick = static_cast<int>(nextTick + 8000.0 / stepTempo);

    stepPos = (stepPos + 1) % kuv::kRowCount;
    if (stepPos != 0) return 0;
    EndPattern();
    patternsLeft -= 1;
    if (patternsLeft > 0) return 0;
    EndSection();
    return 0;
}

void KuvPlayer::PlayRow(int voice, bool* endsPattern) {
    const int eventIndex = SwitchPatternIfAsked(
        voice, kuv::TuneIndex(voicePattern[voice], voice, stepPos, kuv::kFieldNote));
    const int command = tuneData[eventIndex + kuv::kFieldCommand];
    Kuv_PlayNote(voice, tuneData[eventIndex + kuv::kFieldNote],
                 tuneData[eventIndex + kuv::kFieldVolume], command,
                 tuneData[eventIndex + kuv::kFieldArgument]);
    if (command == kCommandEndPattern) *endsPattern = true;
}

int KuvPlayer::SwitchPatternIfAsked(int voice, int eventIndex) {
    if (tuneData[eventIndex + kuv::kFieldCommand] != kCommandSwitchPattern) return eventIndex;
    const int argument = tuneData[eventIndex + kuv::kFieldArgument];
    const bool oddLeft = patternsLeft % 2 != 0;
    int pattern = voicePattern[voice];
    // A switch never leaves the tune: a strip asking for a pattern past either end stays put.
    if (argument == kSwitchUp && oddLeft && pattern < kuv::kPatternCount - 1) {
        ++pattern;
    } else if (argument == kSwitchDown && !oddLeft && pattern > 0) {
        --pattern;
    } else {
        return eventIndex;
    }
    voicePattern[voice] = pattern;
    return kuv::TuneIndex(pattern, voice, stepPos, kuv::kFieldNote);
}

void KuvPlayer::EndPattern() {
    ReseedAndSkip(9 * section + tuneSeed, kPatternEndDraws);
    // The next progression is drawn when the last letter has been played; "qqzz" never is.
    if (chords.Length() == 1) chords = T(" ") + Kuv_GetChord(Rand(0, 4));
    if (chords.Length() > 1) chords = chords.Slice(1);
}

void KuvPlayer::EndSection() {
    ReseedAndSkip(9 * section + tuneSeed, kSectionDraws);
    patternsLeft = 2 * Rand(1, 2);
    section += 1;
    for (int voice = 0; voice < voiceCount; ++voice) {
        ReseedAndSkip(9 * section + tuneSeed + 7 * voice, kSectionDraws);
        voicePattern[voice] = Rand(0, lastPattern[voice]);
        voiceMuted[voice] = voiceNextMuted[voice];
        voiceNextMuted[voice] = Rand(0, 1);
        voiceFillIn[voice] = Rand(0, 1);
    }
    KeepADrumVoiceAudible();
}
