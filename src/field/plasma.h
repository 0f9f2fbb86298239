#pragma once
// The moving colour pattern on the inner pitch: a byte map of palette indices from two wave
// tables, shown through a palette that drifts between red and green.
#include <array>
#include <cstdint>
#include <vector>

constexpr int32_t plasma_width = 304;
constexpr int32_t plasma_height = 168; // rows shown
constexpr int32_t plasma_rows_max = 200;
constexpr int32_t plasma_left = 8;
constexpr int32_t plasma_top = 16;

struct Plasma {
    // The byte map of palette indices, 304 bytes a row; made with the game.
    std::vector<uint8_t> plasma_buffer;
    std::array<uint16_t, 256> plasma_palette{};
    std::array<uint8_t, 256> sine_table{};
    std::array<uint8_t, 256> cosine_table{};
    // Carried on from match to match, never reset while the program runs.
    uint8_t plasma_phase_1 = 10;
    uint8_t plasma_phase_2 = 90;
    int32_t plasma_rows = 0;
    double red_scale = 1.0;
    double red_step = -0.01;
    double green_scale = 0.0;
    double blue_scale = 0.0;
};

extern Plasma plasma;

// The zeroed byte map, the starting palette, the wave tables, the phases and the drift, as at
// program start.
void plasma_make();
// Releases the byte map.
void plasma_free();
void plasma_palette_init();
void plasma_waves_init();

void plasma_palette_update();
void plasma_compute();
void plasma_blit();
