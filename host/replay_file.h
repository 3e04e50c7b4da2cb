// A replay file: a small header a tool can read without playing anything, the game's starting
// point and the tape (both in one zlib stream), and a CRC-32 of everything before it.
//
//   "VXREPLAY"                 8 bytes
//   header length, header      varint, then the header's varints and strings
//   body length                varint: the body's size once inflated
//   body                       zlib: start length, start bytes, tape bytes
//   CRC-32                     4 bytes, little-endian, of all the bytes above
//
// Reading checks, before inflating or playing anything: the magic, the checksum, the format
// version, the build and the update count, so that a foreign, damaged or cut file, or one from
// another build, is refused at once with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kReplayFormatVersion = 1;
// Four hours of play at 60 updates a second.
constexpr long kReplayMaxUpdates = 4L * 60 * 60 * 60;

struct ReplayHeader {
    int version = kReplayFormatVersion;
    std::string build;  // ReplayBuildId() of the program that recorded it
    int difficulty = 0;
    int score = 0;
    int rounds = 0;
    long updates = 0;
    int64_t date = 0;            // seconds since 1970, UTC, when the game ended
    uint32_t recordCrc = 0;      // CRC-32 of the saved record the game left
    int size[4] = {0, 0, 0, 0};  // window units, then drawable pixels, when the game began
};

struct Replay {
    ReplayHeader header;
    std::vector<uint8_t> start;  // the game's state where the tape begins (game/replay_start.h)
    std::vector<uint8_t> tape;   // host/replay_tape.h
};

// Identifies the play a build makes: replays verify only on a build with the same id. It is
// bumped on purpose by a change that alters play (game/replay_verify.cpp says where), not by
// every build, so recorded games keep verifying across changes that leave play alone.
std::string ReplayBuildId();

std::vector<uint8_t> EncodeReplay(const Replay& replay);
// False with the reason, in one line, when the bytes are not a replay this build can play.
bool DecodeReplay(const std::vector<uint8_t>& bytes, Replay* replay, std::string* why);
// Only the header (the checksum is still checked); for listings of kept replays.
bool DecodeReplayHeader(const std::vector<uint8_t>& bytes, ReplayHeader* header, std::string* why);

uint32_t ReplayCrc(const void* data, size_t size);
