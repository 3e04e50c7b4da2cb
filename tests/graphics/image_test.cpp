#include "graphics/image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <utility>

#include "picture_files.h"
#include "recorder_fixture.h"

namespace {

using ImageTest = RecorderTest;

String PathOf(const std::string& path) {
    return String(path.c_str());
}

std::vector<std::pair<int, int>> Positions(const Image* image) {
    std::vector<std::pair<int, int>> out;
    for (const gc_ref<Frame>& f : image->frames) out.emplace_back(f->x, f->y);
    return out;
}

TEST_F(ImageTest, FontStripWithXPadding) {
    const std::string path = WriteCoordinatePng("strip_960x10.png", 960, 10);
    Image* image = LoadImage(PathOf(path), 96, Image::XPadding);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Frames(), 96);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(image->height, 10);
    EXPECT_EQ(image->frames[0]->x, 1);
    EXPECT_EQ(image->frames[1]->x, 11);
    EXPECT_EQ(image->frames[2]->x, 21);
    EXPECT_EQ(image->frames[95]->x, 951);
    EXPECT_EQ(image->frames[95]->y, 0);
    EXPECT_EQ(image->flags, Image::XPadding);
}

TEST_F(ImageTest, SingleFrameCoveringTheSurfaceIsFullFrame) {
    const std::string path = WriteCoordinatePng("single_64x32.png", 64, 32);
    Image* plain = LoadImage(PathOf(path), 1, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->flags, Image::FullFrame);

    Image* padded = LoadImage(PathOf(path), 1, Image::XPadding);
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->frames[0]->x, 1);
    EXPECT_EQ(padded->flags & Image::FullFrame, 0);

    Image* yPadded = LoadImage(PathOf(path), 1, Image::YPadding);
    EXPECT_EQ(yPadded->frames[0]->y, 1);
    EXPECT_EQ(yPadded->height, 30);
    EXPECT_EQ(yPadded->flags & Image::FullFrame, 0);
}

TEST_F(ImageTest, MidHandleIsCentredAndItsBitCleared) {
    const std::string path = WriteCoordinatePng("mid_64x32.png", 64, 32);
    Image* image = LoadImage(PathOf(path), 1, Image::MidHandle);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->tx, 32.0f);
    EXPECT_EQ(image->ty, 16.0f);
    EXPECT_EQ(image->flags, Image::FullFrame);

    Image* padded = LoadImage(PathOf(path), 2, Image::MidHandle | Image::XPadding);
    EXPECT_EQ(padded->width, 30);
    EXPECT_EQ(padded->tx, 15.0f);  // centred on the frame after the gaps came off
    EXPECT_EQ(padded->flags, Image::XPadding);
}

TEST_F(ImageTest, SetHandleClearsMidHandle) {
    const std::string path = WriteCoordinatePng("handle_8x8.png", 8, 8);
    Image* image = LoadImage(PathOf(path), 2, 0);
    image->flags |= Image::MidHandle;
    image->SetHandle(1.5f, 2.5f);
    EXPECT_EQ(image->tx, 1.5f);
    EXPECT_EQ(image->ty, 2.5f);
    EXPECT_EQ(image->flags & Image::MidHandle, 0);
}

TEST_F(ImageTest, GridGrabRunsRowByRow) {
    const std::string path = WriteCoordinatePng("grid_100x100.png", 100, 100);
    Image* image = LoadImage2(PathOf(path), 30, 30, 9, 0);
    ASSERT_NE(image, nullptr);
    const std::vector<std::pair<int, int>> expected = {
        {0, 0}, {30, 0}, {60, 0}, {0, 30}, {30, 30}, {60, 30}, {0, 60}, {30, 60}, {60, 60}};
    EXPECT_EQ(Positions(image), expected);
    EXPECT_EQ(image->width, 30);
    EXPECT_EQ(image->height, 30);
    ASSERT_NE(image->source, nullptr);
    EXPECT_EQ(image->surface.get(), image->source->surface.get());
    EXPECT_EQ(image->flags & Image::FullFrame, 0);
}

TEST_F(ImageTest, LaterRowsRestartAtColumnZero) {
    const std::string path = WriteCoordinatePng("restart_100x100.png", 100, 100);
    Image* atlas = LoadImage(PathOf(path), 1, 0);
    Image* image = atlas->GrabImage(50, 10, 40, 20, 3, 0);
    ASSERT_NE(image, nullptr);
    const std::vector<std::pair<int, int>> expected = {{50, 10}, {0, 30}, {40, 30}};
    EXPECT_EQ(Positions(image), expected);
}

TEST_F(ImageTest, GrabbedFramesAreOffsetByTheSourceFrame) {
    const std::string path = WriteCoordinatePng("offset_100x100.png", 100, 100);
    Image* atlas = LoadImage(PathOf(path), 1, Image::XPadding | Image::YPadding);
    Image* image = atlas->GrabImage(0, 0, 10, 10, 2, 0);
    ASSERT_NE(image, nullptr);
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {11, 1}};
    EXPECT_EQ(Positions(image), expected);
}

TEST_F(ImageTest, GrabFromAMultiFrameImageGivesNull) {
    const std::string path = WriteCoordinatePng("multi_40x10.png", 40, 10);
    Image* strip = LoadImage(PathOf(path), 4, 0);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->GrabImage(0, 0, 5, 5, 1, 0), nullptr);
}

TEST_F(ImageTest, MissingFilesGiveNull) {
    EXPECT_EQ(LoadImage(T("./graphics_test_files/absent.png"), 1, 0), nullptr);
    EXPECT_EQ(LoadImage2(T("./graphics_test_files/absent.png"), 8, 8, 1, 0), nullptr);
}

TEST_F(ImageTest, DataNamesAreReadFromTheDataFolder) {
    std::filesystem::create_directories("data/graphics_test");
    std::filesystem::copy_file(WriteCoordinatePng("in_data.png", 4, 4),
                               "data/graphics_test/in_data.png",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_NE(LoadImage(T("graphics_test/in_data.png"), 1, 0), nullptr);
    std::filesystem::remove_all("data/graphics_test");
}

TEST_F(ImageTest, TooManyFramesIsARuntimeError) {
    const std::string path = WriteCoordinatePng("grid10_100x100.png", 100, 100);
    EXPECT_RUNTIME_ERROR(LoadImage2(PathOf(path), 30, 30, 10, 0), "Image frame outside surface");
}

TEST_F(ImageTest, FrameWiderThanTheFileIsARuntimeError) {
    const std::string path = WriteCoordinatePng("narrow_20x20.png", 20, 20);
    EXPECT_RUNTIME_ERROR(LoadImage2(PathOf(path), 21, 10, 1, 0), "Image frame outside surface");
}

TEST_F(ImageTest, FrameTallerThanTheFileIsARuntimeError) {
    const std::string path = WriteCoordinatePng("short_20x20.png", 20, 20);
    EXPECT_RUNTIME_ERROR(LoadImage2(PathOf(path), 10, 21, 1, 0), "Image frame outside surface");
}

TEST_F(ImageTest, ZeroFramesIsARuntimeError) {
    const std::string path = WriteCoordinatePng("zero_frames.png", 20, 20);
    EXPECT_RUNTIME_ERROR(LoadImage(PathOf(path), 0, 0), "Image frame count");
}

TEST_F(ImageTest, DrawImageSubtractsTheHandle) {
    const std::string path = WriteCoordinatePng("handle_16x16.png", 32, 16);
    Image* image = LoadImage(PathOf(path), 2, 0);
    image->SetHandle(8, 8);
    rec.Clear();
    DrawImage(image, 100, 50, 1);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto& v = draws[0].vertices;
    EXPECT_EQ(v[0].x, 92.0f);
    EXPECT_EQ(v[0].y, 42.0f);
    EXPECT_EQ(v[2].x, 108.0f);
    EXPECT_EQ(v[2].y, 58.0f);
    EXPECT_FLOAT_EQ(v[0].u, 0.5f);  // frame 1 starts half-way along
    EXPECT_FLOAT_EQ(v[2].u, 1.0f);
    EXPECT_EQ(graphics::context->matrixSp, 0);
}

TEST_F(ImageTest, FullFrameImagesDrawTheWholeSurface) {
    const std::string path = WriteCoordinatePng("full_10x10.png", 10, 10);
    Image* image = LoadImage(PathOf(path), 1, 0);
    rec.Clear();
    DrawImage(image, 3, 4, 0);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].x, 3.0f);
    EXPECT_EQ(draws[0].vertices[2].x, 13.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[2].u, 1.0f);
}

TEST_F(ImageTest, DrawImageUnderATransformKeepsTheStackBalanced) {
    const std::string path = WriteCoordinatePng("tformed_8x8.png", 8, 8);
    Image* image = LoadImage(PathOf(path), 1, Image::MidHandle);
    Scale(2, 2);
    DrawImage(image, 10, 10, 0);
    EXPECT_EQ(graphics::context->matrixSp, 0);
    EXPECT_EQ(graphics::context->tx, 0.0f);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].x, 12.0f);  // (10 - 4) * 2
    EXPECT_EQ(draws[0].vertices[2].x, 28.0f);  // (10 - 4 + 8) * 2
}

TEST_F(ImageTest, DrawImage2WithoutRotationOrScaleMatchesDrawImage) {
    const std::string path = WriteCoordinatePng("same_16x16.png", 32, 16);
    Image* image = LoadImage(PathOf(path), 2, Image::MidHandle);
    DrawImage(image, 100.5f, 50.25f, 1);
    DrawImage2(image, 100.5f, 50.25f, 0, 1, 1, 1);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto& v = draws[0].vertices;
    ASSERT_EQ(v.size(), 8u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, v[i + 4].x) << i;
        EXPECT_EQ(v[i].y, v[i + 4].y) << i;
        EXPECT_EQ(v[i].u, v[i + 4].u) << i;
    }
    EXPECT_EQ(graphics::context->matrixSp, 0);
}

TEST_F(ImageTest, DrawImage2ScalesAndRotatesAboutTheHandle) {
    const std::string path = WriteCoordinatePng("rotated_4x2.png", 4, 2);
    Image* image = LoadImage(PathOf(path), 1, 0);
    image->SetHandle(1, 1);
    DrawImage2(image, 50, 60, 90, 2, 1, 0);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto& v = draws[0].vertices;
    // Corner (0,0): minus the handle (-1,-1), scaled (-2,-1), turned a quarter counter-clockwise
    // on the screen (x, y) -> (y, -x): (-1, 2), then moved to (50, 60).
    EXPECT_NEAR(v[0].x, 49, 1e-4);
    EXPECT_NEAR(v[0].y, 62, 1e-4);
    // Corner (4,2): (3,1) -> (6,1) -> (1,-6) -> (51, 54).
    EXPECT_NEAR(v[2].x, 51, 1e-4);
    EXPECT_NEAR(v[2].y, 54, 1e-4);
}

TEST_F(ImageTest, FrameIndexOutsideTheImageIsARuntimeError) {
    const std::string path = WriteCoordinatePng("index_8x8.png", 16, 8);
    Image* image = LoadImage(PathOf(path), 2, 0);
    EXPECT_RUNTIME_ERROR(DrawImage(image, 0, 0, 2), "Image frame index");
    EXPECT_RUNTIME_ERROR(DrawImage2(image, 0, 0, 0, 1, 1, -1), "Image frame index");
}

TEST_F(ImageTest, SetFontKeepsTheGivenFontOrFallsBackToTheBuiltIn) {
    const std::string path = WriteCoordinatePng("font_80x10.png", 80, 10);
    Image* font = LoadImage(PathOf(path), 8, 0);
    SetFont(font, 40);
    EXPECT_EQ(GetFont(), font);
    EXPECT_EQ(graphics::context->firstChar, 40);

    SetFont(nullptr, 99);
    EXPECT_EQ(graphics::context->firstChar, 32);
    EXPECT_EQ(GetFont(), graphics::context->defaultFont.get());
    if (GetFont()) {  // the data folder of this build carries the built-in font
        EXPECT_EQ(GetFont()->Frames(), 96);
        EXPECT_EQ(GetFont()->frames[0]->x, 1);
    }
}

}  // namespace
