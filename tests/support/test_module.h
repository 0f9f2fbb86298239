#pragma once
// For the sound tests: tiny four-channel MOD files (one pattern whose notes hold a looping
// square wave) and the levels the mixer is expected to give.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct TestModuleShape {
    uint8_t volume = 64; // 0 to 64; 0 gives a module that plays silence
    int rows = 2;        // the pattern breaks after this many rows (1 to 64)
    uint8_t speed = 6;   // ticks per row; a tick lasts 20 ms at the default tempo
    int voices = 1;      // channels (1 to 4) that start a note on the first row
};

std::vector<uint8_t> test_module_make(const TestModuleShape& shape = {});
// How long one pass through the module lasts.
double test_module_seconds(const TestModuleShape& shape = {});

// The level a constant sample byte sounds at: (byte - 128) x 256, at 128 out of 255.
constexpr int32_t test_effect_level(int byte) {
    return (byte - 128) * 65536 / 510;
}
// The loudest sample of interleaved stereo frames first to last (exclusive).
int test_peak(const std::vector<int16_t>& frames, size_t first = 0, size_t last = SIZE_MAX);
// Mixes a second with the voices playing now (no music loaded): how many frames sound before the
// first silent one, and the level of the first.
std::pair<int, int> test_effect_heard();
