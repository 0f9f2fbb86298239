#pragma once
// Pieces of the screen saved and put back, clipped to the 320 x 200 draw target, so that a
// body or an animation anywhere (even partly or wholly off the screen) never reads or writes
// outside the back buffer.
#include <cstdint>

struct Bitmap;

// Truncates a position toward zero, held within a range that every screen computation can take.
int32_t position_trunc(double value);
// Grabs the part of (x1, y1)-(x2, y2), inclusive, that lies on the screen. Nothing on the screen
// (or more than the bitmap can hold) leaves the bitmap 0 x 0.
void area_grab(Bitmap* save, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Puts back what area_grab took from the rectangle whose top-left corner is (x, y).
void area_put(const Bitmap* save, int32_t x, int32_t y);
// Draws a sprite blended at (x, y); like bitmap_put_alpha, nothing is drawn for a negative
// position, and nothing is attempted beyond the right or bottom edge.
void sprite_draw(const Bitmap* image, int32_t x, int32_t y);
