#include "host/replay_file.h"

#include <cstdlib>
#include <cstring>

#include "host/replay_tape.h"

// The body is one zlib stream (RFC 1950). The desktop packs it with zlib, whose dynamic
// Huffman codes make a replay about half the size; the browser has no zlib of its own (its
// port would be fetched at build time) and uses stb's, which both builds carry. Either reads
// the other's streams.
#ifdef __EMSCRIPTEN__
extern "C" unsigned char* stbi_zlib_compress(unsigned char* data, int data_len, int* out_len,
                                             int quality);
extern "C" int stbi_zlib_decode_buffer(char* obuffer, int olen, const char* ibuffer, int ilen);
#else
#include <zlib.h>
#endif

#ifndef VEXMO_PLAY_REVISION
#define VEXMO_PLAY_REVISION 1
#endif

namespace {

constexpr char kMagic[8] = {'V', 'X', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr size_t kCrcBytes = 4;
// A header is a few dozen bytes; anything near this is not one.
constexpr uint64_t kMaxHeaderBytes = 4096;
constexpr uint64_t kMaxBuildBytes = 200;
// Four hours of tape stays far below this even uncompressed.
constexpr uint64_t kMaxBodyBytes = 64u * 1024 * 1024;

void PutString(TapeWriter& w, const std::string& s) {
    w.Unsigned(s.size());
    for (const char c : s) w.Unsigned(static_cast<unsigned char>(c));
}

std::vector<uint8_t> HeaderBytes(const ReplayHeader& h) {
    TapeWriter w;
    w.Unsigned(static_cast<uint64_t>(h.version));
    PutString(w, h.build);
    w.Signed(h.difficulty);
    w.Signed(h.score);
    w.Signed(h.rounds);
    w.Signed(h.updates);
    w.Signed(h.date);
    w.Unsigned(h.recordCrc);
    for (const int v : h.size) w.Signed(v);
    return w.Bytes();
}

bool ReadHeader(const std::vector<uint8_t>& bytes, ReplayHeader* h, std::string* why) {
    TapeReader r(&bytes);
    const uint64_t version = r.Unsigned();
    if (!r.Failed() && version != static_cast<uint64_t>(kReplayFormatVersion)) {
        *why = "replay format " + std::to_string(version) + " is not the one this build reads (" +
               std::to_string(kReplayFormatVersion) + ")";
        return false;
    }
    h->version = static_cast<int>(version);
    const uint64_t buildLength = r.Unsigned();
    if (buildLength > kMaxBuildBytes) r.Fail("the replay's header is damaged");
    h->build.clear();
    for (uint64_t i = 0; i < buildLength && !r.Failed(); ++i) {
        h->build.push_back(static_cast<char>(r.Unsigned()));
    }
    h->difficulty = static_cast<int>(r.Signed());
    h->score = static_cast<int>(r.Signed());
    h->rounds = static_cast<int>(r.Signed());
    h->updates = static_cast<long>(r.Signed());
    h->date = r.Signed();
    h->recordCrc = static_cast<uint32_t>(r.Unsigned());
    for (int& v : h->size) v = static_cast<int>(r.Signed());
    if (r.Failed()) {
        *why = "the replay's header is damaged";
        return false;
    }
    return true;
}

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Checks the frame (magic, checksum) and reads the header; `bodyAt` is where the body length
// starts.
bool ReadFrame(const std::vector<uint8_t>& bytes, ReplayHeader* header, size_t* bodyAt,
               std::string* why) {
    if (bytes.empty()) {
        *why = "the file is empty";
        return false;
    }
    if (bytes.size() < sizeof(kMagic) || std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) != 0) {
        *why = "not a Vexmo replay";
        return false;
    }
    if (bytes.size() < sizeof(kMagic) + kCrcBytes + 2) {
        *why = "the replay is cut short";
        return false;
    }
    const size_t covered = bytes.size() - kCrcBytes;
    if (ReplayCrc(bytes.data(), covered) != ReadLe32(bytes.data() + covered)) {
        *why = "the replay is damaged or cut short (its checksum does not match)";
        return false;
    }
    // Readers below see the covered bytes only.
    const std::vector<uint8_t> rest(bytes.begin() + sizeof(kMagic), bytes.begin() + covered);
    TapeReader r(&rest);
    const uint64_t headerLength = r.Unsigned();
    if (r.Failed() || headerLength > kMaxHeaderBytes) {
        *why = "the replay's header is damaged";
        return false;
    }
    // The varint took as many bytes as its value needs.
    size_t lengthBytes = 1;
    for (uint64_t v = headerLength; v >= 0x80; v >>= 7) ++lengthBytes;
    if (lengthBytes + headerLength > rest.size()) {
        *why = "the replay's header is damaged";
        return false;
    }
    const std::vector<uint8_t> headerBytes(rest.begin() + lengthBytes,
                                           rest.begin() + lengthBytes + headerLength);
    if (!ReadHeader(headerBytes, header, why)) return false;
    if (header->build != ReplayBuildId()) {
        *why = "recorded by another build (" + header->build + "); this one is " + ReplayBuildId();
        return false;
    }
    if (header->updates < 1 || header->updates > kReplayMaxUpdates) {
        *why = "the replay claims " + std::to_string(header->updates) + " updates, outside 1 to " +
               std::to_string(kReplayMaxUpdates) + " (4 hours)";
        return false;
    }
    *bodyAt = sizeof(kMagic) + lengthBytes + headerLength;
    return true;
}

}  // namespace

std::string ReplayBuildId() {
    return "vexmo-play-" + std::to_string(VEXMO_PLAY_REVISION);
}

uint32_t ReplayCrc(const void* data, size_t size) {
    // CRC-32 as zlib and PNG compute it (reflected polynomial 0xEDB88320).
    static const auto table = [] {
        struct Table {
            uint32_t entry[256];
        } t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t.entry[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) crc = table.entry[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> EncodeReplay(const Replay& replay) {
    TapeWriter body;
    body.Unsigned(replay.start.size());
    std::vector<uint8_t> raw = body.Bytes();
    raw.insert(raw.end(), replay.start.begin(), replay.start.end());
    raw.insert(raw.end(), replay.tape.begin(), replay.tape.end());

#ifdef __EMSCRIPTEN__
    int packedSize = 0;
    unsigned char* packedBytes =
        stbi_zlib_compress(raw.data(), static_cast<int>(raw.size()), &packedSize, 9);
    if (!packedBytes || packedSize <= 0) {
        std::free(packedBytes);
        return {};
    }
    const std::vector<uint8_t> packed(packedBytes, packedBytes + packedSize);
    std::free(packedBytes);
#else
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK) {
        return {};
    }
    packed.resize(packedSize);
#endif

    const std::vector<uint8_t> header = HeaderBytes(replay.header);
    TapeWriter lengths;
    lengths.Unsigned(header.size());
    std::vector<uint8_t> out(kMagic, kMagic + sizeof(kMagic));
    out.insert(out.end(), lengths.Bytes().begin(), lengths.Bytes().end());
    out.insert(out.end(), header.begin(), header.end());
    TapeWriter rawLength;
    rawLength.Unsigned(raw.size());
    out.insert(out.end(), rawLength.Bytes().begin(), rawLength.Bytes().end());
    out.insert(out.end(), packed.begin(), packed.end());
    const uint32_t crc = ReplayCrc(out.data(), out.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return out;
}

bool DecodeReplayHeader(const std::vector<uint8_t>& bytes, ReplayHeader* header, std::string* why) {
    size_t bodyAt = 0;
    return ReadFrame(bytes, header, &bodyAt, why);
}

bool DecodeReplay(const std::vector<uint8_t>& bytes, Replay* replay, std::string* why) {
    size_t bodyAt = 0;
    if (!ReadFrame(bytes, &replay->header, &bodyAt, why)) return false;
    const size_t end = bytes.size() - kCrcBytes;
    const std::vector<uint8_t> rest(bytes.begin() + bodyAt, bytes.begin() + end);
    TapeReader r(&rest);
    const uint64_t rawLength = r.Unsigned();
    if (r.Failed() || rawLength == 0 || rawLength > kMaxBodyBytes) {
        *why = "the replay's body is damaged";
        return false;
    }
    size_t lengthBytes = 1;
    for (uint64_t v = rawLength; v >= 0x80; v >>= 7) ++lengthBytes;
    if (lengthBytes >= rest.size()) {
        *why = "the replay's body is missing";
        return false;
    }
    std::vector<uint8_t> raw(rawLength);
#ifdef __EMSCRIPTEN__
    const int inflated =
        stbi_zlib_decode_buffer(reinterpret_cast<char*>(raw.data()), static_cast<int>(rawLength),
                                reinterpret_cast<const char*>(rest.data() + lengthBytes),
                                static_cast<int>(rest.size() - lengthBytes));
    const bool whole = inflated >= 0 && static_cast<uint64_t>(inflated) == rawLength;
#else
    uLongf rawSize = static_cast<uLongf>(rawLength);
    const bool whole = uncompress(raw.data(), &rawSize, rest.data() + lengthBytes,
                                  static_cast<uLong>(rest.size() - lengthBytes)) == Z_OK &&
                       rawSize == rawLength;
#endif
    if (!whole) {
        *why = "the replay's body does not inflate";
        return false;
    }
    TapeReader body(&raw);
    const uint64_t startLength = body.Unsigned();
    size_t startBytes = 1;
    for (uint64_t v = startLength; v >= 0x80; v >>= 7) ++startBytes;
    if (body.Failed() || startBytes + startLength > raw.size()) {
        *why = "the replay's starting point is damaged";
        return false;
    }
    replay->start.assign(raw.begin() + startBytes, raw.begin() + startBytes + startLength);
    replay->tape.assign(raw.begin() + startBytes + startLength, raw.end());
    return true;
}
