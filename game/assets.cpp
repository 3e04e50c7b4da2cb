// Asset loading: images and sounds live in numbered slots and are loaded one per update, so the
// loading picture keeps turning. Larger windows get images with two or four times the pixels,
// drawn at a half or a quarter scale, so every image keeps its size on the virtual screen.
#include "audio/audio.h"
#include "game/asset_slots.h"
#include "game/my_app.h"
#include "game/volumes.h"
#include "graphics/graphics.h"

using namespace vexmo;

namespace {

String ImageSetSuffix(int imageSet) {
    if (imageSet == 4) return String("-hd2");
    if (imageSet == 2) return String("-hd");
    return String();
}

}  // namespace

void MyApp::ChooseImageSet() {
    imageSet = 1;
    imageScale = 1;
    if (DeviceWidth() > 630 || DeviceHeight() > 630) {
        imageSet = 2;
        imageScale = 0.5f;
    }
    if (DeviceWidth() > 1230 || DeviceHeight() > 1230) {
        imageSet = 4;
        imageScale = 0.25f;
    }
}

String MyApp::SfxFileName(int n) {
    String prefix("sfx/");
    if (n >= 0 && n < 10) {
        prefix = String("sfx/00");
    } else if (n >= 10 && n < 100) {
        prefix = String("sfx/0");
    }
    return prefix + String(n) + String(".wav");
}

int MyApp::LoadImg(int slot, String name, int w, int h, int frames, int flags) {
    images[slot] = nullptr;
    const String file = name + ImageSetSuffix(imageSet) + String(".png");
    images[slot] = LoadImage2(file, w * imageSet, h * imageSet, frames, flags);
    imageInfo[slot * 3] = w * imageSet;
    imageInfo[slot * 3 + 1] = h * imageSet;
    imageInfo[slot * 3 + 2] = frames;
    return 0;
}

int MyApp::LoadFont(int slot, String name, int cw, int ch) {
    // A font image is a grid of 128 cells of 16 x 16 (at 1x), cell i holding character i + 32.
    const String file = name + ImageSetSuffix(imageSet) + String(".png");
    images[slot] = LoadImage2(file, 16 * imageSet, 16 * imageSet, 128, Image::MidHandle);
    // Advance and line height stay in virtual units whatever the image set.
    imageInfo[slot * 3] = cw;
    imageInfo[slot * 3 + 1] = ch;
    imageInfo[slot * 3 + 2] = 128;
    fontSlot = slot;
    return 0;
}

int MyApp::LoadSFX(int n) {
    sounds[n] = LoadSound(SfxFileName(n));
    return 0;
}

int MyApp::Reload() {
    clsRed = 0;
    clsGreen = 0;
    clsBlue = 0;
    clsAlpha = 1;
    ChooseImageSet();
    // Nothing is loaded before the first frame, which shows only the clear colour: the loader's
    // first step brings the logo its picture needs, and the font comes in its own step.
    loadStep = 1;
    return 0;
}

int MyApp::Loader() {
    ChooseImageSet();
    // The loading picture shows the maker's logo from its first step on, in the set being loaded.
    if (loadStep == 1) LoadImg(kLogoSlot, String("common/DorvLogo"), 256, 256, 1, 1);
    switch (loadStep) {
        case 1:
            LoadImg(kIconsImage, String("common/icons"), 32, 32, 16, 1);
            break;
        case 2:
            LoadImg(kButtonsImage, String("common/Buttons"), 64, 64, 16, 1);
            break;
        case 3:
            LoadImg(kDpadImage, String("common/dpad"), 32, 32, 16, 1);
            break;
        case 4:
            LoadImg(kICadeImage, String("common/icade"), 64, 64, 2, 1);
            break;
        case 5:
            // The logo came with the first step: each image is loaded once per load.
            LoadImg(kCircleImage, String("common/Testcard_Circle"), 256, 256, 1, 1);
            break;
        case 6:
            LoadFont(kFontSlot, String("fonts/editundo"), 7, 10);
            break;
        case 7:
            LoadSFX(1);
            break;
        case 8:
            LoadSFX(95);
            break;
        case 9:
            LoadSFX(kSfxMenu);
            break;
        case 10:
            LoadSFX(kSfxToggle);
            break;
        case 11:
            LoadImg(kMenuImage, String("menu"), 256, 256, 4, 1);
            break;
        case 12:
            LoadImg(kTitleImage, String("logo"), 256, 128, 1, 1);
            break;
        case 13:
            LoadImg(kPartsImage, String("parts"), 8, 8, 16, 1);
            break;
        case 14:
            LoadImg(kBadgeSheet, String("BadgesA"), 64, 64, 64, 1);
            break;
        case 15:
            LoadImg(kMicrobesImage, String("microbes"), 8, 8, 100, 1);
            break;
        case 16:
            LoadImg(kGfxImage, String("gfx"), 16, 16, 16, 1);
            break;
        case 17:
            LoadImg(kDishImage, String("circle"), 256, 256, 1, 1);
            break;
        default:
            if (loadStep >= 18 && loadStep <= 29) {
                LoadSFX(loadStep - 16);  // sounds 2 to 13
            } else {
                loadStep = 0;
            }
            break;
    }
    if (loadStep > 0) loadStep += 1;
    WaitStart(1);
    return 0;
}

int MyApp::PlaySFX(int slot, float rate, float volume, float pan) {
    // Effects sound only in sound modes 1 (music and effects) and 2 (effects only).
    if (settings[5] != 1 && settings[5] != 2) return 0;
    sfxChannel = (sfxChannel + 1) % kSfxRotation;
    if (sfxChannel < 0) sfxChannel = 0;
    const int channel = sfxChannels[sfxChannel];
    StopChannel(channel);
    if (slot >= 0 && slot < kSoundSlots) {
        Sound* sound = sounds[slot];
        if (sound != nullptr && sound->sample != nullptr) PlaySound(sound, channel, 0);
    }
    SetChannelRate(channel, rate);
    SetChannelVolume(channel, volume * VolumeFactor(settings[kEffectsQuietSetting]));
    SetChannelPan(channel, pan);
    return 0;
}
