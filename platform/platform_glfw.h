// The real backend: one GLFW 3 window with an OpenGL context.
#pragma once

#include <memory>

#include "platform/platform.h"

std::unique_ptr<Platform> NewGlfwPlatform();
