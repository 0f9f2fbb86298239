#pragma once
// The display: a 320 x 200 back buffer of 16-bit RGB555 pixels presented each frame.
#include <cstdint>

struct PixelFormat {
    uint16_t red_mask, green_mask, blue_mask;
    uint16_t red_max, green_max, blue_max;
    uint16_t red_shift, green_shift, blue_shift;
    uint16_t green_bits;
};

// Every buffer the game draws into is one logical frame of this size.
constexpr int32_t frame_width = 320;
constexpr int32_t frame_height = 200;
constexpr int32_t frame_pixels = frame_width * frame_height;

extern PixelFormat pixel_format;
extern uint16_t* draw_target;
extern int8_t bytes_per_pixel;
extern int32_t screen_width;
extern int32_t screen_height;

int display_open(int32_t width, int32_t height, int32_t bits, int32_t fullscreen);
void display_close();
int display_set_target(uint16_t* buffer);
int display_clear(uint16_t* buffer);
int display_present(const uint16_t* buffer);
void pixel_format_init();
