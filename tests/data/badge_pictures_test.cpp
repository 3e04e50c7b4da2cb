// The badge sheet has a picture for every badge the game defines, at every density, and no two
// of them look alike; the icons sheet has the badge box button's medal.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kData = std::filesystem::path(VEXMO_BINARY_DIR) / "data";
// Badges 0 (the test badge) to 19.
constexpr int kDefinedBadges = 20;

struct Sheet {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

bool load(const std::string& name, Sheet& out) {
    int channels = 0;
    unsigned char* pixels =
        stbi_load((kData / name).string().c_str(), &out.width, &out.height, &channels, 4);
    if (!pixels) return false;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(out.width) * out.height * 4);
    stbi_image_free(pixels);
    return true;
}

// Premultiplied texels of one frame, so transparent texels compare equal whatever they hold.
std::vector<int> frameOf(const Sheet& sheet, int frame, int size) {
    const int perRow = sheet.width / size;
    const int x0 = (frame % perRow) * size, y0 = (frame / perRow) * size;
    std::vector<int> texels;
    for (int y = y0; y < y0 + size; ++y) {
        for (int x = x0; x < x0 + size; ++x) {
            const unsigned char* p = &sheet.rgba[(static_cast<size_t>(y) * sheet.width + x) * 4];
            for (int c = 0; c < 3; ++c) texels.push_back(p[c] * p[3] / 255);
            texels.push_back(p[3]);
        }
    }
    return texels;
}

double coverage(const std::vector<int>& texels) {
    int opaque = 0;
    for (size_t i = 3; i < texels.size(); i += 4) opaque += texels[i] > 128;
    return opaque * 4.0 / static_cast<double>(texels.size());
}

// Mean difference per channel, 0..255.
double difference(const std::vector<int>& a, const std::vector<int>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

TEST(BadgePictures, EveryDefinedBadgeHasItsOwnPictureAtEveryDensity) {
    for (const auto& [suffix, density] :
         {std::make_pair("", 1), std::make_pair("-hd", 2), std::make_pair("-hd2", 4)}) {
        Sheet sheet;
        ASSERT_TRUE(load(std::string("BadgesA") + suffix + ".png", sheet)) << suffix;
        const int size = 64 * density;
        std::vector<std::vector<int>> frames;
        for (int f = 0; f < kDefinedBadges; ++f) {
            frames.push_back(frameOf(sheet, f, size));
            EXPECT_GT(coverage(frames.back()), 0.3) << "badge " << f << " at " << density << "x";
        }
        for (int a = 0; a < kDefinedBadges; ++a) {
            for (int b = a + 1; b < kDefinedBadges; ++b) {
                EXPECT_GT(difference(frames[a], frames[b]), 6.0)
                    << "badges " << a << " and " << b << " look alike at " << density << "x";
            }
        }
    }
}

TEST(BadgePictures, TheIconsHaveTheBadgeBoxButton) {
    Sheet sheet;
    ASSERT_TRUE(load("common/icons.png", sheet));
    const std::vector<int> medal = frameOf(sheet, 12, 32);
    EXPECT_GT(coverage(medal), 0.4);
    EXPECT_GT(difference(medal, frameOf(sheet, 0, 32)), 6.0) << "looks like the pause icon";
}

}  // namespace
