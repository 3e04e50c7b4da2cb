#include <algorithm>
#include <cstdint>

#include "audio/audio.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "host/random.h"
#include "music/kuv_player.h"
#include "music/kuv_strip.h"
#include "platform/asset_report.h"
#include "platform/data_path.h"
#include "runtime/errors.h"

namespace {

constexpr int kArrangementDraws = 11;
constexpr int kFirstPatternStep = 5;  // step 5 decodes pattern 0, step 67 pattern 62
constexpr int kDrumSamples = 8;
constexpr int kDrumsAFirstStep = 2;   // steps 2..9
constexpr int kDrumsBFirstStep = 12;  // steps 12..19
constexpr int kLeadStep = 21;
constexpr int kAccompanimentStep = 22;
constexpr int kBassStep = 23;

bool InRange(int value, int first, int count) {
    return value >= first && value < first + count;
}

// Every frame of a strip fits only if the picture holds 64 whole 64 x 64 tiles; anything
// smaller is not a tune and must not take the program down while being cut.
bool HoldsEveryPattern(const Image& whole) {
    const int columns = whole.Width() / kuv::kFrameSide;
    const int rows = whole.Height() / kuv::kFrameSide;
    return columns * rows >= kuv::kPatternCount;
}

struct LoadingStep {
    int step;
};

void PrintDecodedField(void* context, int row, int strip, int field, int value) {
    const int step = static_cast<const LoadingStep*>(context)->step;
    Print(String(row) + T(":") + String(strip) + T(":") + String(step));
}

}  // namespace

int KuvPlayer::Kuv_StartTune(String name, int seed, int tuneTempo) {
    const String path = T("tunes/") + name + T(".png");
    DebugLog(T("Playing  ") + path + T(" - ") + String(seed));
    section = 0;
    tuneSeed = seed;
    nextTick = KuvClockMillis() + kStartDelayMs;
    stepPos = 0;
    tempo = tuneTempo;
    playState = 2;

    if (path != tuneName) {
        tuneLoadStep = 1;
        tuneName = path;
        for (int strip = 0; strip < lastPattern.Length(); ++strip) lastPattern[strip] = 0;
        for (int voice = 0; voice < voiceCount; ++voice) voicePattern[voice] = 0;
        // A tune whose strip fails to load must play silence, not the previous tune's notes.
        std::fill(tuneData.begin(), tuneData.end(), 0);
    }
    for (int voice = 0; voice < voiceCount; ++voice) voiceChannel[voice] = baseChannel - voice;

    PickInstruments();
    for (int voice = 0; voice < voiceCount; ++voice) PickVoiceArrangement(voice);
    KeepADrumVoiceAudible();
    patternsLeft = 2 * Rand(1, 2);
    chords = T("qqjj");
    return 0;
}

void KuvPlayer::PickInstruments() {
    ReseedAndSkip(tuneSeed + section, kArrangementDraws);
    // Both kits come from the drum-kit count.
    instPicks[1] = Rand(1, instCounts[1]);
    instPicks[2] = Rand(1, instCounts[1]);
    instPicks[3] = Rand(1, instCounts[2]);
    instPicks[4] = Rand(1, instCounts[3]);
    instPicks[5] = Rand(1, instCounts[4]);
}

void KuvPlayer::PickVoiceArrangement(int voice) {
    ReseedAndSkip(9 * section + tuneSeed + 7 * voice, kArrangementDraws);
    voicePattern[voice] = Rand(0, lastPattern[voice]);
    voiceNextMuted[voice] = Rand(0, 1);
    voiceFillIn[voice] = Rand(0, 1);
    voiceMuted[voice] = Rand(0, 1);
}

int KuvPlayer::Kuv_LoadChunk() {
    const int step = tuneLoadStep;
    if (step <= 0) return 0;
    LoadSampleForStep(step);
    if (step == 1) LoadTuneImage();
    if (InRange(step, kFirstPatternStep, kuv::kReadPatternCount) && tuneImage) {
        DecodePattern(step - kFirstPatternStep, step);
        if (step == kFirstPatternStep + kuv::kReadPatternCount - 1) DiscardTuneImage();
    }
    tuneLoadStep = step + 1;
    nextTick = KuvClockMillis() + kStartDelayMs;
    if (tuneLoadStep > kLoadSteps) tuneLoadStep = 0;
    return 0;
}

void KuvPlayer::LoadSampleForStep(int step) {
    if (InRange(step, kDrumsAFirstStep, kDrumSamples)) {
        const int sample = step - kDrumsAFirstStep + 1;
        drumsA[sample] =
            LoadSound(T("inst/d") + String(instPicks[1]) + T("-") + String(sample) + T(".wav"));
    } else if (InRange(step, kDrumsBFirstStep, kDrumSamples)) {
        const int sample = step - kDrumsBFirstStep + 1;
        drumsB[sample] =
            LoadSound(T("inst/d") + String(instPicks[2]) + T("-") + String(sample) + T(".wav"));
    } else if (step == kLeadStep) {
        melodic[2] = LoadSound(T("inst/lead") + String(instPicks[3]) + T(".wav"));
    } else if (step == kAccompanimentStep) {
        melodic[3] = LoadSound(T("inst/accompany") + String(instPicks[4]) + T(".wav"));
    } else if (step == kBassStep) {
        melodic[4] = LoadSound(T("inst/bass") + String(instPicks[5]) + T(".wav"));
    }
}

void KuvPlayer::LoadTuneImage() {
    DebugLog(T("Music File : ") + tuneName);
    Image* const whole = LoadImage(tuneName, 1, 0);
    if (whole != nullptr && !HoldsEveryPattern(*whole)) {
        ReportAssetFailure(FixDataPath(tuneName), "too small for 64 patterns of 64 x 64 pixels");
    }
    if (whole == nullptr || !HoldsEveryPattern(*whole)) {
        tuneImage = nullptr;
        return;
    }
    tuneImage = whole->GrabImage(0, 0, kuv::kFrameSide, kuv::kFrameSide, kuv::kPatternCount,
                                 Image::MidHandle);
}

// Every pattern is in tuneData now. The strip's texture (a megabyte in the GL driver) would
// otherwise stay until the collector happens to free the image, one more for every tune played.
void KuvPlayer::DiscardTuneImage() {
    if (tuneImage && tuneImage->surface) tuneImage->surface->Discard();
    tuneImage = nullptr;
}

void KuvPlayer::DecodePattern(int pattern, int step) {
    // The strip's pixels are only reachable through the screen: draw the frame over a backdrop
    // whose blue is 0 (so transparent texels read as empty fields) and read it back.
    const float side = static_cast<float>(kuv::kFrameSide);
    Cls(1, 0, 0);
    SetAlpha(1);
    SetColor(1, 0, 0);
    DrawRect(0, 0, side, side);
    SetColor(255, 255, 255);
    DrawImage(tuneImage, side / 2, side / 2, pattern);

    Array<int> pixels(kuv::kFrameSide * kuv::kFrameSide);
    ReadPixels(pixels, 0, 0, kuv::kFrameSide, kuv::kFrameSide, 0, kuv::kFrameSide);
    LoadingStep current{step};
    kuv::DecodePatternFrame(reinterpret_cast<const uint32_t*>(pixels.Data()), pattern,
                            tuneData.Data(), lastPattern.Data(), PrintDecodedField, &current);
}
