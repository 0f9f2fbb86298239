#pragma once
// Blended, scaled and zooming sprite drawing.
#include <cstdint>

struct Bitmap;

extern int32_t alpha_threshold;

int bitmap_put_alpha(const Bitmap* bitmap, int16_t x, int16_t y);
void bitmap_put_scaled(const Bitmap* bitmap, int out_width, int out_height, int x, int y,
                       uint16_t* destination);
void bitmap_zoom_in(const Bitmap* bitmap, int x, int y, int erase_after);
