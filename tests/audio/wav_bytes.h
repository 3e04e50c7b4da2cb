// Builds WAV files byte by byte so each test states exactly the layout it exercises.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace wavtest {

using Bytes = std::vector<unsigned char>;

inline void putU16(Bytes& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

inline void putU32(Bytes& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back((v >> shift) & 0xFF);
}

inline void putTag(Bytes& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// A chunk whose stated size is the payload's unless `statedSize` overrides it.
inline Bytes chunk(const char* tag, const Bytes& payload, int64_t statedSize = -1) {
    Bytes out;
    putTag(out, tag);
    putU32(out, static_cast<uint32_t>(statedSize >= 0 ? statedSize : payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

struct Format {
    unsigned code = 1;
    unsigned channels = 1;
    uint32_t rate = 22050;
    unsigned bits = 16;
    unsigned extraBytes = 0;  // appended to the 16 standard bytes and counted in the size
};

inline Bytes fmtChunk(const Format& f) {
    Bytes payload;
    putU16(payload, f.code);
    putU16(payload, f.channels);
    putU32(payload, f.rate);
    const unsigned blockAlign = f.channels * (f.bits / 8);
    putU32(payload, f.rate * blockAlign);
    putU16(payload, blockAlign);
    putU16(payload, f.bits);
    for (unsigned i = 0; i < f.extraBytes; ++i) payload.push_back(0);
    return chunk("fmt ", payload);
}

// "RIFF" size "WAVE" followed by the given chunks in order.
inline Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    putTag(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes out;
    putTag(out, "RIFF");
    putU32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline Bytes pattern(size_t n) {
    Bytes out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(i * 7 + 3);
    return out;
}

inline Bytes simpleWav(const Format& f, const Bytes& data) {
    return riff({fmtChunk(f), chunk("data", data)});
}

// Mono 16-bit sine of `frames` frames at full scale times `amplitude`.
inline Bytes sineData(int frames, double hertz, int rate, double amplitude) {
    Bytes out;
    for (int i = 0; i < frames; ++i) {
        const double v = amplitude * 32767.0 * std::sin(2.0 * M_PI * hertz * i / rate);
        putU16(out, static_cast<unsigned>(static_cast<int16_t>(std::lround(v))) & 0xFFFF);
    }
    return out;
}

// A private folder under /tmp, removed with its files when the object goes away.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/vexmo_audio_XXXXXX";
        const char* made = mkdtemp(name);
        path_ = made != nullptr ? made : "/tmp";
    }
    ~TempDir() {
        const std::string command = "rm -rf '" + path_ + "'";
        if (path_ != "/tmp" && std::system(command.c_str()) != 0) std::perror("rm");
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }

    std::string write(const std::string& name, const Bytes& bytes) const {
        const std::string full = path_ + "/" + name;
        FILE* f = std::fopen(full.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return full;
    }

private:
    std::string path_;
};

}  // namespace wavtest
