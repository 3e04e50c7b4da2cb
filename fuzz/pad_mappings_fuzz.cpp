// libFuzzer target: arbitrary bytes as a gamecontrollerdb.txt, through the reader the game uses
// at start-up (file checks, line splitting, the platform filter) into GLFW's own parser. GLFW
// starts once for the whole run, as it cannot be started again; without a display the headless
// platform stands in, which checks the reader alone. Traps when the report is not the one line
// the game prints, when a line of another system reached the platform, or when GLFW stops taking
// a good mapping after a bad file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/gamepad_mappings_file.h"
#include "platform/platform.h"
#include "platform/platform_glfw.h"
#include "platform/platform_headless.h"

namespace {

std::unique_ptr<Platform> g_platform;
HeadlessPlatform* g_headless = nullptr;
std::string g_path;

const char* const kGoodLine =
    "03000000feed0000beef000001000000,Fuzz Check Pad,a:b0,b:b1,x:b2,y:b3,leftx:a0,lefty:a1,";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char pattern[] = "/dev/shm/vexmo-fuzz-pads-XXXXXX";
    static char fallback[] = "/tmp/vexmo-fuzz-pads-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch) scratch = mkdtemp(fallback);
    if (!scratch) std::abort();
    g_path = std::string(scratch) + "/gamecontrollerdb.txt";
    g_platform = NewGlfwPlatform();
    if (!g_platform->Init() || !g_platform->TakesGamepadMappings()) {
        std::fprintf(stderr, "pad_mappings: GLFW did not start; the headless platform is used\n");
        auto headless = std::make_unique<HeadlessPlatform>();
        headless->Init();
        g_headless = headless.get();
        g_platform = std::move(headless);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(g_path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    const size_t before = g_headless ? g_headless->GamepadMappings().size() : 0;

    const std::string report = LoadGamepadMappingFile(*g_platform, g_path);
    const std::string head = "Gamepad mappings from " + g_path;
    if (report.compare(0, head.size(), head) != 0) __builtin_trap();
    if (report.find('\n') != std::string::npos) __builtin_trap();

    if (g_headless) {
        const auto& taken = g_headless->GamepadMappings();
        for (size_t i = before; i < taken.size(); ++i) {
            const std::string& line = taken[i];
            const size_t at = line.find(",platform:");
            if (at == std::string::npos) continue;
            const std::string rest = line.substr(at + 10);
            if (rest.compare(0, rest.find(','), kGamepadMappingsPlatform) != 0) __builtin_trap();
        }
    }
    std::string error;
    if (!g_platform->AddGamepadMapping(kGoodLine, &error)) __builtin_trap();
    return 0;
}
