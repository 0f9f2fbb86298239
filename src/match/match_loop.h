#pragma once
// The endless cycle of title screen and match, and the orderly end of the program.
#include <cstdint>

#include "match/clock.h"

extern int32_t side1_score;
extern int32_t side2_score;
extern int32_t frame_counter;
extern int32_t quit_requested;

struct MatchState {
    MatchClock clock;
    uint32_t last_ticks; // tick count after the previous frame's input handling
    int32_t last_goal;   // goal code of the most recent frame
};

enum class FrameResult { next, won, quit };

// Draws the pitch, saves the panels, resets scores and kicks off.
void match_begin(MatchState& state);
// One frame of a match: won when a side's score has passed 5 (nothing else happens then),
// quit after a frame in which Escape was held (once every key is released).
FrameResult match_frame(MatchState& state);
// One match, from the pitch being drawn to a win or Escape.
void match_play();
[[noreturn]] void match_cycle();
[[noreturn]] void program_exit();
