// The real backend: one GLFW 3 window with an OpenGL context.
#pragma once

#include <memory>

#include "host/platform.h"

std::unique_ptr<Platform> NewGlfwPlatform();
