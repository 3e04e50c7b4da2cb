// Process entry: the game on a real window.
#include <memory>

#include "host/entry.h"
#include "host/platform_glfw.h"

int main(int argc, char** argv) {
    const std::unique_ptr<Platform> platform = NewGlfwPlatform();
    const int status = hostMain(argc, argv, *platform);
    SetCurrentPlatform(nullptr);
    return status;
}
