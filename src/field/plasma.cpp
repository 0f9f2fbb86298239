#include "field/plasma.h"

#include <cmath>

#include "app/display.h"
#include "match/setup.h"

std::array<uint16_t, 256> plasma_palette = {};
std::array<uint8_t, 256> sine_table = {};
std::array<uint8_t, 256> cosine_table = {};
uint8_t plasma_phase_1 = 10;
uint8_t plasma_phase_2 = 90;
int32_t plasma_rows = 0;
double red_scale = 1.0;
double red_step = -0.01;
double green_scale = 0.0;
double blue_scale = 0.0;

namespace {

uint16_t channel_bits(int32_t level, uint16_t shift, uint16_t mask) {
    return static_cast<uint16_t>((level << shift) & mask);
}

uint16_t colour_from_levels(int32_t red, int32_t green, int32_t blue) {
    const PixelFormat& f = pixel_format;
    return static_cast<uint16_t>(channel_bits(red, f.red_shift, f.red_mask) |
                                 channel_bits(green, f.green_shift, f.green_mask) |
                                 channel_bits(blue, f.blue_shift, f.blue_mask));
}

// Each colour goes to both rising and both falling slopes of the palette.
void palette_put(int32_t i, uint16_t colour) {
    plasma_palette[i] = colour;
    plasma_palette[127 - i] = colour;
    plasma_palette[127 + i] = colour;
    plasma_palette[254 - i] = colour;
}

int32_t green_index_shift() {
    return pixel_format.green_bits >= 6 ? 0 : 6 - pixel_format.green_bits;
}

} // namespace

void plasma_palette_init() {
    plasma_palette.fill(0);
    for (int32_t i = 0; i < 64; ++i) {
        palette_put(i, colour_from_levels(i / 6, i / 2, i / 6));
    }
}

void plasma_waves_init() {
    const double step = 3.14159265358 / 127.5;
    for (int32_t i = 0; i < 256; ++i) {
        sine_table[i] = static_cast<uint8_t>(
            static_cast<int32_t>(std::floor((std::sin(i * step) + 1.0) * 128.0)));
        cosine_table[i] = static_cast<uint8_t>(
            static_cast<int32_t>(std::floor((std::cos(i * step) + 1.0) * 128.0)));
    }
}

void plasma_state_reset() {
    plasma_phase_1 = 10;
    plasma_phase_2 = 90;
    plasma_rows = 0;
    red_scale = 1.0;
    red_step = -0.01;
    green_scale = 0.0;
    blue_scale = 0.0;
}

void plasma_palette_update() {
    red_scale = red_step + red_scale;
    green_scale = green_scale - red_step;
    blue_scale = 1.3 - green_scale - red_scale;
    if (blue_scale > 1.0) {
        blue_scale = 1.0;
    } else if (blue_scale < 0.0) {
        blue_scale = 0.0;
    }
    if (red_scale > 0.8) {
        red_step = -0.01;
    }
    if (red_scale < 0.2) {
        red_step = 0.01;
    }
    const int32_t shift = green_index_shift();
    for (int32_t i = 0; i < 64; ++i) {
        const auto red = static_cast<int32_t>(i * 0.5 * red_scale);
        const auto green = static_cast<int32_t>((i >> shift) * green_scale);
        const auto blue = static_cast<int32_t>(i * 0.5 * blue_scale);
        palette_put(i, colour_from_levels(red, green, blue));
    }
}

void plasma_compute() {
    plasma_phase_1 = static_cast<uint8_t>(plasma_phase_1 - 1);
    plasma_phase_2 = static_cast<uint8_t>(plasma_phase_2 + 1);
    if (plasma_rows < plasma_rows_max) {
        plasma_rows += 2;
    }
    const uint8_t wave_2 = sine_table[plasma_phase_2];
    for (int32_t r = 0; r < plasma_rows; ++r) {
        const uint8_t a = sine_table[(plasma_phase_1 + r) & 0xFF];
        const uint8_t b = cosine_table[(wave_2 + r) & 0xFF];
        uint8_t* row = plasma_buffer + r * plasma_width;
        for (int32_t k = 0; k < plasma_width; ++k) {
            row[k] = static_cast<uint8_t>(cosine_table[(a + k) & 0xFF] + b);
        }
    }
}

void plasma_blit() {
    for (int32_t r = 0; r < plasma_height; ++r) {
        const uint8_t* source = plasma_buffer + r * plasma_width;
        uint16_t* target = back_buffer + (plasma_top + r) * 320 + plasma_left;
        for (int32_t k = 0; k < plasma_width; ++k) {
            target[k] = plasma_palette[source[k]];
        }
    }
}
