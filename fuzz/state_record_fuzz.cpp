// libFuzzer target: arbitrary bytes as ".vantorstate", read by the game's own Load exactly as at
// start-up (the host reads the state file, the game applies the record). Afterwards it traps
// unless the record rules hold:
//   - the on-screen pad clamps (settings 10 and 11 at least 64, setting 12 at least 8);
//   - each block is either taken whole (its checksum matched), reset to its defaults (it did not)
//     or left exactly as it was (it was cut off), with the rules restated here independently;
//   - score entries 60..149, which the record does not hold, are never touched;
//   - saving the loaded record and loading that again gives the same fields, and saving once
//     more writes the same bytes.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/my_app.h"
#include "game/save_record.h"
#include "host/entry.h"
#include "host/state_file.h"
#include "runtime/gc.h"

namespace {

using vexmo::kBadges;
using vexmo::kHighScores;
using vexmo::kSettings;

constexpr int kSavedScores = 60;
constexpr int kRecordFields = 98;

MyApp* g_game = nullptr;
const char* g_scratch = nullptr;
int g_home = -1;  // the folder libFuzzer was started in

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "record rule broken: %s\n", what);
    if (g_home >= 0 && fchdir(g_home) != 0) std::abort();  // the crash file goes home
    __builtin_trap();
}

// The saved arrays, copied out of the game.
struct Saved {
    std::vector<int> settings = std::vector<int>(kSettings);
    std::vector<bool> badges = std::vector<bool>(kBadges);
    std::vector<int> scores = std::vector<int>(kHighScores);
    bool operator==(const Saved& o) const {
        return settings == o.settings && badges == o.badges && scores == o.scores;
    }
};

Saved Capture(const MyApp& game) {
    Saved s;
    for (int n = 0; n < kSettings; ++n) s.settings[n] = game.settings[n];
    for (int b = 0; b < kBadges; ++b) s.badges[b] = game.badgeGot[b];
    for (int i = 0; i < kHighScores; ++i) s.scores[i] = game.highScores[i];
    return s;
}

void Restore(MyApp& game, const Saved& s) {
    for (int n = 0; n < kSettings; ++n) game.settings[n] = s.settings[n];
    for (int b = 0; b < kBadges; ++b) game.badgeGot[b] = s.badges[b];
    for (int i = 0; i < kHighScores; ++i) game.highScores[i] = s.scores[i];
}

// What the game holds before Load: values unlike every default, so a block that was skipped
// (kept) can be told from one that was reset.
Saved Before() {
    Saved s;
    for (int n = 0; n < kSettings; ++n) s.settings[n] = 100 + n;
    for (int b = 0; b < kBadges; ++b) s.badges[b] = b % 3 == 0;
    for (int i = 0; i < kHighScores; ++i) s.scores[i] = 7 * i + 1;
    return s;
}

// ---- The record rules, restated without the game's code ----

// atoi on the field, saturating at the int range; a character outside ASCII ends the digits.
int32_t FieldValue(const std::u16string& field) {
    std::string narrow;
    for (const char16_t c : field) narrow += c < 0x80 ? static_cast<char>(c) : '\x01';
    errno = 0;
    const long long v = std::strtoll(narrow.c_str(), nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t Add(int32_t a, int64_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// What Load must leave, given the text it read and the arrays before it.
Saved Expected(const String& text, Saved e) {
    std::vector<std::u16string> f(1);
    for (int i = 0; i < text.Length(); ++i) {
        if (text[i] == '|') {
            f.emplace_back();
        } else {
            f.back() += static_cast<char16_t>(text[i]);
        }
    }
    int count = static_cast<int>(f.size());
    if (f.back().empty()) --count;  // the piece after the final "|"

    int pos = 0;
    if (count >= kSettings + 1) {
        int32_t sum = 0;
        for (int n = 0; n < kSettings; ++n) {
            e.settings[n] = FieldValue(f[n]);
            sum = Add(sum, static_cast<int64_t>(n) * e.settings[n]);
        }
        if (sum != FieldValue(f[kSettings])) {
            e.settings.assign(kSettings, 0);
            e.settings[5] = 1;
        }
        pos = kSettings + 1;
    }
    if (e.settings[10] < 64) e.settings[10] = 64;
    if (e.settings[11] < 64) e.settings[11] = 64;
    if (e.settings[12] < 8) e.settings[12] = 10;

    if (count > pos + 8) {
        int32_t sum = 0;
        for (int j = 0; j < 8; ++j) {
            const uint32_t word = static_cast<uint32_t>(FieldValue(f[pos + j]));
            for (int i = 0; i < 32; ++i) e.badges[32 * j + i] = (word >> i) & 1u;
            sum = Add(sum, word);
        }
        if (sum != FieldValue(f[pos + 8])) e.badges.assign(kBadges, false);
        pos += 9;
    }
    for (int t = 0; t < 3; ++t) {
        if (count <= pos + 20) continue;
        int32_t sum = 0;
        for (int k = 0; k < 10; ++k) {
            int& best = e.scores[10 * t + k];
            int& recent = e.scores[30 + 10 * t + k];
            best = FieldValue(f[pos + 2 * k]);
            recent = FieldValue(f[pos + 2 * k + 1]);
            sum = Add(sum, static_cast<int64_t>(k + 4) * best);
            sum = Add(sum, static_cast<int64_t>(t + k + 3) * recent);
        }
        if (sum != FieldValue(f[pos + 20])) {
            for (int k = 0; k < 10; ++k) e.scores[10 * t + k] = e.scores[30 + 10 * t + k] = 0;
        }
        pos += 21;
    }
    return e;
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const char* path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path, "wb");
    if (!file) Fail("cannot write the state file");
    if (size > 0 && std::fwrite(data, 1, size, file) != size) Fail("short write");
    std::fclose(file);
}

void CheckClamps(const Saved& s) {
    if (s.settings[10] < 64 || s.settings[11] < 64 || s.settings[12] < 8) Fail("pad clamps");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The state file lives in the working directory: each input runs in a scratch one on a memory
    // file system (so the save's sync costs nothing), and libFuzzer's own relative paths (the
    // corpus, the log, crash files) keep meaning the folder it was started in.
    static char pattern[] = "/dev/shm/vexmo-fuzz-state-XXXXXX";
    static char fallback[] = "/tmp/vexmo-fuzz-state-XXXXXX";
    g_scratch = mkdtemp(pattern);
    if (!g_scratch) g_scratch = mkdtemp(fallback);
    g_home = open(".", O_RDONLY | O_DIRECTORY);
    if (!g_scratch || g_home < 0) std::abort();
    // The same start as the program: every global, the roots, then the game object (reachable
    // from the app module's device, so collections keep it).
    initGlobals(GameHooks{InitGameGlobals, nullptr});
    gc_mark();
    g_game = gc_new<MyApp>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (chdir(g_scratch) != 0) std::abort();
    MyApp& game = *g_game;
    const Saved before = Before();
    Restore(game, before);
    WriteFile(kStateFileName, data, size);

    game.Load();
    const Saved loaded = Capture(game);
    CheckClamps(loaded);
    if (!(loaded == Expected(LoadStateFile(kStateFileName), before))) Fail("loaded fields");
    for (int i = kSavedScores; i < kHighScores; ++i) {
        if (loaded.scores[i] != before.scores[i]) Fail("an unsaved score entry changed");
    }

    // Save what was loaded, load it over different values, and compare.
    game.Save();
    const std::string record = ReadFile(kStateFileName);
    int separators = 0;
    for (const char c : record) separators += c == '|';
    if (separators != kRecordFields || record.empty() || record.back() != '|') {
        Fail("saved record layout");
    }
    Restore(game, before);
    game.Load();
    if (!(Capture(game) == loaded)) Fail("save then load changed a field");
    game.Save();
    if (ReadFile(kStateFileName) != record) Fail("a second save wrote other bytes");

    gc_collect();  // one collection step, as between the program's hooks
    if (fchdir(g_home) != 0) std::abort();
    return 0;
}
