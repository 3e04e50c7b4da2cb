#include "audio/sound_loader.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/audio/wav_bytes.h"

using namespace wavtest;

namespace {

struct Loaded {
    unsigned char* pcm = nullptr;
    // Sentinels show which outputs a load wrote.
    int length = -7;
    int channels = -7;
    int bytesPerSample = -7;
    int rate = -7;

    explicit Loaded(const std::string& path) {
        pcm = loadSound(String(path.c_str()), &length, &channels, &bytesPerSample, &rate);
    }
    ~Loaded() { unloadSound(pcm); }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    bool outputsUntouched() const {
        return length == -7 && channels == -7 && bytesPerSample == -7 && rate == -7;
    }
    Bytes data() const {
        const size_t n = static_cast<size_t>(length) * channels * bytesPerSample;
        return Bytes(pcm, pcm + n);
    }
};

Format stereo16() {
    Format f;
    f.channels = 2;
    f.bits = 16;
    f.rate = 44100;
    return f;
}

Format mono8() {
    Format f;
    f.channels = 1;
    f.bits = 8;
    f.rate = 8000;
    return f;
}

std::string ext(const char* path) {
    const String e = SoundFileExtension(String(path));
    return std::string(e.ToCString<char>());
}

}  // namespace

TEST(SoundFileExtension, IsLowerCasedTextAfterTheLastDot) {
    EXPECT_EQ(ext("sfx/001.WAV"), "wav");
    EXPECT_EQ(ext("music/theme.Ogg"), "ogg");
    EXPECT_EQ(ext("a.b.c.wav"), "wav");
    EXPECT_EQ(ext("dir.v2/x.ogg"), "ogg");
}

TEST(SoundFileExtension, IsEmptyWhenTheLastDotBelongsToAFolderOrIsMissing) {
    EXPECT_EQ(ext("sounds.old/boom"), "");
    EXPECT_EQ(ext("sounds.old\\boom"), "");
    EXPECT_EQ(ext("boom"), "");
    EXPECT_EQ(ext(""), "");
    EXPECT_EQ(ext("trailing."), "");
}

TEST(LoadSoundWav, CapitalExtensionIsReadAsWav) {
    TempDir dir;
    const Bytes data = pattern(64);
    Loaded loaded(dir.write("BOOM.WAV", simpleWav(mono8(), data)));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.data(), data);
}

TEST(LoadSoundWav, DotInFolderNameFails) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir.path() + "/sounds.old").c_str(), 0700), 0);
    Loaded loaded(dir.write("sounds.old/boom", simpleWav(mono8(), pattern(64))));
    EXPECT_EQ(loaded.pcm, nullptr);
    EXPECT_TRUE(loaded.outputsUntouched());
}

TEST(LoadSoundWav, NameWithoutDotFails) {
    TempDir dir;
    Loaded loaded(dir.write("boom", simpleWav(mono8(), pattern(64))));
    EXPECT_EQ(loaded.pcm, nullptr);
}

TEST(LoadSoundWav, MissingFileFails) {
    TempDir dir;
    Loaded loaded(dir.path() + "/absent.wav");
    EXPECT_EQ(loaded.pcm, nullptr);
    EXPECT_TRUE(loaded.outputsUntouched());
}

TEST(LoadSoundWav, FolderNamedLikeASoundFails) {
    TempDir dir;
    for (const char* name : {"/folder.wav", "/folder.ogg"}) {
        const std::string path = dir.path() + name;
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        Loaded loaded(path);
        EXPECT_EQ(loaded.pcm, nullptr) << name;
        EXPECT_TRUE(loaded.outputsUntouched());
    }
}

// inotify reports every open of a watched file, so "never opened" is observed, not assumed.
TEST(LoadSoundWav, Mp3IsRefusedWithoutOpeningTheFile) {
    TempDir dir;
    const Bytes wav = simpleWav(mono8(), pattern(64));
    const std::string mp3 = dir.write("song.mp3", wav);
    const std::string copy = dir.write("song.wav", wav);
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, dir.path().c_str(), IN_OPEN), 0);

    auto openedNames = [&] {
        std::string names;
        alignas(inotify_event) char buf[4096];
        for (ssize_t n; (n = read(watch, buf, sizeof buf)) > 0;) {
            for (char* p = buf; p < buf + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0) names += std::string(event->name) + ";";
                p += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    };

    {
        Loaded refused(mp3);
        EXPECT_EQ(refused.pcm, nullptr);
    }
    EXPECT_EQ(openedNames(), "");
    {
        Loaded accepted(copy);  // the same bytes under a .wav name are opened and read
        EXPECT_NE(accepted.pcm, nullptr);
    }
    EXPECT_EQ(openedNames(), "song.wav;");
    close(watch);
}

TEST(LoadSoundWav, EighteenByteFormatChunkLoads) {
    TempDir dir;
    Format f = stereo16();
    f.extraBytes = 2;
    const Bytes data = pattern(400);
    Loaded loaded(dir.write("ext.wav", simpleWav(f, data)));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, 100);
    EXPECT_EQ(loaded.data(), data);
}

TEST(LoadSoundWav, ListChunkBeforeDataIsSkipped) {
    TempDir dir;
    const Bytes data = pattern(100);
    const Bytes info = {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 2, 0, 0, 0, 'x', 0};
    const Bytes file = riff({fmtChunk(mono8()), chunk("LIST", info), chunk("data", data)});
    Loaded loaded(dir.write("list.wav", file));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, 100);
    EXPECT_EQ(loaded.data(), data);
}

TEST(LoadSoundWav, SixteenBitStereoOf4000BytesGives1000Frames) {
    TempDir dir;
    const Bytes data = pattern(4000);
    Loaded loaded(dir.write("stereo.wav", simpleWav(stereo16(), data)));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, 1000);
    EXPECT_EQ(loaded.channels, 2);
    EXPECT_EQ(loaded.bytesPerSample, 2);
    EXPECT_EQ(loaded.rate, 44100);
    EXPECT_EQ(loaded.data(), data);
}

TEST(LoadSoundWav, EightBitMonoIsReturnedUnchanged) {
    TempDir dir;
    Bytes data;
    for (int i = 0; i < 256; ++i) data.push_back(static_cast<unsigned char>(i));
    Loaded loaded(dir.write("mono8.wav", simpleWav(mono8(), data)));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, 256);
    EXPECT_EQ(loaded.channels, 1);
    EXPECT_EQ(loaded.bytesPerSample, 1);
    EXPECT_EQ(loaded.rate, 8000);
    EXPECT_EQ(loaded.data(), data);  // unsigned samples, not re-centred
}

TEST(LoadSoundWav, PartialLastFrameIsNotCounted) {
    TempDir dir;
    Loaded loaded(dir.write("odd.wav", simpleWav(stereo16(), pattern(4003))));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, 1000);
}

TEST(LoadSoundWav, FormatChunkMustComeFirst) {
    TempDir dir;
    const Bytes file =
        riff({chunk("LIST", pattern(4)), fmtChunk(mono8()), chunk("data", pattern(10))});
    Loaded loaded(dir.write("late_fmt.wav", file));
    EXPECT_EQ(loaded.pcm, nullptr);
    EXPECT_TRUE(loaded.outputsUntouched());
}

TEST(LoadSoundWav, WrongRiffOrWaveTagFails) {
    TempDir dir;
    Bytes notRiff = simpleWav(mono8(), pattern(10));
    notRiff[0] = 'X';
    Bytes notWave = simpleWav(mono8(), pattern(10));
    notWave[8] = 'X';
    EXPECT_EQ(Loaded(dir.write("a.wav", notRiff)).pcm, nullptr);
    EXPECT_EQ(Loaded(dir.write("b.wav", notWave)).pcm, nullptr);
}

TEST(LoadSoundWav, FloatFormatFails) {
    TempDir dir;
    Format f = stereo16();
    f.code = 3;
    f.bits = 32;
    Loaded loaded(dir.write("float.wav", simpleWav(f, pattern(800))));
    EXPECT_EQ(loaded.pcm, nullptr);
    EXPECT_TRUE(loaded.outputsUntouched());
}

TEST(LoadSoundWav, LayoutsWithoutAnOpenALFormatAreRejected) {
    TempDir dir;
    Format six = stereo16();
    six.channels = 6;
    Format deep = stereo16();
    deep.bits = 24;
    Format narrow = mono8();
    narrow.bits = 4;
    Format zeroChannels = mono8();
    zeroChannels.channels = 0;  // would divide by zero when counting frames
    Format zeroRate = mono8();
    zeroRate.rate = 0;
    for (const Format& f : {six, deep, narrow, zeroChannels, zeroRate}) {
        Loaded loaded(dir.write("bad.wav", simpleWav(f, pattern(240))));
        EXPECT_EQ(loaded.pcm, nullptr) << f.channels << " channels, " << f.bits << " bits";
        EXPECT_TRUE(loaded.outputsUntouched());
    }
}

TEST(LoadSoundWav, MissingDataChunkFails) {
    TempDir dir;
    Loaded loaded(dir.write("nodata.wav", riff({fmtChunk(mono8()), chunk("LIST", pattern(8))})));
    EXPECT_EQ(loaded.pcm, nullptr);
}

TEST(LoadSoundWav, TagWithoutSizeAtTheEndFails) {
    TempDir dir;
    Bytes file = riff({fmtChunk(mono8())});
    putTag(file, "data");  // readInt meets the end of the file and gives -1
    Loaded loaded(dir.write("cut.wav", file));
    EXPECT_EQ(loaded.pcm, nullptr);
}

TEST(LoadSoundWav, DataChunkLongerThanTheFileFails) {
    TempDir dir;
    const Bytes file = riff({fmtChunk(stereo16()), chunk("data", pattern(100), 4000)});
    Loaded loaded(dir.write("short.wav", file));
    EXPECT_EQ(loaded.pcm, nullptr);
    EXPECT_TRUE(loaded.outputsUntouched());
}

// Sizes from damaged or hostile files: near 2 GiB, or with the top bit set (negative as an
// int). None of them may be allocated or skipped blindly.
TEST(LoadSoundWav, AbsurdChunkSizesFailCleanly) {
    TempDir dir;
    for (const int64_t stated : {int64_t{0x7FFFFFF0}, int64_t{0xFFFFFFF0}, int64_t{0x80000000}}) {
        const Bytes bigData = riff({fmtChunk(stereo16()), chunk("data", pattern(16), stated)});
        EXPECT_EQ(Loaded(dir.write("big_data.wav", bigData)).pcm, nullptr) << stated;
        const Bytes bigSkip = riff(
            {fmtChunk(stereo16()), chunk("LIST", pattern(16), stated), chunk("data", pattern(16))});
        EXPECT_EQ(Loaded(dir.write("big_skip.wav", bigSkip)).pcm, nullptr) << stated;
    }
    Format hugeFmt = stereo16();
    Bytes file = riff({fmtChunk(hugeFmt), chunk("data", pattern(16))});
    file[16] = 0xF0;  // the format chunk's size, little-endian: 0x7FFFFFF0
    file[17] = 0xFF;
    file[18] = 0xFF;
    file[19] = 0x7F;
    EXPECT_EQ(Loaded(dir.write("big_fmt.wav", file)).pcm, nullptr);
}

TEST(LoadSoundWav, EmptyDataChunkLoadsAsZeroFrames) {
    TempDir dir;
    Loaded loaded(dir.write("empty.wav", simpleWav(mono8(), Bytes())));
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, 0);
}

TEST(LoadSoundWav, ReaderWorksOnAnOpenFileFromMemory) {
    Bytes file = simpleWav(stereo16(), pattern(40));
    FILE* f = fmemopen(file.data(), file.size(), "rb");
    ASSERT_NE(f, nullptr);
    int length = 0, channels = 0, bytesPerSample = 0, rate = 0;
    unsigned char* pcm = loadWavFile(f, &length, &channels, &bytesPerSample, &rate);
    std::fclose(f);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(length, 10);
    unloadSound(pcm);
}

TEST(LoadSoundOgg, EncodedStreamDecodesToItsFramesAndRate) {
    TempDir dir;
    Format f = stereo16();
    f.rate = 22050;
    constexpr int kFrames = 100000;
    Bytes data;
    const Bytes left = sineData(kFrames, 440, 22050, 0.5);
    const Bytes right = sineData(kFrames, 660, 22050, 0.5);
    for (int i = 0; i < kFrames; ++i) {
        data.insert(data.end(), left.begin() + 2 * i, left.begin() + 2 * i + 2);
        data.insert(data.end(), right.begin() + 2 * i, right.begin() + 2 * i + 2);
    }
    const std::string wav = dir.write("tone.wav", simpleWav(f, data));
    const std::string ogg = dir.path() + "/tone.ogg";
    const std::string command = "oggenc -Q -o '" + ogg + "' '" + wav + "'";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "oggenc is not installed";

    Loaded loaded(ogg);
    ASSERT_NE(loaded.pcm, nullptr);
    EXPECT_EQ(loaded.length, kFrames);
    EXPECT_EQ(loaded.channels, 2);
    EXPECT_EQ(loaded.bytesPerSample, 2);
    EXPECT_EQ(loaded.rate, 22050);
}

TEST(LoadSoundOgg, BytesThatAreNotVorbisFail) {
    TempDir dir;
    Loaded loaded(dir.write("noise.ogg", pattern(5000)));
    EXPECT_EQ(loaded.pcm, nullptr);
    EXPECT_TRUE(loaded.outputsUntouched());
    Loaded wavNamedOgg(dir.write("wav.ogg", simpleWav(mono8(), pattern(50))));
    EXPECT_EQ(wavNamedOgg.pcm, nullptr);
}
