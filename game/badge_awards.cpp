// What earns each badge. The play field, the menu and the pause menu call the BadgesFor*
// functions at the moment a condition can first be met; every award goes through AwardBadge,
// which records the badge (saved with the record at the next save) and announces it.
#include "game/badges.h"
#include "game/my_app.h"
#include "game/score_table.h"
#include "runtime/errors.h"

using namespace vexmo;

namespace {

constexpr int kDifficulties = 3;

// Every mode the sound button steps through: four with music, silent and sound without.
int AllSoundModes() {
    return HasMusic == 1 ? 0xf : 0x3;
}

}  // namespace

int MyApp::AwardBadge(int badge) {
    if (badge <= kBadgeTest || badge >= kBadges) return 0;
    if (badgeGot[badge] || !IsBadgeDefined(badge)) return 0;
    badgeGot[badge] = true;
    // The pop-up takes the lowest idle slot that is shown; with all of them busy the badge is
    // still earned, only not announced.
    for (int slot = 0; slot < kBadgePopupSlots; ++slot) {
        if (badgeQueueTime[slot] != 0) continue;
        badgeQueue[slot] = badge;
        badgeQueueTime[slot] = 1;
        break;
    }
    Print(T("Badge earned: ") + BadgeName(badge));
    return 1;
}

void MyApp::BadgesForNewRound() {
    roundCrowded = 0;
    roundShipStruck = 0;
    roundReflectors = 0;
    // A round that begins after the ship is lost was not reached by play.
    if (dying || difficulty < 1 || difficulty > kDifficulties) return;
    for (int i = 0; i < 3; ++i) {
        if (round >= kBadgeRounds[i]) AwardBadge(kRoundBadges[difficulty - 1][i]);
    }
}

void MyApp::BadgesForRoundCleared() {
    // A round that empties while the ship is already lost does not count.
    if (dying || energy < 0) return;
    if (round == 1) AwardBadge(kBadgeFirstRound);
    if (!roundCrowded && !roundShipStruck) AwardBadge(kBadgeSpotless);
    if (roundReflectors && !roundShipStruck) AwardBadge(kBadgeMirrorDodger);
    if (roundCrowded) AwardBadge(kBadgeStandingRoom);
}

void MyApp::BadgesForScore() {
    for (int i = 0; i < 3; ++i) {
        if (score >= kBadgeScores[i]) AwardBadge(kScoreBadges[i]);
    }
}

void MyApp::BadgesForOneHitKill() {
    oneHitKills += 1;
    if (oneHitKills >= kOneHitBadgeCount) AwardBadge(kBadgeOneHitHundred);
}

void MyApp::BadgesForSoundMode(int before) {
    soundModesTried |= (1 << (before & 3)) | (1 << (settings[5] & 3));
    if ((soundModesTried & AllSoundModes()) == AllSoundModes()) AwardBadge(kBadgeSoundCheck);
}

// Each difficulty's best list keeps its top score for good, so a score above 0 there means a
// game with points was played on it, in this run or an earlier one.
void MyApp::BadgesForFinishedGame() {
    for (int level = 1; level <= kDifficulties; ++level) {
        if (highScores[BestListStart(level)] <= 0) return;
    }
    AwardBadge(kBadgeGrandTour);
}
