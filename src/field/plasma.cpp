#include "field/plasma.h"

#include <cmath>

#include "gfx/display.h"

Plasma plasma;

namespace {

// Room for the 200 rows computed, as the game has always allocated it.
constexpr size_t plasma_buffer_size = 100274;
constexpr size_t plasma_shown_bytes = size_t(plasma_height) * plasma_width;

uint16_t channel_bits(int32_t level, uint16_t shift, uint16_t mask) {
    return static_cast<uint16_t>((level << shift) & mask);
}

uint16_t colour_from_levels(int32_t red, int32_t green, int32_t blue) {
    const PixelFormat& f = display.pixel_format;
    return static_cast<uint16_t>(channel_bits(red, f.red_shift, f.red_mask) |
                                 channel_bits(green, f.green_shift, f.green_mask) |
                                 channel_bits(blue, f.blue_shift, f.blue_mask));
}

// Each colour goes to both rising and both falling slopes of the palette.
void palette_put(int32_t i, uint16_t colour) {
    plasma.plasma_palette[i] = colour;
    plasma.plasma_palette[127 - i] = colour;
    plasma.plasma_palette[127 + i] = colour;
    plasma.plasma_palette[254 - i] = colour;
}

int32_t green_index_shift() {
    return display.pixel_format.green_bits >= 6 ? 0 : 6 - display.pixel_format.green_bits;
}

} // namespace

void plasma_palette_init() {
    plasma.plasma_palette.fill(0);
    for (int32_t i = 0; i < 64; ++i) {
        palette_put(i, colour_from_levels(i / 6, i / 2, i / 6));
    }
}

void plasma_waves_init() {
    const double step = 3.14159265358 / 127.5;
    for (int32_t i = 0; i < 256; ++i) {
        plasma.sine_table[i] = static_cast<uint8_t>(
            static_cast<int32_t>(std::floor((std::sin(i * step) + 1.0) * 128.0)));
        plasma.cosine_table[i] = static_cast<uint8_t>(
            static_cast<int32_t>(std::floor((std::cos(i * step) + 1.0) * 128.0)));
    }
}

void plasma_make() {
    plasma = Plasma{};
    plasma.plasma_buffer.assign(plasma_buffer_size, 0);
    plasma_palette_init();
    plasma_waves_init();
}

void plasma_free() {
    std::vector<uint8_t>().swap(plasma.plasma_buffer);
}

void plasma_palette_update() {
    Plasma& p = plasma;
    p.red_scale = p.red_step + p.red_scale;
    p.green_scale = p.green_scale - p.red_step;
    p.blue_scale = 1.3 - p.green_scale - p.red_scale;
    if (p.blue_scale > 1.0) {
        p.blue_scale = 1.0;
    } else if (p.blue_scale < 0.0) {
        p.blue_scale = 0.0;
    }
    if (p.red_scale > 0.8) {
        p.red_step = -0.01;
    }
    if (p.red_scale < 0.2) {
        p.red_step = 0.01;
    }
    const int32_t shift = green_index_shift();
    for (int32_t i = 0; i < 64; ++i) {
        const auto red = static_cast<int32_t>(i * 0.5 * p.red_scale);
        const auto green = static_cast<int32_t>((i >> shift) * p.green_scale);
        const auto blue = static_cast<int32_t>(i * 0.5 * p.blue_scale);
        palette_put(i, colour_from_levels(red, green, blue));
    }
}

void plasma_compute() {
    Plasma& p = plasma;
    p.plasma_phase_1 = static_cast<uint8_t>(p.plasma_phase_1 - 1);
    p.plasma_phase_2 = static_cast<uint8_t>(p.plasma_phase_2 + 1);
    if (p.plasma_rows < plasma_rows_max) {
        p.plasma_rows += 2;
    }
    if (p.plasma_buffer.size() < size_t(p.plasma_rows) * plasma_width) {
        return;
    }
    const uint8_t wave_2 = p.sine_table[p.plasma_phase_2];
    for (int32_t r = 0; r < p.plasma_rows; ++r) {
        const uint8_t a = p.sine_table[(p.plasma_phase_1 + r) & 0xFF];
        const uint8_t b = p.cosine_table[(wave_2 + r) & 0xFF];
        uint8_t* row = p.plasma_buffer.data() + r * plasma_width;
        for (int32_t k = 0; k < plasma_width; ++k) {
            row[k] = static_cast<uint8_t>(p.cosine_table[(a + k) & 0xFF] + b);
        }
    }
}

void plasma_blit() {
    if (display.back_buffer == nullptr || plasma.plasma_buffer.size() < plasma_shown_bytes) {
        return;
    }
    for (int32_t r = 0; r < plasma_height; ++r) {
        const uint8_t* source = plasma.plasma_buffer.data() + r * plasma_width;
        uint16_t* target = display.back_buffer + (plasma_top + r) * frame_width + plasma_left;
        for (int32_t k = 0; k < plasma_width; ++k) {
            target[k] = plasma.plasma_palette[source[k]];
        }
    }
}
