// Writes small picture files for loader tests into a scratch folder under the working
// directory (each test uses its own names, so tests may run in parallel).
#pragma once

#include <stb_image_write.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline std::string ScratchPath(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::current_path() / "graphics_test_files";
    std::filesystem::create_directories(dir);
    return "./graphics_test_files/" + name;
}

// pixels: width * height * channels bytes, rows top-first.
inline std::string WritePng(const std::string& name, int width, int height, int channels,
                            const std::vector<uint8_t>& pixels) {
    const std::string path = ScratchPath(name);
    stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels);
    return path;
}

// An RGBA picture whose pixel (x, y) is (x, y, 7, 255).
inline std::string WriteCoordinatePng(const std::string& name, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
            p[3] = 255;
        }
    }
    return WritePng(name, width, height, 4, pixels);
}

inline std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = ScratchPath(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}
