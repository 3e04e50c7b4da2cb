#include "graphics/gl_table.h"

#include <gtest/gtest.h>

namespace {

TEST(GlTable, RealTableIsTheDefaultAndEveryEntryIsSet) {
    const GlTable real = RealGlTable();
    EXPECT_EQ(Gl().Clear, real.Clear);
    EXPECT_EQ(Gl().DrawElements, real.DrawElements);
    const auto* entries = reinterpret_cast<void* const*>(&real);
    for (size_t i = 0; i < sizeof(GlTable) / sizeof(void*); ++i) {
        EXPECT_NE(entries[i], nullptr) << "entry " << i;
    }
    const GlTable recording = RecordingGlTable();
    entries = reinterpret_cast<void* const*>(&recording);
    for (size_t i = 0; i < sizeof(GlTable) / sizeof(void*); ++i) {
        EXPECT_NE(entries[i], nullptr) << "entry " << i;
    }
}

TEST(GlRecorder, InstallsItselfAndRestoresThePreviousTable) {
    const auto realClear = Gl().Clear;
    {
        GlRecorder outer;
        EXPECT_EQ(GlRecorder::Active(), &outer);
        EXPECT_NE(Gl().Clear, realClear);
        {
            GlRecorder inner;
            Gl().Clear(GL_COLOR_BUFFER_BIT);
            EXPECT_EQ(inner.Count("glClear"), 1u);
            EXPECT_EQ(outer.Count("glClear"), 0u);
        }
        EXPECT_EQ(GlRecorder::Active(), &outer);
        Gl().Viewport(1, 2, 3, 4);
        EXPECT_EQ(outer.Named("glViewport")[0].args, (std::vector<double>{1, 2, 3, 4}));
    }
    EXPECT_EQ(GlRecorder::Active(), nullptr);
    EXPECT_EQ(Gl().Clear, realClear);
}

TEST(GlRecorder, FakesTextureNamesAndQueuedErrors) {
    GlRecorder rec;
    GLuint names[2] = {0, 0};
    Gl().GenTextures(2, names);
    EXPECT_EQ(names[0], 1u);
    EXPECT_EQ(names[1], 2u);
    EXPECT_EQ(Gl().GetError(), static_cast<GLenum>(GL_NO_ERROR));
    rec.rejectTexImage = [](int w, int) { return w > 64; };
    Gl().TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 65, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    EXPECT_EQ(Gl().GetError(), static_cast<GLenum>(GL_OUT_OF_MEMORY));
    EXPECT_EQ(Gl().GetError(), static_cast<GLenum>(GL_NO_ERROR));
    Gl().TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    EXPECT_EQ(Gl().GetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GlRecorder, DrawCallsCarryTheirVerticesUnlessCaptureIsOff) {
    GlRecorder rec;
    const GlVertexRecord vertices[3] = {
        {1, 2, 0.5f, 0.25f, 0xFF0000FFu}, {3, 4, 0, 0, 0}, {5, 6, 0, 0, 0}};
    const auto* base = reinterpret_cast<const unsigned char*>(vertices);
    Gl().VertexPointer(2, GL_FLOAT, 20, base);
    Gl().TexCoordPointer(2, GL_FLOAT, 20, base + 8);
    Gl().ColorPointer(4, GL_UNSIGNED_BYTE, 20, base + 16);
    const GLushort indices[3] = {2, 0, 1};
    Gl().DrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_SHORT, indices);
    Gl().DrawArrays(GL_POINTS, 1, 1);
    auto draws = rec.DrawCalls();
    ASSERT_EQ(draws.size(), 2u);
    ASSERT_EQ(draws[0].vertices.size(), 3u);
    EXPECT_EQ(draws[0].vertices[0].x, 1.0f);
    EXPECT_EQ(draws[0].vertices[0].u, 0.5f);
    EXPECT_EQ(draws[0].vertices[0].color, 0xFF0000FFu);
    ASSERT_EQ(draws[1].vertices.size(), 1u);
    EXPECT_EQ(draws[1].vertices[0].y, 4.0f);

    rec.Clear();
    rec.captureData = false;
    Gl().DrawArrays(GL_POINTS, 0, 3);
    draws = rec.DrawCalls();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_TRUE(draws[0].vertices.empty());
}

TEST(GlRecorder, UploadsAreCapturedWithTheUnpackAlignment) {
    GlRecorder rec;
    // Two rows of 3 grey texels; with the default alignment of 4 each row takes 4 bytes.
    const uint8_t padded[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    Gl().TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 3, 2, GL_LUMINANCE, GL_UNSIGNED_BYTE, padded);
    EXPECT_EQ(rec.calls.back().pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    Gl().PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const uint8_t packed[6] = {1, 2, 3, 4, 5, 6};
    Gl().TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 3, 2, GL_LUMINANCE, GL_UNSIGNED_BYTE, packed);
    EXPECT_EQ(rec.calls.back().pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
