// Construction of the game object, its five hooks and the module globals of the game.
#include "game/my_app.h"

#include <cmath>

#include "audio/audio.h"
#include "game/replay_session.h"
#include "game/score_board.h"
#include "game/volumes.h"
#include "game/world_box.h"
#include "graphics/graphics.h"
#include "host/app.h"
#include "input/input.h"

using namespace vexmo;

int HasMusic = 1;
int DebugMode = 0;
int OnScreenControls = 0;
int AccelerometerControls = 0;
int iCadeControls = 0;
float rawscrw = 640.0f;
float rawscrh = 480.0f;
float jscrw = 640.0f;
float jscrh = 480.0f;
Array<String> CreditText;

namespace {

const char* const kCreditLines[] = {
    "",
    "A Game by",
    "Dorv Kallen",
    "dorvgames.example.net",
    "",
    "-=-=-",
    "",
    "Developed using",
    "Vantor",
    "vantor.example.org",
    "",
    "-=-=-",
    "",
    "",
    "",
    "-=-=-",
    "End",
};
constexpr int kCreditLineCount = sizeof(kCreditLines) / sizeof(kCreditLines[0]);

// Logical buttons the key latch watches, in the order they are asked.
constexpr int kLatchButtons[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, 99};

// The smoothed rate of a timing triple; `nowRate` keeps its value when no time has passed.
void TickRate(int* lastMillis, int* nowRate, int* smoothRate) {
    const int now = Millisecs();
    const int elapsed = now - *lastMillis;
    if (elapsed > 0) *nowRate = 1000 / elapsed;
    *smoothRate = (*smoothRate * 9 + *nowRate) / 10;
    *lastMillis = now;
}

// Virtual units from device pixels. Before the first render there is no scale yet; the device
// pixel is then taken as one virtual unit rather than dividing by zero.
int ToVirtual(float devicePixels, float scale) {
    const float v = scale > 0 ? devicePixels / scale : devicePixels;
    if (!(v > -2147483520.0f && v < 2147483520.0f)) return 0;
    return static_cast<int>(v);
}

}  // namespace

void InitGameGlobals() {
    HasMusic = 1;
    DebugMode = 0;
    rawscrw = 640.0f;
    rawscrh = 480.0f;
    jscrw = 640.0f;
    jscrh = 480.0f;
    iCadeControls = 0;
    Array<String> lines(kCreditLineCount);
    for (int i = 0; i < kCreditLineCount; ++i) lines[i] = String(kCreditLines[i]);
    CreditText = lines;
    gc_add_root(CreditText);
    OnScreenControls = 0;
    AccelerometerControls = 0;
}

MyApp::MyApp()
    : touchDown(kTouches),
      touchX(kTouches),
      touchY(kTouches),
      vbutton(kVirtualButtons),
      drawList(kDrawListFloats),
      images(kImageSlots),
      imageInfo(kImageSlots * 3),
      sounds(kSoundSlots),
      sfxChannels(kChannels),
      settings(kSettings),
      highScores(kHighScores),
      badgeGot(kBadges),
      badgeQueue(kBadgeQueue),
      badgeQueueTime(kBadgeQueue),
      cells(kCellInts),
      shots(kShotFloats),
      particles(kParticleFloats),
      musicPlayer(gc_new<KuvPlayer>()) {}

void MyApp::mark() {
    App::mark();
    gc_mark_field(touchDown);
    gc_mark_field(touchX);
    gc_mark_field(touchY);
    gc_mark_field(vbutton);
    gc_mark_field(drawList);
    gc_mark_field(images);
    gc_mark_field(imageInfo);
    gc_mark_field(sounds);
    gc_mark_field(sfxChannels);
    gc_mark_field(settings);
    gc_mark_field(highScores);
    gc_mark_field(badgeGot);
    gc_mark_field(badgeQueue);
    gc_mark_field(badgeQueueTime);
    gc_mark_field(cells);
    gc_mark_field(shots);
    gc_mark_field(particles);
    gc_mark_field(musicPlayer);
}

int MyApp::OnCreate() {
    screen = kScreenMenu;
    SetUpdateRate(60);
    deviceWidth = DeviceWidth();
    deviceHeight = DeviceHeight();
    if (HasMusic == 1) musicPlayer->Kuv_Init(32, 4, 1, 1, 4);
    tiltZeroX = 0;
    tiltZeroY = 0;
    Reload();
    difficulty = 2;
    menuSlide = -32;
    panelWidth = 140;
    paused = 0;
    pauseMotion = -1;
    pauseSlide = -64;
    settings[5] = 1;
    Load();
    // The place first: going fullscreen keeps the window's place for the way back.
    ApplySavedWindowPlace();
    ApplySavedWindowMode();
    for (int i = 0; i < kChannels; ++i) sfxChannels[i] = i;
    return 0;
}

int MyApp::OnUpdate() {
    TickRate(&updateMillis, &updateFpsNow, &updateFps);
    if (HasMusic == 1) {
        const int musicOn = (settings[5] == 1 || settings[5] == 3) ? 1 : 0;
        musicPlayer->Kuv_Alive_U(paused, musicOn);
    }
    FollowWindowMode();
    FollowWindowPlace();
    ApplyVolumes();
    ReadPointer();
    UpdateLatches();
    RunScreens();
    if (loadStep > 0) Loader();
    if (iCadeControls == 1) {
        for (iCadeChar = GetChar(); iCadeChar != 0; iCadeChar = GetChar()) {
            if (iCadeChar > 0) ApplyICadeChar(iCadeChar);
        }
    }
    for (int i = 0; i < kVirtualButtons; ++i) {
        if (vbutton[i] == 1) vbutton[i] = 0;
    }
    if (OnScreenControls == 1 && screen > kScreenWaitStart && iCadeControls == 0) OnScreenPad();
    if (AccelerometerControls == 1 && iCadeControls == 0) TiltInput();
    if (iCadeControls == 1) {
        tiltX = tiltY = tiltSmoothX = tiltSmoothY = 0;
    }
    if (DebugMode == 1 && screen != kScreenWaitStart) DrawDebugReadout();
    ShowBadges();
    // Last: the replay's tape starts and ends between whole updates.
    ReplayAfterUpdate(*this);
    // After it: a game just finished is posted at once.
    ScoreBoardAfterUpdate();
    return 0;
}

void MyApp::ReadPointer() {
    lastPointerX = pointerX;
    lastPointerY = pointerY;
    pointerX = ToVirtual(MouseX(), scaleX);
    pointerY = ToVirtual(MouseY(), scaleY);
    // A drag starts with a zero delta.
    if (mouseWasDown == 0 && KeyDown(1)) {
        lastPointerX = pointerX;
        lastPointerY = pointerY;
    }
    pointerDown = KeyDown(1);
    pointerHit = KeyHit(1);
    for (int i = 0; i < kTouches; ++i) {
        touchDown[i] = 0;
        touchX[i] = kNoTouch;
        touchY[i] = kNoTouch;
        if (KeyDown(384 + i)) {
            touchDown[i] = 1;
            touchX[i] = ToVirtual(TouchX(i), scaleX);
            touchY[i] = ToVirtual(TouchY(i), scaleY);
            pointerDown = 1;
        }
    }
    mouseWasDown = KeyDown(1);
}

void MyApp::UpdateLatches() {
    if (pointerDown == 0) clickLatch = 0;
    bool anyHeld = false;
    for (const int b : kLatchButtons) {
        if (PlayKey(b)) {
            anyHeld = true;
            break;
        }
    }
    if (!anyHeld) keyLatch = 0;
    // The back button on the menu closes every box (and answers "Quit?" with no), and is used
    // up by doing so.
    if (keyLatch == 0 && clickLatch == 0 && PlayKey(kButtonBack) && screen == kScreenMenu &&
        MenuBoxOpen() && !WorldNameEditing()) {
        CloseWorldBox();
        creditsOpen = 0;
        badgesOpen = 0;
        howToPlayOpen = 0;
        settingsOpen = 0;
        quitAsking = 0;
        keyLatch = 1;
        clickLatch = 1;
    }
}

void MyApp::RunScreens() {
    if (loadStep != 0) return;
    switch (screen) {
        case kScreenMenu:
            Menu();
            break;
        case kScreenBackToMenu:
            LoadMenu();
            screen = kScreenMenu;
            break;
        case kScreenWaitStart:
            WaitStart(0);
            break;
        case kScreenPlay:
            Game();
            InGame();
            break;
        case kScreenStartPlay:
            LoadGame();
            break;
        default:
            break;
    }
    if (screen == kScreenPlay && dying > 0) GameOver();
    if (screen == kScreenMenu || screen == kScreenBackToMenu) GameOver();
    if (screen == kScreenMenu && (creditsOpen == 1 || creditsSlide > 0)) CreditBox();
    if (creditsOpen == 1 && creditsSlide <= 29) creditsSlide += 1;
    if (creditsOpen == 0 && creditsSlide > 0) creditsSlide -= 1;
    if (screen == kScreenMenu && badgesOpen == 1) BadgesBox();
    if (screen == kScreenMenu && howToPlayOpen == 1) HowToPlayBox();
    if (screen == kScreenMenu && settingsOpen == 1) SettingsBox();
    if (screen == kScreenMenu) WorldBox(*this);
    if (screen == kScreenMenu && quitAsking == 1) QuitPrompt();
}

int MyApp::MenuBoxOpen() const {
    return creditsOpen == 1 || badgesOpen == 1 || howToPlayOpen == 1 || settingsOpen == 1 ||
                   quitAsking == 1 || WorldBoxOpen()
               ? 1
               : 0;
}

void MyApp::ApplyVolumes() {
    if (musicPlayer)
        musicPlayer->masterVolume = kFullMusicLevel * VolumeFactor(settings[kMusicQuietSetting]);
}

void MyApp::DrawDebugReadout() {
    ResetDraw();
    const String readout =
        String(renderFps) + String(":") + String(scaleX) + String(",") + String(scaleY);
    const bool tiltShown = AccelerometerControls == 1 && iCadeControls == 0;
    const float y = tiltShown ? jscrh * 0.5f : jscrh - 16;
    Text(16, y, readout, 0, 0);
}

int MyApp::OnRender() {
    if (HasMusic == 1) musicPlayer->Kuv_Alive_R();
    TickRate(&renderMillis, &renderFpsNow, &renderFps);

    // The game never calls Cls: this rectangle, a pixel larger than the device all round, does.
    if (PictureShown()) {
        SetColor(clsRed, clsGreen, clsBlue);
        SetAlpha(clsAlpha);
        DrawRect(-1, -1, static_cast<float>(DeviceWidth() + 2),
                 static_cast<float>(DeviceHeight() + 2));
    }
    SetColor(255, 255, 255);
    SetAlpha(1);

    if (DeviceWidth() != deviceWidth || DeviceHeight() != deviceHeight) {
        loadStep = 1;  // every asset again, in the set that fits the new size
        deviceWidth = DeviceWidth();
        deviceHeight = DeviceHeight();
    }
    UpdateVirtualScreen();
    if (PictureShown()) ReplayDrawList();
    SetAlpha(0.5f);
    SetColor(255, 255, 255);
    return 0;
}

void MyApp::UpdateVirtualScreen() {
    const float width = static_cast<float>(DeviceWidth());
    const float height = static_cast<float>(DeviceHeight());
    const float sx = width / rawscrw;
    const float sy = height / rawscrh;
    const float s = sy > sx ? sy : sx;
    // A zero-sized device keeps the previous scale instead of dividing by zero.
    if (!(s > 0)) return;
    scaleX = s;
    scaleY = s;
    jscrw = width / s;
    jscrh = height / s;
    landscape = jscrh <= jscrw ? 1 : 0;
}

void MyApp::ReplayDrawList() {
    const float* list = drawList.Data();
    for (int i = 0; i < drawCount - 14; i += kCommandFloats) {
        const float* c = list + i;
        SetAlpha(c[kCmdAlpha]);
        SetColor(c[kCmdRed], c[kCmdGreen], c[kCmdBlue]);
        const float kind = c[kCmdKind];
        const float x = c[kCmdX] * scaleX;
        const float y = c[kCmdY] * scaleY;
        if (kind == kRectKind) {
            DrawRect(x, y, c[kCmdSizeX] * scaleX, c[kCmdSizeY] * scaleY);
        } else if (kind == kOvalKind) {
            DrawEllipse(x, y, c[kCmdSizeX] * scaleX, c[kCmdSizeY] * scaleY);
        } else if (kind > -1 && kind < kImageSlots) {
            Image* image = images[static_cast<int>(kind)];
            // A frame the image does not have is skipped like a missing image, not fatal.
            const float frame = c[kCmdFrame];
            if (image == nullptr || !(frame > -1 && frame < image->Frames())) continue;
            DrawImage2(image, x, y, c[kCmdRotation], c[kCmdSizeX] * scaleX * imageScale,
                       c[kCmdSizeY] * scaleY * imageScale, static_cast<int>(frame));
        }
    }
}

void MyApp::ApplyPauseOnSuspendOrResume() {
    if (screen > 9) {
        // Play comes back paused with the pause menu fully open.
        paused = 1;
        pauseMotion = 1;
        pauseSlide = static_cast<int>(jscrh * 0.5f);
    } else {
        paused = 0;
        pauseMotion = 0;
        pauseSlide = 0;
    }
}

int MyApp::OnSuspend() {
    iCade(0);
    ApplyPauseOnSuspendOrResume();
    SetUpdateRate(5);
    Save();
    return 0;
}

int MyApp::OnResume() {
    ApplyPauseOnSuspendOrResume();
    SetUpdateRate(60);
    iCade(0);
    return 0;
}
