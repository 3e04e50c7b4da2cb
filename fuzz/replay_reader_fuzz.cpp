// libFuzzer target: arbitrary bytes through the replay reader, three ways. As a whole file
// (the frame, checksum, header and inflating must refuse or accept without a memory error); as
// a tape, past the checksum that would otherwise turn away almost every mutation (the walk a
// verification makes before playing must end on any bytes, and never count more updates than
// there are bytes); and round-tripped as the start and tape of a replay, which must come back
// exactly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/replay_file.h"
#include "host/replay_tape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);

    Replay replay;
    std::string why;
    if (DecodeReplay(bytes, &replay, &why)) {
        if (replay.header.updates < 1 || replay.header.updates > kReplayMaxUpdates) {
            __builtin_trap();
        }
        const TapeSummary summary = WalkTape(replay.tape);
        if (summary.ok && summary.updates > static_cast<long>(replay.tape.size())) __builtin_trap();
    } else if (why.empty() || why.find('\n') != std::string::npos) {
        __builtin_trap();  // a refusal always says why, in one line
    }

    const TapeSummary summary = WalkTape(bytes);
    if (summary.ok && summary.hooks > static_cast<long>(size)) __builtin_trap();
    if (!summary.ok && summary.why.empty()) __builtin_trap();

    Replay made;
    made.header.build = ReplayBuildId();
    made.header.updates = 1;
    const size_t half = size / 2;
    made.start.assign(data, data + half);
    made.tape.assign(data + half, data + size);
    Replay back;
    if (!DecodeReplay(EncodeReplay(made), &back, &why)) {
        if (!made.start.empty() || !made.tape.empty()) __builtin_trap();
        return 0;
    }
    if (back.start != made.start || back.tape != made.tape) __builtin_trap();
    return 0;
}
