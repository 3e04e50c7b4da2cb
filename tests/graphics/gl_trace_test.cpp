// The GL trace: what the tracing table writes must read back call for call, with the bytes the
// calls read (interleaved vertices, indices, padded uploads), and the inner table must still
// receive every call. A trace cut short reads cleanly up to its last whole call.
#include "graphics/gl_trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Vertex {
    float x, y, u, v;
    uint32_t color;
};

class GlTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vexmo-trace-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        dir_ = made;
        path_ = (dir_ / "frames.trace").string();
    }
    void TearDown() override {
        StopGlTrace();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::vector<GlTraceCall> ReadAll(const std::string& path) {
        std::vector<GlTraceCall> calls;
        GlTraceReader reader(path);
        EXPECT_TRUE(reader.Valid());
        GlTraceCall call;
        while (reader.Next(&call)) calls.push_back(call);
        return calls;
    }

    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(GlTraceTest, DrawsCarryTheirVerticesAndIndices) {
    GlRecorder recorder;
    GlTable traced{};
    ASSERT_TRUE(StartGlTrace(path_, RecordingGlTable(), &traced));
    ASSERT_TRUE(GlTraceActive());

    const Vertex quad[4] = {{0, 0, 0, 0, 0xff0000ffu},
                            {8, 0, 1, 0, 0xff00ff00u},
                            {8, 8, 1, 1, 0xffff0000u},
                            {0, 8, 0, 1, 0x80808080u}};
    const GLushort indices[6] = {0, 1, 2, 0, 2, 3};
    const auto* base = reinterpret_cast<const uint8_t*>(quad);
    traced.VertexPointer(2, GL_FLOAT, sizeof(Vertex), base);
    traced.TexCoordPointer(2, GL_FLOAT, sizeof(Vertex), base + offsetof(Vertex, u));
    traced.ColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), base + offsetof(Vertex, color));
    traced.DrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices);
    traced.DrawArrays(GL_TRIANGLE_FAN, 1, 3);
    GlTraceFrameEnd();
    StopGlTrace();
    EXPECT_FALSE(GlTraceActive());

    // The inner table saw the draws as if no trace ran.
    EXPECT_EQ(recorder.Count("glDrawElements"), 1u);
    EXPECT_EQ(recorder.Count("glDrawArrays"), 1u);

    const std::vector<GlTraceCall> calls = ReadAll(path_);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].op, GlTraceOp::kVertexPointer);
    EXPECT_EQ(calls[0].ints, (std::vector<int32_t>{2, GL_FLOAT, int32_t(sizeof(Vertex))}));

    const GlTraceCall& elements = calls[3];
    ASSERT_EQ(elements.op, GlTraceOp::kDrawElements);
    EXPECT_EQ(elements.ints, (std::vector<int32_t>{
                                 GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, int32_t(sizeof(Vertex)),
                                 int32_t(offsetof(Vertex, u)), int32_t(offsetof(Vertex, color))}));
    ASSERT_EQ(elements.data.size(), sizeof quad);  // vertices 0 to the highest index, 3
    EXPECT_EQ(std::memcmp(elements.data.data(), quad, sizeof quad), 0);
    ASSERT_EQ(elements.indices.size(), sizeof indices);
    EXPECT_EQ(std::memcmp(elements.indices.data(), indices, sizeof indices), 0);

    // A draw from the middle carries only the vertices it reads.
    const GlTraceCall& arrays = calls[4];
    ASSERT_EQ(arrays.op, GlTraceOp::kDrawArrays);
    EXPECT_EQ(arrays.ints[1], 1);
    EXPECT_EQ(arrays.ints[2], 3);
    ASSERT_EQ(arrays.data.size(), 3 * sizeof(Vertex));
    EXPECT_EQ(std::memcmp(arrays.data.data(), &quad[1], 3 * sizeof(Vertex)), 0);

    EXPECT_EQ(calls[5].op, GlTraceOp::kFrameEnd);
}

TEST_F(GlTraceTest, UploadsKeepTheirRowPaddingAndTexturesTheirNames) {
    GlRecorder recorder;
    GlTable traced{};
    ASSERT_TRUE(StartGlTrace(path_, RecordingGlTable(), &traced));

    GLuint names[2] = {0, 0};
    traced.GenTextures(2, names);
    traced.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // 3 RGB pixels a row: 9 bytes padded to 12; the last row is not padded.
    std::vector<uint8_t> pixels(12 + 9);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i + 1);
    traced.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    traced.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    traced.DeleteTextures(1, &names[1]);
    StopGlTrace();

    const std::vector<GlTraceCall> calls = ReadAll(path_);
    ASSERT_EQ(calls.size(), 5u);
    ASSERT_EQ(calls[0].op, GlTraceOp::kGenTextures);
    ASSERT_EQ(calls[0].data.size(), 2 * sizeof(GLuint));
    GLuint traced0 = 0;
    std::memcpy(&traced0, calls[0].data.data(), sizeof traced0);
    EXPECT_EQ(traced0, names[0]);
    EXPECT_NE(names[0], 0u);

    ASSERT_EQ(calls[2].op, GlTraceOp::kTexImage2D);
    EXPECT_EQ(calls[2].ints[8], 1);
    EXPECT_EQ(calls[2].data, pixels);
    EXPECT_EQ(calls[3].ints[8], 0);  // no pixels passed: nothing stored
    EXPECT_TRUE(calls[3].data.empty());
    ASSERT_EQ(calls[4].op, GlTraceOp::kDeleteTextures);
    GLuint deleted = 0;
    std::memcpy(&deleted, calls[4].data.data(), sizeof deleted);
    EXPECT_EQ(deleted, names[1]);
}

TEST_F(GlTraceTest, ACutTraceReadsUpToItsLastWholeCall) {
    GlRecorder recorder;
    GlTable traced{};
    ASSERT_TRUE(StartGlTrace(path_, RecordingGlTable(), &traced));
    traced.ClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    traced.Clear(GL_COLOR_BUFFER_BIT);
    traced.Scissor(1, 2, 3, 4);
    StopGlTrace();

    const auto size = std::filesystem::file_size(path_);
    std::filesystem::resize_file(path_, size - 3);  // into the scissor's last argument
    const std::vector<GlTraceCall> calls = ReadAll(path_);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].reals, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
    EXPECT_EQ(calls[1].ints, (std::vector<int32_t>{GL_COLOR_BUFFER_BIT}));
}

TEST_F(GlTraceTest, DamageAndStrangersAreRefused) {
    {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite("NOTATRACE", 1, 9, file);
        std::fclose(file);
    }
    GlTraceReader stranger(path_);
    EXPECT_FALSE(stranger.Valid());

    {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        std::fwrite(kGlTraceMagic, 1, 8, file);
        const uint8_t unknownOp = 99;
        std::fwrite(&unknownOp, 1, 1, file);
        std::fclose(file);
    }
    GlTraceReader damaged(path_);
    ASSERT_TRUE(damaged.Valid());
    GlTraceCall call;
    EXPECT_FALSE(damaged.Next(&call));
    EXPECT_FALSE(damaged.Valid());

    GlTraceReader missing((dir_ / "none.trace").string());
    EXPECT_FALSE(missing.Valid());

    GlTable traced{};
    EXPECT_FALSE(
        StartGlTrace((dir_ / "no" / "such" / "dir").string(), RecordingGlTable(), &traced));
    EXPECT_FALSE(GlTraceActive());
}

TEST_F(GlTraceTest, FrameEndWithoutATraceDoesNothing) {
    ASSERT_FALSE(GlTraceActive());
    GlTraceFrameEnd();
    EXPECT_FALSE(std::filesystem::exists(path_));
}

}  // namespace
