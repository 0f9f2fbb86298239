#include "app/display.h"

#include "app/game_settings.h"
#include "app/utility.h"
#include "gfx/bitmap.h"
#include "platform/video.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The back buffer is RGB555 from the start, so drawing before pixel_format_init stays sane.
PixelFormat pixel_format = {0x7C00, 0x03E0, 0x001F, 31, 31, 31, 10, 5, 0, 5};
uint16_t* draw_target = nullptr;
int8_t bytes_per_pixel = 2;
int32_t screen_width = frame_width;
int32_t screen_height = frame_height;

namespace {

int8_t bytes_for_depth(int32_t bits) {
    if (bits == 15 || bits == 16) {
        return 2;
    }
    if (bits == 24 || bits == 32) {
        return 4;
    }
    return 1;
}

uint16_t mask_shift(uint16_t mask) {
    return mask == 0 ? 0 : static_cast<uint16_t>(std::countr_zero(mask));
}

} // namespace

int display_open(int32_t width, int32_t height, int32_t bits, int32_t fullscreen) {
    video_set_window_scale(video_scale);
    if (!video_start()) {
        std::printf("Could not initialize SDL: %s.\n", video_error());
        std::fflush(stdout);
        std::exit(-1);
    }
    if (!video_open(width, height, bits, fullscreen == 1)) {
        std::fprintf(stderr, "Couldn't set %dx%dx%d video mode: %s\n", width, height, bits,
                     video_error());
        video_stop();
        std::exit(1);
    }
    video_set_caption("Zorbit (SDL)", "");
    bytes_per_pixel = bytes_for_depth(bits);
    screen_width = frame_width;
    screen_height = frame_height;
    video_set_frame_rate(refresh_rate);
    return 1;
}

void display_close() {
    video_stop();
}

int display_set_target(uint16_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    draw_target = buffer;
    return 1;
}

int display_clear(uint16_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    // Buffers hold 16-bit pixels whatever depth was asked for: clearing more would overrun them.
    std::memset(buffer, 0, frame_pixels * sizeof(uint16_t));
    return 1;
}

int display_present(const uint16_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    video_present(buffer);
    return 1;
}

void pixel_format_init() {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    display_get_masks(&red, &green, &blue);
    PixelFormat format{};
    format.red_mask = static_cast<uint16_t>(red);
    format.green_mask = static_cast<uint16_t>(green);
    format.blue_mask = static_cast<uint16_t>(blue);
    debug_log("RMask %04X, BMask %04X, GMask %04X\n", format.red_mask, format.blue_mask,
              format.green_mask);
    format.red_shift = mask_shift(format.red_mask);
    format.green_shift = mask_shift(format.green_mask);
    format.blue_shift = mask_shift(format.blue_mask);
    format.red_max = static_cast<uint16_t>(format.red_mask >> format.red_shift);
    format.green_max = static_cast<uint16_t>(format.green_mask >> format.green_shift);
    format.blue_max = static_cast<uint16_t>(format.blue_mask >> format.blue_shift);
    format.green_bits = static_cast<uint16_t>(std::popcount(format.green_mask));
    pixel_format = format;
}
