#pragma once
// The millisecond clock: SDL's tick counter, or the scripted backend's virtual clock.
#include <cstdint>

uint32_t clock_ticks();
void clock_sleep(uint32_t ms);
