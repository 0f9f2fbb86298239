#pragma once
// Small process-wide helpers every screen uses.
#include <cstdint>

void delay_ms(uint32_t ms);
[[noreturn]] void fatal_exit(int status);
void debug_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// rand() * n / 32768 with our own 0..32767 generator, unseeded: the same sequence every run.
int32_t random_below(int32_t n);
// Puts the generator back to its fixed start (tests and replays).
void random_reset();
