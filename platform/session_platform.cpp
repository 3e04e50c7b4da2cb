#include "platform/session_platform.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <algorithm>

void SessionPlatform::SetListener(PlatformEvents* listener) {
    listener_ = listener;
    Inner().SetListener(listener);
}

void SessionPlatform::GetCursorPos(double* x, double* y) {
    ++updates_;
    if (!pilot_) {
        Inner().GetCursorPos(x, y);
        return;
    }
    int width = 0;
    int height = 0;
    Inner().GetFramebufferSize(&width, &height);
    bool held = pilotHeld_;
    pilot_->Steer(width, height, &pilotX_, &pilotY_, &held);
    // Only changes are events, exactly like a real button.
    if (held != pilotHeld_ && listener_) {
        listener_->OnMouseButton(0, held ? Platform::kPress : Platform::kRelease);
    }
    pilotHeld_ = held;
    // The cursor is in window units, like a hand's.
    int windowWidth = 0;
    int windowHeight = 0;
    Inner().GetWindowSize(&windowWidth, &windowHeight);
    const bool scaled = width > 0 && height > 0 && windowWidth > 0 && windowHeight > 0;
    *x = scaled ? pilotX_ * windowWidth / width : pilotX_;
    *y = scaled ? pilotY_ * windowHeight / height : pilotY_;
}

void SessionPlatform::SwapBuffers() {
    // After the swap the back buffer's contents are undefined, so the frame is read first.
    if (captureFrames_) CaptureBackBuffer();
    Inner().SwapBuffers();
}

void SessionPlatform::CaptureBackBuffer() {
    int width = 0;
    int height = 0;
    Inner().GetFramebufferSize(&width, &height);
    if (width <= 0 || height <= 0) return;
    lastFrame_.width = width;
    lastFrame_.height = height;
    lastFrame_.rgba.resize(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
#ifndef __EMSCRIPTEN__
    glReadBuffer(GL_BACK);  // WebGL reads the drawing buffer, its only one
#endif
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, lastFrame_.rgba.data());
}

bool WriteFramePng(const FrameCapture& frame, const std::string& path) {
    if (frame.Empty() || path.empty()) return false;
    const size_t rowBytes = static_cast<size_t>(frame.width) * 4;
    if (frame.rgba.size() < rowBytes * frame.height) return false;
    // GL reads rows bottom-first; the picture's alpha is whatever blending left, so the image is
    // made opaque as the window shows it.
    std::vector<uint8_t> image(frame.rgba.size());
    for (int row = 0; row < frame.height; ++row) {
        const uint8_t* from = frame.rgba.data() + rowBytes * (frame.height - 1 - row);
        std::copy(from, from + rowBytes, image.data() + rowBytes * row);
    }
    for (size_t i = 3; i < image.size(); i += 4) image[i] = 255;
    return stbi_write_png(path.c_str(), frame.width, frame.height, 4, image.data(),
                          static_cast<int>(rowBytes)) != 0;
}
