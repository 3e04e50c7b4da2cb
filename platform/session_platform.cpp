#include "platform/session_platform.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* from = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), from, from + size);
}

std::string Folder(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes `bytes` to a temporary file beside `path` and renames it into place, so a reader never
// meets half a picture and a failed write leaves nothing behind.
bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* why) {
    struct stat info {};
    // Renaming over a device (/dev/full) or a folder would replace it: only files are replaced.
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        *why = path + " is not a regular file";
        return false;
    }
    const std::string temporary = Folder(path) + "/." + path.substr(path.rfind('/') + 1) + "." +
                                  std::to_string(static_cast<long>(getpid())) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *why = std::string("cannot create a file in ") + Folder(path) + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            error = wrote < 0 ? errno : ENOSPC;
        } else {
            done += static_cast<size_t>(wrote);
        }
    }
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        *why = path + ": " + std::strerror(error);
        return false;
    }
    return true;
}

}  // namespace

bool WriteFramePng(const FrameCapture& frame, const std::string& path, std::string* why) {
    std::string ignored;
    if (!why) why = &ignored;
    if (path.empty()) {
        *why = "no file name";
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(frame.width) * 4;
    if (frame.Empty() || frame.rgba.size() < rowBytes * frame.height) {
        *why = "no frame was drawn";
        return false;
    }
    // GL reads rows bottom-first; the picture's alpha is whatever blending left, so the image is
    // made opaque as the window shows it.
    std::vector<uint8_t> image(frame.rgba.size());
    for (int row = 0; row < frame.height; ++row) {
        const uint8_t* from = frame.rgba.data() + rowBytes * (frame.height - 1 - row);
        std::copy(from, from + rowBytes, image.data() + rowBytes * row);
    }
    for (size_t i = 3; i < image.size(); i += 4) image[i] = 255;
    std::vector<uint8_t> png;
    if (stbi_write_png_to_func(AppendBytes, &png, frame.width, frame.height, 4, image.data(),
                               static_cast<int>(rowBytes)) == 0) {
        *why = "the picture could not be encoded";
        return false;
    }
    return ReplaceFile(path, png, why);
}
