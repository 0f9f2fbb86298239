#pragma once
// Image entries as 8-bit RGB, and a plain RGB canvas to draw them on.
#include <cstdint>
#include <span>
#include <vector>

#include "resources/entry_format.h"

struct RgbCanvas {
    uint32_t width;
    uint32_t height;
    std::vector<uint8_t> rgb; // width * height * 3
};

// Masked entries are read through their masks; unmasked ones are taken as RGB555, the
// display format of the game. The header must have been checked by image_entry_read_header.
RgbCanvas image_entry_to_rgb(std::span<const uint8_t> entry, const ImageEntryHeader& header);
RgbCanvas canvas_make(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b);
// Copies the picture with its top left corner at (x, y), cut at the canvas edges.
void canvas_paste(RgbCanvas* canvas, const RgbCanvas& picture, uint32_t x, uint32_t y);
void canvas_fill(RgbCanvas* canvas, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                 uint8_t r, uint8_t g, uint8_t b);
