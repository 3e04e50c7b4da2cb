#include "audio/sound_loader.h"

#include <stb_vorbis.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/asset_report.h"
#include "platform/data_path.h"

namespace {

// Largest decoded Vorbis frame is half the largest block (8192), per channel.
constexpr int kOggFrameRoom = 4096;

struct PcmLayout {
    int length = 0;
    int channels = 0;
    int bytesPerSample = 0;
    int rate = 0;
};

void publish(const PcmLayout& layout, int* length, int* channels, int* bytesPerSample, int* rate) {
    *length = layout.length;
    *channels = layout.channels;
    *bytesPerSample = layout.bytesPerSample;
    *rate = layout.rate;
}

// The device has an OpenAL format only for these.
bool isPlayableLayout(int channels, int bitsPerSample, int rate) {
    const bool channelsOk = channels == 1 || channels == 2;
    const bool bitsOk = bitsPerSample == 8 || bitsPerSample == 16;
    return channelsOk && bitsOk && rate > 0;
}

// Walks a RIFF file. Chunk sizes are checked against what is left of the file before anything
// is allocated or skipped, so a damaged or hostile size cannot make us allocate gigabytes.
class WavReader {
public:
    explicit WavReader(FILE* file) : file_(file) { end_ = findEnd(); }

    unsigned char* Read(PcmLayout* layout) {
        if (end_ < 0) return fail("cannot be read to its end");
        char tag[5];
        if (!readTag(tag) || !tagIs(tag, "RIFF")) return fail("not a RIFF file");
        readInt(file_);  // the RIFF size is not trusted; the file's real size is used
        if (!readTag(tag) || !tagIs(tag, "WAVE")) return fail("not a WAVE file");
        // The format must come first: its values are needed to size the data.
        if (!readTag(tag) || !tagIs(tag, "fmt ")) return fail("no format chunk after the header");
        if (!readFormat(layout)) return nullptr;
        return readChunksUntilData(layout);
    }

    // Why the last Read failed.
    const char* Failure() const { return failure_; }

private:
    unsigned char* fail(const char* why) {
        failure_ = why;
        return nullptr;
    }
    bool refuse(const char* why) {
        failure_ = why;
        return false;
    }

    long findEnd() const {
        const long start = std::ftell(file_);
        if (start < 0 || std::fseek(file_, 0, SEEK_END) != 0) return -1;
        const long end = std::ftell(file_);
        if (std::fseek(file_, start, SEEK_SET) != 0) return -1;
        return end;
    }

    long bytesLeft() const {
        const long pos = std::ftell(file_);
        return pos < 0 ? 0 : end_ - pos;
    }

    // A short read leaves the empty tag, which matches nothing.
    bool readTag(char (&tag)[5]) const {
        tag[4] = 0;
        if (std::fread(tag, 1, 4, file_) != 4) {
            tag[0] = 0;
            return false;
        }
        return true;
    }

    static bool tagIs(const char (&tag)[5], const char* wanted) {
        return std::memcmp(tag, wanted, 4) == 0;
    }

    bool skip(long bytes) const {
        if (bytes < 0 || bytes > bytesLeft()) return false;
        return std::fseek(file_, bytes, SEEK_CUR) == 0;
    }

    bool readFormat(PcmLayout* layout) {
        const int size = readInt(file_);
        const int formatCode = readShort(file_);
        const int channels = readShort(file_);
        const int rate = readInt(file_);
        readInt(file_);    // byte rate: derived, not needed
        readShort(file_);  // block alignment: derived, not needed
        const int bitsPerSample = readShort(file_);
        if (bitsPerSample < 0) return refuse("format chunk cut short");  // the last read failed
        if (formatCode != 1) return refuse("not integer PCM");
        if (!isPlayableLayout(channels, bitsPerSample, rate)) {
            return refuse("not 8 or 16 bit mono or stereo");
        }
        if (size > 16 && !skip(static_cast<long>(size) - 16)) {
            return refuse("format chunk cut short");
        }
        layout->channels = channels;
        layout->bytesPerSample = bitsPerSample / 8;
        layout->rate = rate;
        return true;
    }

    unsigned char* readChunksUntilData(PcmLayout* layout) {
        for (;;) {
            char tag[5];
            if (!readTag(tag)) return fail("no data chunk");
            // readInt's -1 at the end of the file lands here as well.
            const int size = readInt(file_);
            const bool data = tagIs(tag, "data");
            if (size < 0 || size > bytesLeft()) {
                return fail(data ? "data chunk cut short" : "a chunk runs past the end");
            }
            if (data) return readData(size, layout);
            // Chunks are skipped by exactly their stated size: no pad byte after odd sizes.
            if (!skip(size)) return fail("a chunk runs past the end");
        }
    }

    unsigned char* readData(int size, PcmLayout* layout) {
        // malloc(0) may return null, which would read as a failure.
        auto* data = static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
        if (data == nullptr) return fail("out of memory");
        if (std::fread(data, 1, size, file_) != static_cast<size_t>(size)) {
            std::free(data);
            return fail("data chunk cut short");
        }
        layout->length = size / (layout->channels * layout->bytesPerSample);
        return data;
    }

    FILE* file_;
    long end_ = -1;
    const char* failure_ = "not a sound file";
};

// Decodes the whole stream into a block that doubles whenever less than one frame's room is
// left, so long streams cost only a logarithmic number of reallocations.
short* decodeVorbis(stb_vorbis* decoder, int channels, int* frames) {
    long capacity = static_cast<long>(channels) * kOggFrameRoom;
    long filled = 0;
    auto* block = static_cast<short*>(std::malloc(capacity * sizeof(short)));
    if (block == nullptr) return nullptr;
    long total = 0;
    for (;;) {
        const long room = capacity - filled;
        const int room32 = room > INT_MAX ? INT_MAX : static_cast<int>(room);
        const int got =
            stb_vorbis_get_frame_short_interleaved(decoder, channels, block + filled, room32);
        if (got == 0) break;
        total += got;
        filled += static_cast<long>(got) * channels;
        if (total > INT_MAX) break;  // cannot be described by an int length
        if (capacity - filled < static_cast<long>(channels) * kOggFrameRoom) {
            auto* grown = static_cast<short*>(std::realloc(block, 2 * capacity * sizeof(short)));
            if (grown == nullptr) {
                std::free(block);
                return nullptr;
            }
            block = grown;
            capacity *= 2;
        }
    }
    if (total > INT_MAX) {
        std::free(block);
        return nullptr;
    }
    *frames = static_cast<int>(total);
    return block;
}

// The readers below, with the reason for a failure in `why`.
unsigned char* readWav(FILE* file, PcmLayout* layout, const char** why) {
    WavReader reader(file);
    unsigned char* pcm = reader.Read(layout);
    if (pcm == nullptr) *why = reader.Failure();
    return pcm;
}

unsigned char* readOgg(FILE* file, PcmLayout* layout, const char** why) {
    int error = 0;
    stb_vorbis* decoder = stb_vorbis_open_file(file, 0, &error, nullptr);
    if (decoder == nullptr) {
        *why = "not an Ogg Vorbis stream that can be decoded";
        return nullptr;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(decoder);
    layout->channels = info.channels;
    layout->bytesPerSample = 2;
    layout->rate = static_cast<int>(info.sample_rate);
    short* pcm = nullptr;
    if (!isPlayableLayout(layout->channels, 16, layout->rate)) {
        *why = "not mono or stereo";
    } else {
        pcm = decodeVorbis(decoder, layout->channels, &layout->length);
        if (pcm == nullptr) *why = "out of memory";
    }
    stb_vorbis_close(decoder);
    return reinterpret_cast<unsigned char*>(pcm);
}

using FileReader = unsigned char* (*)(FILE*, PcmLayout*, const char**);

unsigned char* loadWithReader(const String& path, FileReader reader, int* length, int* channels,
                              int* bytesPerSample, int* rate) {
    FileRefusal refusal;
    FILE* file = OpenDataFile(path, kMaxSoundFileBytes, &refusal);
    if (file == nullptr) {
        ReportAssetFailure(path, refusal.reason);
        return nullptr;
    }
    PcmLayout layout;
    const char* why = "not a sound file";
    unsigned char* pcm = reader(file, &layout, &why);
    std::fclose(file);
    if (pcm == nullptr) {
        ReportAssetFailure(path, why);
        return nullptr;
    }
    publish(layout, length, channels, bytesPerSample, rate);
    return pcm;
}

}  // namespace

String SoundFileExtension(const String& path) {
    const int dot = path.FindLast(T("."));
    if (dot < 0) return String();
    const int start = dot + 1;
    if (path.Find(T("/"), start) >= 0 || path.Find(T("\\"), start) >= 0) return String();
    return path.Slice(start).ToLower();
}

unsigned char* loadWavFile(FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    PcmLayout layout;
    const char* why = nullptr;
    unsigned char* pcm = readWav(file, &layout, &why);
    if (pcm != nullptr) publish(layout, length, channels, bytesPerSample, rate);
    return pcm;
}

unsigned char* loadOggFile(FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    PcmLayout layout;
    const char* why = nullptr;
    unsigned char* pcm = readOgg(file, &layout, &why);
    if (pcm != nullptr) publish(layout, length, channels, bytesPerSample, rate);
    return pcm;
}

unsigned char* loadSound(const String& path, int* length, int* channels, int* bytesPerSample,
                         int* rate) {
    const String extension = SoundFileExtension(path);
    if (extension == T("wav")) {
        return loadWithReader(path, readWav, length, channels, bytesPerSample, rate);
    }
    if (extension == T("ogg")) {
        return loadWithReader(path, readOgg, length, channels, bytesPerSample, rate);
    }
    ReportAssetFailure(path, "not a .wav or .ogg file");
    return nullptr;
}

void unloadSound(unsigned char* pcm) {
    std::free(pcm);
}
