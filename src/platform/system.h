#pragma once
// Small process-wide helpers over the platform: the pause, the trace, and the two ways of
// reporting trouble.
#include <cstdint>

void delay_ms(uint32_t ms);
// printf-style, to the debug channel only; longer lines than 255 characters are cut.
void debug_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The game cannot go on: closes the devices and ends the process with status.
[[noreturn]] void fatal_exit(int status);
// The same after a notice "Zorbit: <message>" (stderr, and a dialog where there is a display).
[[noreturn]] void fatal_error(int status, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Something is wrong but the game plays on: one line "Zorbit: <message>" on stderr.
void warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
