#include "tools/files.h"

#include <stb_image_write.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace assets {

void makeParentFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            throw std::runtime_error("cannot create folder " + folder);
    }
}

namespace {
uint8_t toByte(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}
}  // namespace

Bitmap toBitmap(const Canvas& canvas) {
    Bitmap out{canvas.width(), canvas.height(), {}};
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const Rgba& c = canvas.at(x, y);
            uint8_t* p = &out.rgba[(static_cast<size_t>(y) * out.width + x) * 4];
            const uint8_t a = toByte(c.a);
            if (a == 0) {
                p[0] = p[1] = p[2] = p[3] = 0;
                continue;
            }
            p[0] = toByte(c.r / c.a);
            p[1] = toByte(c.g / c.a);
            p[2] = toByte(c.b / c.a);
            p[3] = a;
        }
    return out;
}

void writePng(const std::string& path, const Bitmap& bitmap) {
    makeParentFolders(path);
    // stb's deflate at its default effort dominates the run time for little gain
    stbi_write_png_compression_level = 4;
    if (!stbi_write_png(path.c_str(), bitmap.width, bitmap.height, 4, bitmap.rgba.data(),
                        bitmap.width * 4))
        throw std::runtime_error("cannot write " + path);
}

void writePng(const std::string& path, const Canvas& canvas) {
    writePng(path, toBitmap(canvas));
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    makeParentFolders(path);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    const bool closed = std::fclose(f) == 0;
    if (written != bytes.size() || !closed) throw std::runtime_error("cannot write " + path);
}

}  // namespace assets
