#pragma once
// The picture the game draws: 320 x 200 pixels of RGB555, row after row.
#include <cstdint>

constexpr int32_t frame_width = 320;
constexpr int32_t frame_height = 200;
constexpr int32_t frame_pixels = frame_width * frame_height;

constexpr uint32_t rgb555_red_mask = 0x7C00;
constexpr uint32_t rgb555_green_mask = 0x03E0;
constexpr uint32_t rgb555_blue_mask = 0x001F;
