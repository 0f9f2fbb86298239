#pragma once
// Tiny four-channel MOD files for tests: one pattern whose notes hold a looping square wave.
#include <cstdint>
#include <vector>

struct TestModuleSpec {
    uint8_t volume = 64; // 0 to 64; 0 gives a module that plays silence
    int rows = 2;        // the pattern breaks after this many rows (1 to 64)
    uint8_t speed = 6;   // ticks per row; a tick lasts 20 ms at the default tempo
    int voices = 1;      // channels (1 to 4) that start a note on the first row
};

std::vector<uint8_t> test_module_make(const TestModuleSpec& spec = {});
// How long one pass through the module lasts.
double test_module_seconds(const TestModuleSpec& spec = {});
