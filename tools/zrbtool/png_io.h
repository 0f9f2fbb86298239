#pragma once
// PNG files in and out: pictures as RGB555 for the archive, RGB888 for people.
#include <cstdint>
#include <string>
#include <vector>

struct Rgb555Picture {
    uint16_t width;
    uint16_t height;
    std::vector<uint16_t> pixels;
};

// Alpha below half becomes black, which the game's sprite drawing leaves transparent.
bool png_read_rgb555(const std::string& path, Rgb555Picture* picture, std::string* error);
// rgb holds width * height * 3 bytes, row after row.
bool png_write_rgb(const std::string& path, uint32_t width, uint32_t height,
                   const std::vector<uint8_t>& rgb, std::string* error);
