#include "graphics/surface.h"

#include <gtest/gtest.h>

#include "picture_files.h"
#include "recorder_fixture.h"
#include "runtime/gc.h"
#include "tests/runtime/console_capture.h"

namespace {

TEST(Pow2Size, SmallestPowerOfTwoAtLeastN) {
    EXPECT_EQ(Pow2Size(-5), 1);
    EXPECT_EQ(Pow2Size(0), 1);
    EXPECT_EQ(Pow2Size(1), 1);
    EXPECT_EQ(Pow2Size(2), 2);
    EXPECT_EQ(Pow2Size(3), 4);
    EXPECT_EQ(Pow2Size(64), 64);
    EXPECT_EQ(Pow2Size(65), 128);
    EXPECT_EQ(Pow2Size(1 << 30), 1 << 30);
    EXPECT_EQ(Pow2Size((1 << 30) + 1), 1 << 30);  // capped instead of overflowing
}

using SurfaceTest = RecorderTest;

std::vector<GlCall> Allocations(const GlRecorder& rec) {
    return rec.Named("glTexImage2D");
}

TEST_F(SurfaceTest, PictureSizedTextureWhenAccepted) {
    const std::string path = WriteCoordinatePng("accepted_100x50.png", 100, 50);
    gxtkSurface* s = gfx->LoadSurface(String(path.c_str()));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 100);
    EXPECT_EQ(s->Height(), 50);
    EXPECT_EQ(s->depth, 4);
    EXPECT_TRUE(s->Loaded());
    EXPECT_NE(s->texture, 0u);
    EXPECT_EQ(s->data, nullptr);
    EXPECT_FLOAT_EQ(s->uscale, 1.0f / 100);
    EXPECT_FLOAT_EQ(s->vscale, 1.0f / 50);
    const auto allocs = Allocations(rec);
    ASSERT_EQ(allocs.size(), 1u);
    EXPECT_EQ(allocs[0].args[3], 100);
    EXPECT_EQ(allocs[0].args[4], 50);
    EXPECT_TRUE(allocs[0].pixels.empty());  // allocated without pixels, filled afterwards

    const auto params = rec.Named("glTexParameteri");
    ASSERT_EQ(params.size(), 4u);
    EXPECT_EQ(params[0].args,
              (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST}));
    EXPECT_EQ(params[1].args,
              (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST}));
    EXPECT_EQ(params[2].args,
              (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE}));
    EXPECT_EQ(params[3].args,
              (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE}));
    const auto fills = rec.Named("glTexSubImage2D");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].args,
              (std::vector<double>{GL_TEXTURE_2D, 0, 0, 0, 100, 50, GL_RGBA, GL_UNSIGNED_BYTE}));
    ASSERT_EQ(fills[0].pixels.size(), 100u * 50 * 4);
    const uint8_t* last = &fills[0].pixels[(49 * 100 + 99) * 4];
    EXPECT_EQ(last[0], 99);
    EXPECT_EQ(last[1], 49);
}

TEST_F(SurfaceTest, PowerOfTwoRetryWhenThePictureSizeIsRefused) {
    rec.rejectTexImage = [](int w, int h) { return Pow2Size(w) != w || Pow2Size(h) != h; };
    const std::string path = WriteCoordinatePng("refused_100x50.png", 100, 50);
    gxtkSurface* s = gfx->LoadSurface(String(path.c_str()));
    ASSERT_NE(s, nullptr);
    const auto allocs = Allocations(rec);
    ASSERT_EQ(allocs.size(), 2u);
    EXPECT_EQ(allocs[1].args[3], 128);
    EXPECT_EQ(allocs[1].args[4], 64);
    EXPECT_FLOAT_EQ(s->uscale, 1.0f / 128);
    EXPECT_FLOAT_EQ(s->vscale, 1.0f / 64);
    EXPECT_EQ(s->Width(), 100);
    // The picture goes into the top-left corner of the larger texture.
    const auto fills = rec.Named("glTexSubImage2D");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].args[4], 100);
    EXPECT_EQ(fills[0].args[5], 50);
    // Drawing the whole picture samples only the part the picture covers.
    gfx->DrawSurface(s, 0, 0);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_FLOAT_EQ(draws[0].vertices[2].u, 100.0f / 128);
    EXPECT_FLOAT_EQ(draws[0].vertices[2].v, 50.0f / 64);
}

TEST_F(SurfaceTest, RefusedAtBothSizesGivesNull) {
    rec.rejectTexImage = [](int, int) { return true; };
    const std::string path = WriteCoordinatePng("refused_both.png", 4, 4);
    EXPECT_EQ(gfx->LoadSurface(String(path.c_str())), nullptr);
    EXPECT_EQ(Allocations(rec).size(), 2u);
    EXPECT_EQ(rec.Count("glTexSubImage2D"), 0u);
    EXPECT_EQ(gfx->CreateSurface(8, 8), nullptr);
}

TEST_F(SurfaceTest, StaleErrorDoesNotLookLikeARefusal) {
    rec.pendingErrors.push_back(GL_INVALID_ENUM);
    gxtkSurface* s = gfx->CreateSurface(100, 50);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Allocations(rec).size(), 1u);
    EXPECT_FLOAT_EQ(s->uscale, 1.0f / 100);
}

TEST_F(SurfaceTest, RgbaPixelsArePremultiplied) {
    const std::string path =
        WritePng("premultiply_rgba.png", 3, 1, 4, {200, 100, 50, 128, 9, 8, 7, 0, 1, 2, 3, 255});
    ASSERT_NE(gfx->LoadSurface(String(path.c_str())), nullptr);
    const auto fills = rec.Named("glTexSubImage2D");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].pixels, (std::vector<uint8_t>{100, 50, 25, 128, 0, 0, 0, 0, 1, 2, 3, 255}));
}

TEST_F(SurfaceTest, GreyAlphaPixelsArePremultiplied) {
    const std::string path = WritePng("premultiply_ga.png", 3, 1, 2, {255, 64, 10, 255, 77, 0});
    gxtkSurface* s = gfx->LoadSurface(String(path.c_str()));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->depth, 2);
    const auto fills = rec.Named("glTexSubImage2D");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].args[6], GL_LUMINANCE_ALPHA);
    // Rows of 6 bytes are not 4-byte aligned: the upload must say so.
    EXPECT_EQ(rec.Named("glPixelStorei")[0].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
    EXPECT_EQ(fills[0].pixels, (std::vector<uint8_t>{64, 64, 10, 255, 0, 0}));
}

TEST_F(SurfaceTest, GreyAndRgbPixelsAreUnchanged) {
    const std::string grey = WritePng("plain_grey.png", 3, 1, 1, {0, 128, 255});
    const std::string rgb = WritePng("plain_rgb.png", 2, 1, 3, {1, 2, 3, 250, 251, 252});
    ASSERT_NE(gfx->LoadSurface(String(grey.c_str())), nullptr);
    ASSERT_NE(gfx->LoadSurface(String(rgb.c_str())), nullptr);
    const auto fills = rec.Named("glTexSubImage2D");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].args[6], GL_LUMINANCE);
    EXPECT_EQ(fills[0].pixels, (std::vector<uint8_t>{0, 128, 255}));
    EXPECT_EQ(fills[1].args[6], GL_RGB);
    EXPECT_EQ(fills[1].pixels, (std::vector<uint8_t>{1, 2, 3, 250, 251, 252}));
}

TEST_F(SurfaceTest, LoadingSetsTheForceSweepFlag) {
    gc_force_sweep = false;
    const std::string path = WriteCoordinatePng("force_sweep.png", 2, 2);
    ASSERT_NE(gfx->LoadSurface(String(path.c_str())), nullptr);
    EXPECT_TRUE(gc_force_sweep);
    gc_force_sweep = false;
}

TEST_F(SurfaceTest, MissingOrCorruptFilesGiveNull) {
    EXPECT_EQ(gfx->LoadSurface(T("./graphics_test_files/no_such_file.png")), nullptr);
    EXPECT_EQ(gfx->LoadSurface(T("vantor://nowhere/a.png")), nullptr);
    const std::string junk = WriteBytes("corrupt.png", {0x89, 'P', 'N', 'G', 1, 2, 3, 4});
    EXPECT_EQ(gfx->LoadSurface(String(junk.c_str())), nullptr);
    const std::string empty = WriteBytes("empty.png", {});
    EXPECT_EQ(gfx->LoadSurface(String(empty.c_str())), nullptr);
    EXPECT_EQ(rec.Count("glGenTextures"), 0u);
}

TEST_F(SurfaceTest, TruncatedPngGivesNull) {
    const std::string path = WriteCoordinatePng("whole.png", 40, 40);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 2);
    const std::string cut = WriteBytes("truncated.png", bytes);
    EXPECT_EQ(gfx->LoadSurface(String(cut.c_str())), nullptr);
}

TEST_F(SurfaceTest, CreateSurfaceMakesAnEmptyTexture) {
    gxtkSurface* s = gfx->CreateSurface(64, 32);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->depth, 4);
    EXPECT_EQ(Allocations(rec).size(), 1u);
    EXPECT_EQ(Allocations(rec)[0].args[2], GL_RGBA);
    EXPECT_EQ(rec.Count("glTexSubImage2D"), 0u);
    EXPECT_EQ(gfx->CreateSurface(0, 10), nullptr);
}

TEST_F(SurfaceTest, DiscardTwiceIsHarmless) {
    gxtkSurface* s = gfx->CreateSurface(4, 4);
    ASSERT_NE(s, nullptr);
    const unsigned name = s->texture;
    s->Discard();
    EXPECT_EQ(s->texture, 0u);
    s->Discard();
    const auto deletes = rec.Named("glDeleteTextures");
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0].args, (std::vector<double>{1, static_cast<double>(name)}));
}

TEST(SurfaceMemory, LoadImageFromMemory) {
    int w = 0, h = 0, depth = 0;
    EXPECT_EQ(loadImage(nullptr, 0, &w, &h, &depth), nullptr);
    const std::string path = WriteCoordinatePng("memory.png", 3, 2);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    unsigned char* pixels = loadImage(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &depth);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(depth, 4);
    EXPECT_EQ(pixels[(1 * 3 + 2) * 4], 2);
    unloadImage(pixels);
    unloadImage(nullptr);
}

// The start of a PNG file: the signature and an IHDR chunk (8-bit RGBA) of the given size, with
// no pixel data after it. stb_image reads the size from this much without checking the CRC.
std::vector<uint8_t> PngHeader(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n',
                                  0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    for (const uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(v >> shift));
    }
    const std::vector<uint8_t> rest = {8, 6, 0, 0, 0, 0, 0, 0, 0};  // depth, type, ..., CRC
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

TEST_F(SurfaceTest, HeaderAskingForMoreThanTheLimitIsRefusedWithOneLine) {
    const std::string path = WriteBytes("huge_9000x9000.png", PngHeader(9000, 9000));
    CaptureConsole();
    EXPECT_EQ(gfx->LoadSurface(String(path.c_str())), nullptr);
    EXPECT_EQ(TakeConsoleOutput(),
              "Image too large: " + path + " is 9000 x 9000 texels, more than 8192 x 8192\n");
    EXPECT_EQ(rec.Count("glGenTextures"), 0u);
}

TEST_F(SurfaceTest, TheLimitIsOnTheTexelCount) {
    // One texel over: refused.
    const std::string over = WriteBytes("over_8192x8193.png", PngHeader(8192, 8193));
    CaptureConsole();
    EXPECT_EQ(gfx->LoadSurface(String(over.c_str())), nullptr);
    EXPECT_NE(TakeConsoleOutput().find("Image too large: " + over), std::string::npos);

    // Exactly at the limit: decoded (and failing only for want of pixel data), not refused.
    const std::string at = WriteBytes("at_8192x8192.png", PngHeader(8192, 8192));
    CaptureConsole();
    EXPECT_EQ(gfx->LoadSurface(String(at.c_str())), nullptr);
    EXPECT_EQ(TakeConsoleOutput().find("too large"), std::string::npos);

    // A long thin picture wider than 8192 is far from the limit and loads.
    const std::string wide = WriteCoordinatePng("wide_9000x1.png", 9000, 1);
    gxtkSurface* s = gfx->LoadSurface(String(wide.c_str()));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 9000);
    EXPECT_EQ(s->Height(), 1);
}

TEST(SurfaceMemory, HeaderAskingForMoreThanTheLimitIsRefusedFromMemory) {
    const std::vector<uint8_t> bytes = PngHeader(9000, 9000);
    int w = -1, h = -1, depth = -1;
    CaptureConsole();
    EXPECT_EQ(loadImage(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &depth), nullptr);
    EXPECT_EQ(TakeConsoleOutput(),
              "Image too large: an image in memory is 9000 x 9000 texels, more than 8192 x "
              "8192\n");
    EXPECT_EQ(w, -1);  // nothing was decoded
}

// Found by fuzzing the surface loader: stb_image decodes a PGM header of width 0 into an empty
// picture, which became a surface of width 0 (and a texture scale of 0).
TEST_F(SurfaceTest, AGreyMapOfWidthZeroGivesNull) {
    const std::vector<uint8_t> bytes = {0x50, 0x35, 0x0a, 0x3b, 0x20, 0x32, 0x0a, 0x32, 0x00,
                                        0x35, 0x0a, 0x00, 0x00, 0x00, 0x00, 0x76, 0x00};
    const std::string path = WriteBytes("width_0.pgm", bytes);
    EXPECT_EQ(gfx->LoadSurface(String(path.c_str())), nullptr);
    EXPECT_EQ(rec.Count("glGenTextures"), 0u);
    int w = -1, h = -1, depth = -1;
    EXPECT_EQ(loadImage(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &depth), nullptr);
}

// Found by fuzzing the surface loader: a PSD whose resource section runs past the end of the
// file. stb_image's file reader refuses it and its memory reader decodes it; either way the
// result must be the 3 x 2 picture of its header or nothing, never a bogus size.
TEST_F(SurfaceTest, APsdWithAnOverlongResourceSectionLoadsSanelyOrNotAtAll) {
    const std::vector<uint8_t> bytes = {
        0x38, 0x42, 0x50, 0x53, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00,
        0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x08, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x1c, 0x38, 0x42, 0x49, 0x4d, 0x03, 0xed, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0xff, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
        0x00, 0x90, 0x00, 0x00, 0x00, 0x88, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x10, 0x00, 0x02, 0x00, 0x00, 0x00, 0x10, 0xff,
        0xff, 0x00, 0x00, 0x00, 0x10, 0x38, 0x42, 0x49, 0x4d, 0x6e, 0x6f, 0x72, 0x6d, 0xff, 0x00,
        0x01, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
        0x4c, 0x31, 0x00, 0x00, 0x02, 0x78, 0x9c, 0x63, 0x60, 0x60, 0x60, 0x38, 0xc1, 0x00, 0x00,
        0x01, 0x96, 0x00, 0xc9, 0x00, 0x02, 0x78, 0x9c, 0x63, 0x60, 0x60, 0x60, 0x48, 0x61, 0x00,
        0x00, 0x00, 0xce, 0x00, 0x65, 0x00, 0x02, 0x78, 0x9c, 0x63, 0x60, 0x60, 0x60, 0x30, 0x62,
        0x00, 0x00, 0x00, 0x6a, 0x00, 0x33, 0x00, 0x02, 0x78, 0x9c, 0x63, 0x60, 0x60, 0x60, 0x68,
        0x60, 0x00, 0x00, 0x01, 0x06, 0x00, 0x81, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x03,
        0x00, 0x05, 0x00, 0x03, 0x00, 0x05, 0x00, 0x03, 0x00, 0x05, 0x00, 0x03, 0x00, 0x05, 0xfe,
        0x00, 0x80, 0x02, 0x00, 0xc8, 0x00, 0x80, 0xfe, 0x00, 0x80, 0x02, 0x00, 0x64, 0x00, 0x80,
        0xfe, 0x00, 0x80, 0x02, 0x00, 0x32, 0x00, 0x80, 0xfe, 0x00, 0x80, 0x02, 0x00, 0x80, 0x00,
        0x80};
    const std::string path = WriteBytes("overlong_resources.psd", bytes);
    if (gxtkSurface* s = gfx->LoadSurface(String(path.c_str()))) {
        EXPECT_EQ(s->Width(), 3);
        EXPECT_EQ(s->Height(), 2);
    }
    int w = 0, h = 0, depth = 0;
    unsigned char* pixels = loadImage(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &depth);
    if (pixels != nullptr) {
        EXPECT_EQ(w, 3);
        EXPECT_EQ(h, 2);
        EXPECT_EQ(depth, 4);
        // Every byte of the picture is readable (AddressSanitizer would stop here otherwise).
        volatile unsigned sum = 0;
        for (int i = 0; i < w * h * depth; ++i) sum = sum + pixels[i];
    }
    unloadImage(pixels);
}

}  // namespace
