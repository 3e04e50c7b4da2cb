#include "host/window_icon.h"

#include <stb_image.h>

#include <cstdio>
#include <utility>

#include "platform/asset_report.h"
#include "platform/data_path.h"

namespace {

// Decodes one icon file; false unless it is a picture of exactly size x size pixels. The size is
// checked before decoding, so a huge or broken file costs nothing.
bool ReadIcon(int size, IconImage* icon) {
    const String path = FixDataPath(String("icons/vexmo_") + String(size) + String(".png"));
    FileRefusal refusal;
    FILE* file = OpenDataFile(path, kMaxPictureFileBytes, &refusal);
    if (!file) {
        // A missing icon is simply left out; anything else in its place is named.
        if (!refusal.missing) ReportAssetFailure(path, refusal.reason);
        return false;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    bool ok = stbi_info_from_file(file, &width, &height, &channels) == 1 && width == size &&
              height == size;
    if (ok) {
        unsigned char* pixels = stbi_load_from_file(file, &width, &height, &channels, 4);
        ok = pixels != nullptr && width == size && height == size;
        if (ok) {
            icon->width = width;
            icon->height = height;
            icon->rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
        }
        if (pixels) stbi_image_free(pixels);
    }
    std::fclose(file);
    return ok;
}

}  // namespace

std::vector<IconImage> LoadWindowIcons() {
    std::vector<IconImage> icons;
    for (const int size : kWindowIconSizes) {
        IconImage icon;
        if (ReadIcon(size, &icon)) icons.push_back(std::move(icon));
    }
    return icons;
}

void ApplyWindowIcon(Platform& platform) {
    const std::vector<IconImage> icons = LoadWindowIcons();
    if (!icons.empty()) platform.SetWindowIcon(icons);
}
