#pragma once
// The match clock: counted-down milliseconds, redrawn one bar cell at a time. Kept in 64 bits
// so that any game length, however long, counts exactly.
#include <cstdint>

enum class ClockEvent { none, redraw, time_up };

struct MatchClock {
    int64_t remaining;
    int64_t next_redraw;
    int64_t step;        // length of one of the 84 cells
    int32_t shown_cells; // set with each redraw event
};

MatchClock match_clock_start(int32_t game_length_seconds);
// Counts elapsed down while the clock runs; a length of 0 or less never runs.
ClockEvent match_clock_advance(MatchClock& clock, int32_t elapsed_ms);
