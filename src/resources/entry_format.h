#pragma once
// The stored forms of text and image entries, shared by the game, the archive tool and tests.
#include "platform/frame.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Texts are stored scrambled: byte i is written back as (((b + k) mod 256) XOR k) - 3,
// k = 3 * i mod 256.
void text_decode_in_place(std::span<uint8_t> bytes);
std::vector<uint8_t> text_encode(std::span<const uint8_t> text);
std::vector<uint8_t> text_decode(std::span<const uint8_t> stored);

// Image entries: a 32-bit header position H at 0x20, then at H the width (+0x10), height
// (+0x12), flags (+0x1C), red/green/blue masks (+0x20, +0x24, +0x28) and the 16-bit pixels
// row after row (+0x40). All little-endian.
constexpr uint32_t image_header_position_at = 0x20;
constexpr uint32_t image_header_length = 0x40;
// Flag bit 1: the pixels carry the stored masks and are converted to the display's.
constexpr uint8_t image_flag_masked = 2;

struct ImageEntryHeader {
    uint32_t header_position;
    uint16_t width;
    uint16_t height;
    uint8_t flags;
    uint32_t red_mask;
    uint32_t green_mask;
    uint32_t blue_mask;
};

// False when the header or the pixels lie outside the entry, or when a masked image has a
// zero mask (its channels could not be placed).
bool image_entry_read_header(std::span<const uint8_t> entry, ImageEntryHeader* header);
size_t image_entry_pixel_offset(const ImageEntryHeader& header);
uint16_t image_entry_pixel(std::span<const uint8_t> entry, const ImageEntryHeader& header,
                           uint32_t x, uint32_t y);

// Missing pixels are written as 0 (black); extra ones are ignored.
std::vector<uint8_t>
image_entry_encode(uint16_t width, uint16_t height, std::span<const uint16_t> pixels,
                   uint8_t flags = image_flag_masked, uint32_t red_mask = rgb555_red_mask,
                   uint32_t green_mask = rgb555_green_mask, uint32_t blue_mask = rgb555_blue_mask);
