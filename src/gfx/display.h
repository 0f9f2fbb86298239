#pragma once
// The display: the back buffer every screen draws into, its pixel format, and the present.
#include "platform/frame.h"

#include <cstdint>
#include <vector>

struct PixelFormat {
    uint16_t red_mask, green_mask, blue_mask;
    uint16_t red_max, green_max, blue_max;
    uint16_t red_shift, green_shift, blue_shift;
    uint16_t green_bits;
};

// Hands each counted frame's hash to whoever asked (a replay, a recording, a golden test).
using FrameHashSink = void (*)(void* context, uint64_t hash);

struct Display {
    // RGB555 from the start, so drawing before pixel_format_init stays sane.
    PixelFormat pixel_format = {0x7C00, 0x03E0, 0x001F, 31, 31, 31, 10, 5, 0, 5};
    uint16_t* draw_target = nullptr;
    uint16_t* back_buffer = nullptr;
    std::vector<uint16_t> back_buffer_storage;
    FrameHashSink hash_sink = nullptr;
    void* hash_context = nullptr;
    // Only the frames of a match and its sequences are counted, never the title or an overlay.
    bool hashing = false;
};

extern Display display;

// Opens the window or the full screen at the scale and frame rate of the game settings; a
// failure ends the game with status 1.
int display_open(int32_t width, int32_t height, int32_t bits, int32_t fullscreen);
void display_close();
int display_set_target(uint16_t* buffer);
int display_clear(uint16_t* buffer);
int display_present(const uint16_t* buffer);
void pixel_format_init();
// Makes the zeroed back buffer and the draw target; frees it again.
void display_back_buffer_make();
void display_back_buffer_free();
// Whether presents are counted as frames of a match; returns the previous setting.
bool display_hashing_set(bool on);
void display_hash_sink_set(FrameHashSink sink, void* context);
// FNV-1a 64 of a 320 x 200 frame's bytes in memory order (little-endian pixels).
uint64_t frame_hash(const uint16_t* frame);
