#pragma once
// The moving colour pattern on the inner pitch: a byte map of palette indices from two wave
// tables, shown through a palette that drifts between red and green.
#include <array>
#include <cstdint>

constexpr int32_t plasma_width = 304;
constexpr int32_t plasma_height = 168; // rows shown
constexpr int32_t plasma_rows_max = 200;
constexpr int32_t plasma_left = 8;
constexpr int32_t plasma_top = 16;

extern std::array<uint16_t, 256> plasma_palette;
extern std::array<uint8_t, 256> sine_table;
extern std::array<uint8_t, 256> cosine_table;
extern uint8_t plasma_phase_1;
extern uint8_t plasma_phase_2;
extern int32_t plasma_rows;
extern double red_scale;
extern double red_step;
extern double green_scale;
extern double blue_scale;

// The starting palette, the wave tables, the phases and the drift, as at program start.
void plasma_palette_init();
void plasma_waves_init();
void plasma_state_reset();

void plasma_palette_update();
void plasma_compute();
void plasma_blit();
