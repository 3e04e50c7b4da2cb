#include "tools/catalogue.h"

namespace assets {

std::vector<PictureSheet> pictureSheets() {
    return {
        {"microbes", 8, 8, 100, 10, drawMicrobe},
        {"gfx", 16, 16, 16, 4, drawGameSprite},
        {"circle", 256, 256, 1, 1, drawDish},
        {"BadgesA", 64, 64, 64, 8, drawBadge},
        {"fonts/editundo", 16, 16, 128, 16, drawFontCell},
        {"common/Testcard_Circle", 256, 256, 1, 1, drawTestCard},
        {"common/icade", 64, 64, 2, 2, drawIcade},
        {"common/DorvLogo", 256, 256, 1, 1, drawMakerLogo},
        {"common/dpad", 32, 32, 16, 4, drawPad},
        {"common/Buttons", 64, 64, 16, 4, drawButton},
        {"parts", 8, 8, 16, 4, drawDebris},
        {"common/icons", 32, 32, 16, 4, drawIcon},
        {"logo", 256, 128, 1, 1, drawTitle},
        {"menu", 256, 256, 4, 2, drawMenuArt},
    };
}

std::string densityFileName(const std::string& name, int density) {
    if (density == 4) return name + "-hd2.png";
    if (density == 2) return name + "-hd.png";
    return name + ".png";
}

Canvas renderSheet(const PictureSheet& sheet, int density) {
    const int rows = (sheet.frames + sheet.columns - 1) / sheet.columns;
    const int fw = sheet.frameWidth * density, fh = sheet.frameHeight * density;
    Canvas canvas(fw * sheet.columns, fh * rows);
    for (int f = 0; f < sheet.frames; ++f) {
        Pen pen(canvas, (f % sheet.columns) * fw, (f / sheet.columns) * fh, sheet.frameWidth,
                sheet.frameHeight, density);
        sheet.draw(pen, f);
    }
    return canvas;
}

}  // namespace assets
