// The badges a player can earn, by number. The number is also the badge's frame in the
// "BadgesA" sheet, and the bit it occupies in the saved record, so numbers never change once
// a badge has shipped; new badges take free numbers.
#pragma once

#include "game/asset_slots.h"

namespace vexmo {

enum BadgeNumber {
    kBadgeTest = 0,  // defined so the machinery can be tried; never awarded
    kBadgeFirstRound = 1,
    kBadgeEasyRound5 = 2,
    kBadgeEasyRound10 = 3,
    kBadgeEasyRound15 = 4,
    kBadgeNormalRound5 = 5,
    kBadgeNormalRound10 = 6,
    kBadgeNormalRound15 = 7,
    kBadgeHardRound5 = 8,
    kBadgeHardRound10 = 9,
    kBadgeHardRound15 = 10,
    kBadgeScore1000 = 11,
    kBadgeScore5000 = 12,
    kBadgeScore20000 = 13,
    kBadgeSpotless = 14,
    kBadgeOneHitHundred = 15,
    kBadgeMirrorDodger = 16,
    kBadgeStandingRoom = 17,
    kBadgeSoundCheck = 18,
    kBadgeGrandTour = 19,
    kBadgeLastDefined = kBadgeGrandTour,
};

// True for the numbers that have a name and a detail (the test badge among them); a check that
// makes no text, for lists walked every update.
bool IsBadgeDefined(int badge);

// Badges 0..63 have a picture in the sheet; later numbers show their name only.
constexpr int kBadgePictures = 64;
// Pop-up slots that ShowBadges draws; the queue's last two are never shown.
constexpr int kBadgePopupSlots = 13;

// Rounds that earn a badge when reached, and the badge for each difficulty (1..3).
constexpr int kBadgeRounds[3] = {5, 10, 15};
constexpr int kRoundBadges[3][3] = {
    {kBadgeEasyRound5, kBadgeEasyRound10, kBadgeEasyRound15},
    {kBadgeNormalRound5, kBadgeNormalRound10, kBadgeNormalRound15},
    {kBadgeHardRound5, kBadgeHardRound10, kBadgeHardRound15},
};
constexpr int kBadgeScores[3] = {1000, 5000, 20000};
constexpr int kScoreBadges[3] = {kBadgeScore1000, kBadgeScore5000, kBadgeScore20000};
// The microbe kind that any hit destroys, and how many of them in one game earn a badge.
constexpr int kOneHitKind = 3;
constexpr int kOneHitBadgeCount = 100;
// The microbe kind that can send a shot back.
constexpr int kReflectingKind = 6;

}  // namespace vexmo
