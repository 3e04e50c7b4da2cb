// vexmo_assets <data folder> [review folder]
// (the review sheets, one per density, are written only when a review folder is given)
// Draws and synthesises every picture, font, sound, instrument and tune the game loads.
// The output is the same, byte for byte, on every run.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "tools/catalogue.h"
#include "tools/contact_sheet.h"
#include "tools/files.h"
#include "tools/sounds.h"
#include "tools/tunes.h"

namespace assets {
namespace {

int writeSounds(const std::string& dir) {
    int count = 0;
    for (auto* make : {effectSounds, drumSamples, melodicSamples})
        for (const NamedWave& s : make()) {
            writeBytes(dir + "/" + s.path, encodeWav(s.wave));
            ++count;
        }
    return count;
}

int writeTunes(const std::string& dir) {
    int count = 0;
    for (const TuneInfo& t : composeTunes()) {
        writePng(dir + "/" + t.name, encodeStrip(t.tune));
        ++count;
    }
    return count;
}

// The icons belong to no density: they go on the first review sheet, all sizes side by side.
int writeIcons(const std::string& dir, std::map<std::string, Bitmap>& made,
               std::vector<SheetEntry>& entries) {
    for (int size : appIconSizes()) {
        const std::string name = appIconFileName(size);
        Bitmap& icon = made[name] = toBitmap(renderAppIcon(size));
        writePng(dir + "/" + name, icon);
        entries.push_back({name, &icon, 0, 0});
    }
    // Too large for the review sheet, and the same picture as the sizes on it.
    for (int size : webIconSizes())
        writePng(dir + "/" + appIconFileName(size), toBitmap(renderAppIcon(size)));
    return static_cast<int>(appIconSizes().size() + webIconSizes().size());
}

int writePictures(const std::string& dir, const std::string& reviewDir) {
    int count = 0;
    for (int density : {1, 2, 4}) {
        // bitmaps stay alive until the density's review sheet is made
        std::map<std::string, Bitmap> made;
        std::vector<SheetEntry> entries;
        for (const PictureSheet& sheet : pictureSheets()) {
            Bitmap& b = made[sheet.name] = toBitmap(renderSheet(sheet, density));
            writePng(dir + "/" + densityFileName(sheet.name, density), b);
            ++count;
            entries.push_back({densityFileName(sheet.name, density) + "  " +
                                   std::to_string(sheet.frameWidth * density) + "x" +
                                   std::to_string(sheet.frameHeight * density) + " x" +
                                   std::to_string(sheet.frames),
                               &b, sheet.frameWidth * density, sheet.frameHeight * density});
        }
        if (density == 1) {
            Bitmap& font = made["pelto_font"] = toBitmap(renderBuiltinFont());
            writePng(dir + "/pelto_font.png", font);
            ++count;
            entries.push_back({"pelto_font.png  10x10 x96", &font, 10, 0});
            count += writeIcons(dir, made, entries);
        }
        if (!reviewDir.empty())
            writePng(reviewDir + "/contact_sheet-" + std::to_string(density) + "x.png",
                     contactSheet(entries, density == 4 ? 4 : 2));
    }
    return count;
}

}  // namespace
}  // namespace assets

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <data folder> [review folder]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::string review = argc > 2 ? argv[2] : "";
    try {
        const int pictures = assets::writePictures(dir, review);
        const int sounds = assets::writeSounds(dir);
        const int tunes = assets::writeTunes(dir);
        // Last, so a folder whose generation failed part-way is not taken for the game's data.
        // The game looks for this name and these two lines (host/data_location.h).
        const std::string stamp = "vexmo data\nformat 1\n";
        assets::writeBytes(dir + "/vexmo-data.stamp",
                           std::vector<uint8_t>(stamp.begin(), stamp.end()));
        std::printf("vexmo_assets: %d pictures, %d sounds, %d tunes in %s\n", pictures, sounds,
                    tunes, dir.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vexmo_assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
