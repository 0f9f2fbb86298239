#pragma once
// The Bitmap record and the plain rectangle copies onto and off the draw target.
#include <cstdint>

struct Bitmap {
    uint16_t width;
    uint16_t height;
    uint16_t* pixels;
    // Pixels the buffer holds; 0 when the record borrows pixels it does not own.
    uint32_t capacity;
};

int bitmap_create(Bitmap** out, int16_t width, int16_t height);
int bitmap_free(Bitmap* bitmap);
int bitmap_grab(Bitmap* bitmap, uint16_t x1, uint16_t y1, uint16_t x2, uint16_t y2);
int bitmap_put(const Bitmap* bitmap, uint16_t x, uint16_t y);
int display_get_masks(uint32_t* red, uint32_t* green, uint32_t* blue);

// Rows of the bitmap that its buffer really holds: owned buffers are bounded by their capacity,
// borrowed pixels were checked by whoever lent them.
int bitmap_rows_readable(const Bitmap* bitmap);
