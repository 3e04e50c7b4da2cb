// The game object of Vexmo and the module globals of the game.
//
// Everything the game knows lives in the fields of the one MyApp: the screen it is on, the loaded
// images and sounds, the saved record, the pointer and button state, the recorded drawing and the
// play field. Screens never draw directly; they append 15-float commands to drawList through the
// drawing helpers, and OnRender replays the list scaled from the virtual screen to the window.
//
// Methods are grouped by the file that implements them:
//   my_app.cpp    construction, the five hooks, the module globals
//   assets.cpp    Reload, Loader, LoadImg, LoadFont, LoadSFX, PlaySFX
//   draw.cpp      ResetDraw, CLS2D, SetSize, SetRot, SetCol, Alpha, CR, DrawImg, Rect, Oval, Text,
//                 rstr
//   controls.cpp  PlayKey, iCade, Button, Button0, the on-screen pad and the tilt input
// and the screens (menu, play, pause, game over, loading picture, credits, badges, saving) each
// in their own file.
#pragma once

#include "audio/audio.h"
#include "game/asset_slots.h"
#include "game/badges.h"
#include "game/record_merge.h"
#include "game/text_cache.h"
#include "graphics/image.h"
#include "host/app.h"
#include "music/kuv_player.h"
#include "runtime/array.h"
#include "runtime/gc.h"
#include "runtime/string.h"

// ---- Module globals of the game ------------------------------------------------------------
// Build switches: fixed at start-up, never changed while running.
extern int HasMusic;
extern int DebugMode;
extern int OnScreenControls;
extern int AccelerometerControls;
// 1 while the keyboard's character queue is read as iCade button letters; switched by iCade().
extern int iCadeControls;
// Design size of the screen in virtual units, and the current virtual size (every layout reads
// jscrw x jscrh; OnRender recomputes them from the window size).
extern float rawscrw;
extern float rawscrh;
extern float jscrw;
extern float jscrh;
// Lines shown by the credits box. A collector root.
extern Array<String> CreditText;

// Sets the globals above to their start values and registers CreditText as a root. The host's
// global initialisation calls it once.
void InitGameGlobals();

// ---- Shared constants -------------------------------------------------------------------------
namespace vexmo {
// A float argument of this value (or less) means "not given": the helper keeps its state.
// Touches that are up also report it as their position.
constexpr float kNotGiven = -3717.0f;
constexpr int kNoTouch = -3717;
// Kinds of recorded commands other than image slots.
constexpr float kRectKind = -3717.0f;
constexpr float kOvalKind = -3716.0f;
constexpr int kCommandFloats = 15;
constexpr int kMaxCommands = 2500;
constexpr int kDrawListFloats = kCommandFloats * kMaxCommands;  // 37500
// Offsets inside one recorded command.
enum CommandField {
    kCmdKind = 0,
    kCmdX = 1,
    kCmdY = 2,
    kCmdRotation = 3,
    kCmdSizeX = 4,
    kCmdSizeY = 5,
    kCmdFrame = 6,
    kCmdAlpha = 7,
    kCmdRed = 10,
    kCmdGreen = 11,
    kCmdBlue = 12,
};

constexpr int kImageSlots = 100;
constexpr int kSoundSlots = 100;
constexpr int kChannels = 33;
constexpr int kSfxRotation = 24;  // PlaySFX uses channels 0..23 in turn
constexpr int kTouches = 10;
constexpr int kVirtualButtons = 20;
constexpr int kSettings = 25;
// The settings slot that remembers fullscreen (1) or a window (0) between runs. No screen reads
// it otherwise, and its weight in the settings checksum is not 0, so a damaged value is caught.
constexpr int kFullscreenSetting = 20;
// Settings slots of the menu's settings and how-to-play boxes, and of the window's place. Every
// older record holds 0 in them, so 0 must mean what a new player gets: the volumes count the
// steps of 10 % below full, and a window width of 0 means no window was saved yet. None has
// weight 0 in the checksum (slot 0 has), so a damaged value is caught.
constexpr int kMusicQuietSetting = 21;     // 0..10: music volume is 100 % - 10 % per step
constexpr int kEffectsQuietSetting = 22;   // 0..10: the same for the effects
constexpr int kHowToPlaySeenSetting = 23;  // 1 once the player has opened how to play
constexpr int kWindowXSetting = 15;        // the last windowed place and size, screen units
constexpr int kWindowYSetting = 16;
constexpr int kWindowWidthSetting = 17;
constexpr int kWindowHeightSetting = 18;
constexpr int kHighScores = 150;
constexpr int kBadges = 256;
constexpr int kBadgeQueue = 15;
constexpr int kLoadSteps = 30;  // updates a full load takes, the finishing one included

// Play field tables: 80 x 80 cells of 10 ints, 201 shots and 101 particles of 10 floats.
constexpr int kCellStride = 10;
constexpr int kCellRowLength = 80;
constexpr int kCellInts = 64000;
constexpr int kShotStride = 10;
constexpr int kShotSlots = 201;
constexpr int kShotFloats = 2048;
constexpr int kParticleStride = 10;
constexpr int kParticleSlots = 101;
constexpr int kParticleFloats = 1024;

// Logical buttons asked of PlayKey.
enum LogicalButton {
    kButtonUp = 0,
    kButtonLeft = 3,
    kButtonRight = 5,
    kButtonDown = 8,
    kButtonAction1 = 10,
    kButtonAction2 = 11,
    kButtonAction3 = 12,
    kButtonAction4 = 13,
    kButtonBack = 99,
};

// Values of MyApp::screen.
enum Screen {
    kScreenNotStarted = 0,
    kScreenMenu = 1,
    kScreenBackToMenu = 2,
    kScreenWaitStart = 5,
    kScreenPlay = 10,
    kScreenStartPlay = 11,
};
}  // namespace vexmo

class MyApp : public App {
public:
    MyApp();
    void mark() override;

    // ---- Hooks called by the framework (all return 0) ----
    int OnCreate() override;
    int OnUpdate() override;
    int OnSuspend() override;
    int OnResume() override;
    int OnRender() override;

    // ---- The game's own operations ----
    // Assets.
    virtual int LoadImg(int slot, String name, int w, int h, int frames, int flags);
    virtual int LoadFont(int slot, String name, int cw, int ch);
    virtual int Reload();
    // Saved record.
    virtual int Load();
    virtual int iCade(int mode);
    virtual int Save();
    virtual int PlayKey(int b);
    // Drawing helpers: they record, never draw.
    virtual int ResetDraw();
    virtual int CLS2D(float r = vexmo::kNotGiven, float g = 0, float b = 0, float a = 1);
    virtual int SetSize(float sx, float sy = vexmo::kNotGiven);
    virtual int DrawImg(int slot, float x, float y, float frame);
    virtual int Alpha(float a);
    virtual int SetCol(float r, float g, float b, float a = vexmo::kNotGiven);
    virtual int Rect(float x, float y, float w, float h);
    virtual int Button(int slot, float x, float y, float frame);
    virtual int PlaySFX(int slot, float rate, float volume, float pan);
    virtual String rstr(int v, int w, String pad);
    virtual int Text(float x, float y, String s, float ax, float ay);
    // Screens and the rest.
    virtual int Menu();
    virtual int GC_PostScore(int difficultyLevel, int best);
    virtual int GC_Badges();
    virtual int LoadMenu();
    virtual int Oval(float x, float y, float rx, float ry);
    virtual int WaitStart(int mode);
    virtual int Rand(float lo, float hi);
    virtual int SetRot(float a);
    virtual int Fire(float angle, int kind, float scale);
    virtual int CR(float p);
    virtual int Mess(float x, float y);
    virtual int Check(int column, int row, int x, int y);
    virtual int NewRound();
    virtual int Game();
    virtual int PauseMenu();
    virtual int InGame();
    virtual int LoadGame();
    virtual String MyNth();
    virtual int GameOver();
    virtual int CreditBox();
    virtual String BadgeID(int badge);
    virtual String BadgeName(int badge);
    virtual String BadgeDetail(int badge);
    virtual int BadgesBox();
    virtual int LoadSFX(int n);
    virtual int Loader();
    virtual int Button0(int slot, float x, float y, float frame);
    virtual int ShowBadges();
    // Signed turn from one angle toward another (play field).
    virtual int WhichWayDoIGo(float from, float to, int lo, int hi);

    // ---- Badges earned in play (badge_awards.cpp) ----
    // Earns a badge: sets its flag and starts its pop-up in an idle slot. Badge 0, numbers
    // without a record and badges already earned are left alone. 1 when newly earned.
    int AwardBadge(int badge);
    // Called where the condition can first be met: a round has begun (`round` counts it), a
    // round has just been cleared, the score has grown, a one-hit microbe has been destroyed,
    // the sound mode has just changed from `before`, a finished game has been filed.
    void BadgesForNewRound();
    void BadgesForRoundCleared();
    void BadgesForScore();
    void BadgesForOneHitKill();
    void BadgesForSoundMode(int before);
    void BadgesForFinishedGame();
    // The badge box's button on the main menu (badges_box.cpp).
    void BadgesButton(int slide);
    // The menu's other boxes: how to play (how_to_play_box.cpp), settings (settings_box.cpp)
    // and the "Quit?" question (quit_prompt.cpp), each with its button on the menu.
    void HowToPlayButton(int slide);
    int HowToPlayBox();
    void SettingsButton(int slide);
    int SettingsBox();
    void QuitButton(int slide);
    int QuitPrompt();
    // 1 while any box lies over the menu; the menu's own controls wait until it closes.
    int MenuBoxOpen() const;
    // The saved volumes, put on the music player and the effects every update.
    void ApplyVolumes();
    // Window place (window_mode.cpp): the saved place comes back once the record is loaded;
    // every update the windowed place is noted in the settings, and a window left on no monitor
    // is brought back.
    void ApplySavedWindowPlace();
    void FollowWindowPlace();

    // ---- Steps of the hooks, public so tests can run them alone ----
    // OnUpdate: pointer and touches in virtual units; the click and key latches and the back
    // button on the menu; the screen dispatcher; the debug readout.
    void ReadPointer();
    void UpdateLatches();
    void RunScreens();
    void DrawDebugReadout();
    // OnRender: the uniform scale and virtual screen from the device size; the replay.
    void UpdateVirtualScreen();
    void ReplayDrawList();
    // OnSuspend and OnResume: play comes back paused, anything else unpaused.
    void ApplyPauseOnSuspendOrResume();
    // Applies one character of the keyboard queue in iCade mode.
    void ApplyICadeChar(int ch);
    // The on-screen pad and its two action buttons (behind OnScreenControls); while paused the
    // pad can be moved and resized, and its saved settings are pulled into range every update.
    void OnScreenPad();
    void ClampPadSettings();
    void MovePad();
    // Tilt input with its calibrate button (behind AccelerometerControls).
    void TiltInput();
    // Picks imageSet and imageScale for the current device size.
    void ChooseImageSet();
    // File name of a sound effect: 7 -> "sfx/007.wav".
    static String SfxFileName(int n);
    // Window mode (window_mode.cpp): the saved choice is applied once the record is loaded, and
    // a switch the player makes (F11, Alt+Enter) is written to the record as it happens.
    void ApplySavedWindowMode();
    void FollowWindowMode();

    // ---- Flow and display ----
    int screen = 0;
    int loadStep = 0;
    int paused = 0;
    int deviceWidth = 0;
    int deviceHeight = 0;
    float scaleX = 0;
    float scaleY = 0;
    int landscape = 0;

    // ---- Timing ----
    int updateMillis = 0;
    int updateFpsNow = 0;
    int updateFps = 0;
    int renderMillis = 0;
    int renderFpsNow = 0;
    int renderFps = 0;

    // ---- Input (virtual units) ----
    int pointerX = 0;
    int pointerY = 0;
    int lastPointerX = 0;
    int lastPointerY = 0;
    int mouseWasDown = 0;
    int pointerDown = 0;
    int pointerHit = 0;
    Array<int> touchDown;  // [10]
    Array<int> touchX;     // [10], -3717 while the finger is up
    Array<int> touchY;     // [10]
    int clickLatch = 0;
    int keyLatch = 0;
    int iCadeChar = 0;
    Array<int> vbutton;  // [20]: 0 up, 1 on-screen control this update, 2 held on the iCade
    float tiltZeroX = 0;
    float tiltZeroY = 0;
    float tiltX = 0;
    float tiltY = 0;
    float tiltSmoothX = 0;
    float tiltSmoothY = 0;
    int padX = 0;
    int padY = 0;
    float padScale = 0;
    int pinchActive = 0;
    int pinchLast = 0;
    int buttonHit = 0;

    // ---- Drawing state ----
    float clsRed = 0;
    float clsGreen = 0;
    float clsBlue = 0;
    float clsAlpha = 0;
    float drawSizeX = 0;
    float drawSizeY = 0;
    float drawRotation = 0;  // degrees, stored negated
    float drawRed = 0;
    float drawGreen = 0;
    float drawBlue = 0;
    float drawAlpha = 0;
    Array<float> drawList;  // [37500]
    int drawCount = 0;      // floats in use, a multiple of 15
    int fontSlot = 0;

    // ---- Assets ----
    Array<gc_ref<Image>> images;  // [100]
    Array<int> imageInfo;         // [300]: frame width, frame height, frame count per slot
    int imageSet = 0;             // 1, 2 or 4
    float imageScale = 0;         // 1 / imageSet
    Array<gc_ref<Sound>> sounds;  // [100]
    Array<int> sfxChannels;       // [33], entry i holds i
    int sfxChannel = 0;

    // ---- Saved data ----
    Array<int> settings;    // [25]; [5] sound mode, [10..12] pad x, distance from bottom, size,
                            // [20] fullscreen
    Array<int> highScores;  // [150]
    Array<bool> badgeGot;   // [256]
    int saveFailing = 0;    // 1 from a save that could not be written until one succeeds
    RecordSync recordSync;  // what the record held at the last load or save, for merging

    // ---- Menus and boxes ----
    int difficulty = 0;
    int menuSlide = 0;
    float panelWidth = 0;
    int pauseMotion = 0;
    int pauseSlide = 0;
    int pauseFocus = 0;
    int creditsOpen = 0;
    int creditsSlide = 0;
    int creditCols = 0;
    int creditRows = 0;
    int creditHide = 0;
    float creditScroll = 0;
    int creditLine = 0;
    int badgesOpen = 0;
    float badgeScroll = 0;  // how far the badge box list is scrolled, in virtual units
    int howToPlayOpen = 0;
    int settingsOpen = 0;
    int settingsFocus = 0;      // the settings row under keyboard and pad focus
    int quitAsking = 0;         // 1 while "Quit?" waits for an answer
    int quitFocus = 0;          // the answer under focus: 0 no, 1 yes
    int menuClock = 0;          // updates the menu has run, for the how-to-play button's pulse
    int windowCheckClock = 0;   // updates since the window's place was last looked at
    Array<int> badgeQueue;      // [15]
    Array<int> badgeQueueTime;  // [15]

    // ---- Badge progress: what the awards need to know beyond the play field ----
    int roundCrowded = 0;     // overcrowding drained energy in the current round
    int roundShipStruck = 0;  // a shot struck the ship in the current round
    int roundReflectors = 0;  // a reflecting microbe was on the field in the current round
    int oneHitKills = 0;      // one-hit microbes destroyed in the current game
    int soundModesTried = 0;  // bit per sound mode the player has switched through this run

    // ---- Work fields shared by several routines ----
    int n = 0;
    int tmpA = 0;
    int tmpB = 0;
    int tmpMode = 0;

    // ---- Play field ----
    int gridW = 0;
    int gridH = 0;
    Array<int> cells;        // [64000]: 80 x 80 cells of 10 ints (kind, growth, ripeness, ...)
    Array<float> shots;      // [2048]: 201 slots of 10 floats
    Array<float> particles;  // [1024]: 101 slots of 10 floats
    int liveCount = 0;
    int prevLiveCount = 0;
    int wobblePhase = 0;
    int energy = 0;
    int round = 0;
    int startCountdown = 0;
    int minKind = 0;
    int maxKind = 0;
    int spawnCap = 0;
    int spawnsLeft = 0;
    int shipAngle = 0;
    float aimAngle = 0;
    int fireTimer = 0;
    int fireCount = 0;
    int shipX = 0;
    float shipY = 0;
    int dying = 0;
    int score = 0;
    int shownScore = 0;
    int warnLevel = 0;
    int warnCeiling = 0;
    int currentShot = 0;  // slot of the shot Check tests and may free
    int shotHits = 0;     // cells the current shot has hit in this update
    int gameOverTimer = 0;
    int gameOverPlacing = 0;  // the placing the overlay shows, taken when the game ended
    int spinAngle = 0;
    gc_ref<KuvPlayer> musicPlayer;

    // ---- Texts kept between updates, rebuilt when what they show changes (text_cache.h) ----
    vexmo::CachedTexts<2> hudTexts;        // portrait: the energy and the score
    vexmo::CachedTexts<10> hudDigitTexts;  // landscape: " 0" to " 9"
    vexmo::CachedTexts<1> roundCaption;
    vexmo::CachedTexts<1> bestColumnText;
    vexmo::CachedTexts<1> lastColumnText;
    vexmo::CachedTexts<1> badgePopupNames[vexmo::kBadgePopupSlots];  // each pop-up slot's name
};
