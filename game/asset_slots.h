// Which picture and which sound lives in which numbered slot. The loader fills the slots and
// every screen (and test) draws or plays them by these names, so a slot is numbered once.
#pragma once

// Pictures (MyApp::images).
constexpr int kMicrobesImage = 1;  // "microbes": the six kinds in their growth stages
constexpr int kGfxImage = 2;       // "gfx": ship, shots, energy bar
constexpr int kDishImage = 5;      // "circle": the dish
constexpr int kBadgeSheet = 80;    // "BadgesA": one picture per badge
constexpr int kFontSlot = 90;      // "fonts/editundo"
constexpr int kCircleImage = 91;   // "common/Testcard_Circle"
constexpr int kICadeImage = 92;    // "common/icade"
constexpr int kLogoSlot = 93;      // "common/DorvLogo": the loading screen's logo
constexpr int kDpadImage = 94;     // "common/dpad": the on-screen pad
constexpr int kButtonsImage = 95;  // "common/Buttons"
constexpr int kPartsImage = 96;    // "parts": particles
constexpr int kIconsImage = 97;    // "common/icons": pause, close, medal...
constexpr int kTitleImage = 98;    // "logo": the game's title
constexpr int kMenuImage = 99;     // "menu": the difficulty buttons

// Frames of the icons picture.
constexpr int kCloseIcon = 1;
constexpr int kFocusRingIcon = 6;
constexpr int kBadgesIcon = 12;  // also the pad, in the how-to-play box
constexpr int kHowToPlayIcon = 13;
constexpr int kSettingsIcon = 14;
constexpr int kQuitIcon = 15;
constexpr int kWorldIcon = 11;  // the score board's globe

// Sounds (MyApp::sounds): "sfx/NNN.wav" for slot NNN. Slots 1 to 8 are the hit sounds, drawn
// at random.
constexpr int kSfxShipStruck = 9;
constexpr int kSfxEnergyWarning = 11;
constexpr int kSfxGameOver = 12;
constexpr int kSfxRoundStart = 13;
constexpr int kSfxMenu = 98;
constexpr int kSfxPause = 98;
constexpr int kSfxToggle = 99;
constexpr int kSfxClose = 99;
